#include "renderer/win32/display.h"

#include <wtsapi32.h>

#include <cstring>

#include "renderer/cover_monitors.h"

namespace renderer::win32 {

static_assert(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD) == 1064);

namespace {

constexpr char CoverClass[] = "ZoomCover";

// A cover is painted black by its class and never takes activation, so the
// keyboard stays with the picture even after a click on another monitor.
LRESULT CALLBACK CoverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  return DefWindowProcA(window, message, wParam, lParam);
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
  reinterpret_cast<std::vector<ScreenRect>*>(list)->push_back(
      {rect->left, rect->top, rect->right, rect->bottom});
  return TRUE;
}

}  // namespace

// The power settings that carry the display's state (0 off, 1 on, 2 dimmed):
// the console's display from Windows 8, the session's display where that is
// the one delivered.
constexpr GUID ConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID SessionDisplayStatus = {
    0x2b84c20e, 0xad23, 0x4ddf, {0x93, 0xdb, 0x05, 0xff, 0xbd, 0x7e, 0xfc, 0xa5}};

SeenNotifications::SeenNotifications(HWND window)
    : window_(window),
      session_(WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION) != FALSE),
      console_(RegisterPowerSettingNotification(window, &ConsoleDisplayState,
                                                DEVICE_NOTIFY_WINDOW_HANDLE)),
      sessionDisplay_(RegisterPowerSettingNotification(window, &SessionDisplayStatus,
                                                       DEVICE_NOTIFY_WINDOW_HANDLE)) {}

SeenNotifications::~SeenNotifications() {
  if (sessionDisplay_ != nullptr) UnregisterPowerSettingNotification(sessionDisplay_);
  if (console_ != nullptr) UnregisterPowerSettingNotification(console_);
  if (session_) WTSUnRegisterSessionNotification(window_);
}

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
  window_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, className, contract::RendererTitle,
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
  CoverTheRest();
  // Only Escape ends a run, so the window takes the keyboard from whatever
  // had it (the shell lets this process do so).
  SetForegroundWindow(window_);
  SetFocus(window_);
  screenSaver_.emplace(saverFound_);
  notifications_.emplace(window_);
  return true;
}

void Display::CoverTheRest() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = CoverProc;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = CoverClass;
  coverClass_ = RegisterClassA(&wc) != 0;
  if (!coverClass_) return;
  std::vector<ScreenRect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  RECT r{};
  GetWindowRect(window_, &r);
  for (const ScreenRect& c : CoverRects(monitors, {r.left, r.top, r.right, r.bottom})) {
    HWND cover = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, CoverClass,
                                 "", WS_POPUP, c.Left, c.Top, c.Right - c.Left, c.Bottom - c.Top,
                                 window_, nullptr, nullptr, nullptr);
    if (cover == nullptr) continue;
    ShowWindow(cover, SW_SHOWNOACTIVATE);
    covers_.push_back(cover);
  }
}

bool Display::SetPalette(const renderer::Colour* colours, int count) {
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
  notifications_.reset();
  if (dc_ != nullptr) ReleaseDC(window_, dc_);
  dc_ = nullptr;
  for (HWND cover : covers_) DestroyWindow(cover);
  covers_.clear();
  if (window_ != nullptr) DestroyWindow(window_);
  window_ = nullptr;
  if (className_ != nullptr) UnregisterClassA(className_, nullptr);
  className_ = nullptr;
  if (coverClass_) UnregisterClassA(CoverClass, nullptr);
  coverClass_ = false;
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
    case WM_POWERBROADCAST:
      if (wParam == PBT_POWERSETTINGCHANGE && lParam != 0) {
        const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
        if ((IsEqualGUID(setting->PowerSetting, ConsoleDisplayState) ||
             IsEqualGUID(setting->PowerSetting, SessionDisplayStatus)) &&
            setting->DataLength >= sizeof(DWORD)) {
          DWORD state = 0;
          std::memcpy(&state, setting->Data, sizeof state);
          audience_.DisplayState(state);
        }
      }
      return TRUE;
    case WM_WTSSESSION_CHANGE:
      audience_.SessionChange(static_cast<std::uint32_t>(wParam));
      return 0;
    case WM_ENDSESSION:
      // Log-off or shut-down: the process may be ended as soon as this
      // returns, before the frame loop gets to its own end.
      if (wParam != FALSE) {
        screenSaver_.reset();
        cursor_.reset();
      }
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

}  // namespace renderer::win32
