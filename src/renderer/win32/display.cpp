#include "renderer/win32/display.h"

#include <windows.h>

#include <cstring>

namespace gdi {
namespace {

struct BitmapInfo256 {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
};
static_assert(sizeof(BitmapInfo256) == 1064);

HWND Wnd = nullptr;
HDC DC = nullptr;
std::int32_t SurfaceWidth = 0;
std::int32_t SurfaceHeight = 0;
BitmapInfo256 Info{};
const std::uint8_t* FrameBits = nullptr;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      if (FrameBits != nullptr) {
        StretchDIBits(DC, 0, 0, SurfaceWidth, SurfaceHeight, 0, 0, SurfaceWidth, SurfaceHeight,
                      FrameBits, reinterpret_cast<const BITMAPINFO*>(&Info), DIB_RGB_COLORS,
                      SRCCOPY);
        ValidateRect(Wnd, nullptr);
      }
      return 0;
    case WM_CLOSE:
      DoneWindow();
      ExitProcess(0);
    case WM_ERASEBKGND:
      return 0;
    case WM_KEYDOWN:
      if ((wParam & 0xFF) == VK_ESCAPE) SendMessageA(window, WM_CLOSE, 0, 0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

bool InitWindow(const char* className, std::int32_t width, std::int32_t height) {
  ShowCursor(FALSE);
  WNDCLASSA wc{};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = nullptr;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = className;
  if (RegisterClassA(&wc) == 0) {
    ShowCursor(TRUE);
    return false;
  }
  SurfaceWidth = width;
  SurfaceHeight = height;
  Wnd = CreateWindowExA(0, className, WindowTitle, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                        0, GetSystemMetrics(SM_CXMAXIMIZED),
                        GetSystemMetrics(SM_CYMAXIMIZED) + GetSystemMetrics(SM_CYCAPTION), nullptr,
                        nullptr, nullptr, nullptr);
  if (Wnd == nullptr) {
    UnregisterClassA(className, nullptr);
    ShowCursor(TRUE);
    return false;
  }
  ShowWindow(Wnd, SW_SHOWNORMAL);
  DC = GetDC(Wnd);
  if (DC == nullptr) {
    DestroyWindow(Wnd);
    Wnd = nullptr;
    UnregisterClassA(className, nullptr);
    ShowCursor(TRUE);
    return false;
  }
  Info.header = BITMAPINFOHEADER{};
  Info.header.biSize = sizeof(BITMAPINFOHEADER);
  Info.header.biWidth = SurfaceWidth;
  Info.header.biHeight = -SurfaceHeight;
  Info.header.biPlanes = 1;
  Info.header.biBitCount = 8;
  Info.header.biCompression = BI_RGB;
  Info.header.biClrUsed = 256;
  for (int i = 0; i < 256; ++i) {
    const auto g = static_cast<BYTE>(i);
    Info.colours[i] = RGBQUAD{g, g, g, 0};
  }
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 0, nullptr, 0);
  return true;
}

bool SetPalette(const uzoom::Colour* colours, int count) {
  if (count > 256) count = 256;
  for (int i = 0; i < count; ++i)
    Info.colours[i] = RGBQUAD{colours[i].blue, colours[i].green, colours[i].red, 0};
  return true;
}

bool ShowFrame(const std::uint8_t* frame) {
  FrameBits = frame;
  InvalidateRect(Wnd, nullptr, TRUE);
  SendMessageA(Wnd, WM_PAINT, 0, 0);
  MSG msg;
  while (PeekMessageA(&msg, Wnd, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  Sleep(0);
  return true;
}

void DoneWindow() {
  FrameBits = nullptr;
  ReleaseDC(Wnd, DC);
  DestroyWindow(Wnd);
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);
  ShowCursor(TRUE);
}

}  // namespace gdi
