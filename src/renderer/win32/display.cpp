#include "renderer/win32/display.h"

namespace gdi {

static_assert(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD) == 1064);

bool Display::InitWindow(const char* className, std::int32_t width, std::int32_t height) {
  cursor_.emplace();
  WNDCLASSA wc{};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = nullptr;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = className;
  if (RegisterClassA(&wc) == 0) {
    DoneWindow();
    return false;
  }
  className_ = className;
  surfaceWidth_ = width;
  surfaceHeight_ = height;
  // The window's size comes from the same metrics as the surface's.
  window_ = CreateWindowExA(0, className, contract::RendererTitle,
                            WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                            GetSystemMetrics(SM_CXMAXIMIZED),
                            GetSystemMetrics(SM_CYMAXIMIZED) + GetSystemMetrics(SM_CYCAPTION),
                            nullptr, nullptr, nullptr, this);
  if (window_ == nullptr) {
    DoneWindow();
    return false;
  }
  ShowWindow(window_, SW_SHOWNORMAL);
  dc_ = GetDC(window_);
  if (dc_ == nullptr) {
    DoneWindow();
    return false;
  }
  info_.header = BITMAPINFOHEADER{};
  info_.header.biSize = sizeof(BITMAPINFOHEADER);
  info_.header.biWidth = surfaceWidth_;
  info_.header.biHeight = -surfaceHeight_;  // rows from the top
  info_.header.biPlanes = 1;
  info_.header.biBitCount = 8;
  info_.header.biCompression = BI_RGB;
  info_.header.biClrUsed = 256;
  for (int i = 0; i < 256; ++i) {
    const auto g = static_cast<BYTE>(i);
    info_.colours[i] = RGBQUAD{g, g, g, 0};
  }
  screenSaver_.emplace();
  return true;
}

bool Display::SetPalette(const uzoom::Colour* colours, int count) {
  if (count > 256) count = 256;
  for (int i = 0; i < count; ++i)
    info_.colours[i] = RGBQUAD{colours[i].blue, colours[i].green, colours[i].red, 0};
  return true;
}

bool Display::ShowFrame(const std::uint8_t* frame) {
  frameBits_ = frame;
  InvalidateRect(window_, nullptr, TRUE);
  SendMessageA(window_, WM_PAINT, 0, 0);
  return true;
}

void Display::DoneWindow() {
  frameBits_ = nullptr;
  if (dc_ != nullptr) ReleaseDC(window_, dc_);
  dc_ = nullptr;
  if (window_ != nullptr) DestroyWindow(window_);
  window_ = nullptr;
  if (className_ != nullptr) UnregisterClassA(className_, nullptr);
  className_ = nullptr;
  screenSaver_.reset();
  cursor_.reset();
}

LRESULT CALLBACK Display::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  // Nothing is stored yet for the few messages before WM_NCCREATE.
  auto* self = reinterpret_cast<Display*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return self->Handle(window, message, wParam, lParam);
}

LRESULT Display::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      // Drawn through the window's own DC, without BeginPaint; a paint before
      // the first frame draws and validates nothing.
      if (frameBits_ != nullptr) {
        StretchDIBits(dc_, 0, 0, surfaceWidth_, surfaceHeight_, 0, 0, surfaceWidth_, surfaceHeight_,
                      frameBits_, reinterpret_cast<const BITMAPINFO*>(&info_), DIB_RGB_COLORS,
                      SRCCOPY);
        ValidateRect(window, nullptr);
      }
      return 0;
    case WM_CLOSE:
      // The frame loop sees this after its message pump and ends the run.
      closeRequested_ = true;
      return 0;
    case WM_ERASEBKGND:
      return 0;
    case WM_KEYDOWN:
      if ((wParam & 0xFF) == VK_ESCAPE) SendMessageA(window, WM_CLOSE, 0, 0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace gdi
