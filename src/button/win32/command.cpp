#include "button/win32/command.h"

#include <windowsx.h>

#include "button/slices.h"
#include "button/win32/state_pictures.h"

namespace command {
namespace {

constexpr wchar_t ClassName[] = L"VorrasinCommand";
constexpr UINT_PTR HoverTimer = 1;
constexpr int CaptionHeightTwips = 195;

// Body colours, written as red, green, blue in hexadecimal.
constexpr char White[] = "FFFFFF";
constexpr char Tint[] = "C6C5D7";

// One channel of a colour text as a 16-bit vertex channel: the two digits
// at `at`, as the high byte.
COLOR16 Channel(const char* hex, int at) {
  auto digit = [](char c) { return c <= '9' ? c - '0' : (c & ~0x20) - 'A' + 10; };
  return static_cast<COLOR16>((digit(hex[at]) * 16 + digit(hex[at + 1])) << 8);
}

void SetVertex(TRIVERTEX& v, const char* hex) {
  v.Red = Channel(hex, 0);
  v.Green = Channel(hex, 2);
  v.Blue = Channel(hex, 4);
  v.Alpha = 0;
}

// The six state pictures, made once.
const forms::MemoryImage& Picture(Face f) {
  static std::array<forms::MemoryImage, 6> images = [] {
    std::array<forms::MemoryImage, 6> a;
    for (int i = 0; i < 6; ++i) a[i] = forms::MemoryImage(StatePicture(static_cast<Face>(i)));
    return a;
  }();
  return images[static_cast<int>(f)];
}

}  // namespace

Command::Command(forms::Container& parent, forms::TwipRect r, const forms::PropertyBag& design,
                 const forms::Font& ambientFont)
    : twips_(parent.twips()), model_(*this) {
  WNDCLASSW wc{};
  if (!GetClassInfoW(GetModuleHandleW(nullptr), ClassName, &wc)) {
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = ClassName;
    RegisterClassW(&wc);
  }
  hwnd_ = CreateWindowExW(0, ClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS,
                          twips_.X(r.left), twips_.Y(r.top), twips_.X(r.width), twips_.Y(r.height),
                          parent.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
  if (hwnd_ == nullptr) return;
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  RECT c{};
  GetClientRect(hwnd_, &c);
  surface_ = forms::MemoryImage(c.right, c.bottom);
  model_.ReadProperties(design, ambientFont);
  EnableWindow(hwnd_, model_.EnabledValue());
  model_.Resize();
}

Command::~Command() {
  if (hwnd_ != nullptr) {
    if (timerRunning_) KillTimer(hwnd_, HoverTimer);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void Command::SetEnabled(bool on) {
  // A disabled button leaves the focus order.
  EnableWindow(hwnd_, on);
  model_.SetEnabled(on);
}

void Command::StartHoverTimer() { timerRunning_ = SetTimer(hwnd_, HoverTimer, 100, nullptr) != 0; }

void Command::Click() {
  if (onClick) onClick();
}

void Command::FillGradient(bool invert) {
  TRIVERTEX v[3]{};
  SetVertex(v[0], invert ? Tint : White);
  SetVertex(v[1], invert ? White : Tint);
  v[0].x = 0;
  v[0].y = 0;
  v[1].x = surface_.width() - 1;
  v[1].y = surface_.height() - 1;
  GRADIENT_RECT mesh{1, 0};
  GradientFill(surface_.dc(), v, 3, &mesh, 1, GRADIENT_FILL_RECT_V);
}

void Command::DrawFace(Face face, bool invertGradient) {
  if (!surface_.valid()) return;
  RECT all{0, 0, surface_.width(), surface_.height()};
  FillRect(surface_.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  FillGradient(invertGradient);
  RECT c{};
  GetClientRect(hwnd_, &c);
  const auto slices = SliceGeometry(twips_.ToTwipsX(c.right), twips_.ToTwipsY(c.bottom));
  const forms::MemoryImage& picture = Picture(face);
  const forms::Pixel k = forms::Picture::Clear;
  for (const auto& s : slices) {
    if (!s) continue;  // no room for it on this button
    const PixelRect d = ToPixels(s->destination, twips_.perPixelX, twips_.perPixelY);
    const PixelRect src = ToPixels(s->source, 15, 15);  // the picture is 64 x 25 pixels
    if (d.width <= 0 || d.height <= 0 || src.width <= 0 || src.height <= 0) continue;
    TransparentBlt(surface_.dc(), d.x, d.y, d.width, d.height, picture.dc(), src.x, src.y,
                   src.width, src.height, RGB(k.red, k.green, k.blue));
  }
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void Command::CaptionChanged() {
  if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, FALSE);
}

void Command::PaintCaption(HDC dc) {
  if (!font_ || !(madeFont_ == model_.Font())) {
    font_ = forms::MakeFont(model_.Font());
    madeFont_ = model_.Font();
  }
  RECT c{};
  GetClientRect(hwnd_, &c);
  const int top = CaptionTop(twips_.ToTwipsY(c.bottom), CaptionHeightTwips);
  RECT r{0, twips_.Y(top), c.right, twips_.Y(top + CaptionHeightTwips)};
  const std::wstring text = forms::Widen(model_.Caption());
  HGDIOBJ old = SelectObject(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);
  const UINT format = DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;
  if (model_.CaptionEnabled()) {
    SetTextColor(dc, model_.CaptionColour());
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  } else {  // the platform's engraved look of disabled text
    RECT light = r;
    OffsetRect(&light, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &light, format);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  }
  SelectObject(dc, old);
}

void Command::Poll() {
  POINT p;
  if (!GetCursorPos(&p)) return;
  const HWND under = WindowFromPoint(p);
  HWND form = GetAncestor(hwnd_, GA_ROOT);
  if (under == form || under != hwnd_) model_.PointerLeft();
}

LRESULT CALLBACK Command::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<Command*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  CommandModel& m = self->model_;
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT c{};
      GetClientRect(hwnd, &c);
      forms::MemoryImage frame(c.right, c.bottom);
      if (frame.valid() && self->surface_.valid()) {
        BitBlt(frame.dc(), 0, 0, c.right, c.bottom, self->surface_.dc(), 0, 0, SRCCOPY);
        self->PaintCaption(frame.dc());
        BitBlt(dc, 0, 0, c.right, c.bottom, frame.dc(), 0, 0, SRCCOPY);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SIZE: {
      self->surface_ = forms::MemoryImage(LOWORD(lp), HIWORD(lp));
      m.Resize();
      return 0;
    }
    case WM_SETCURSOR:
      if (forms::ApplyMousePointer()) return TRUE;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // The press takes the focus, and the mouse stays with the button until
      // the release, wherever the pointer goes.
      if (GetFocus() != hwnd) SetFocus(hwnd);
      SetCapture(hwnd);
      m.MouseDown(LeftButton);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      m.MouseDown(RightButton);
      return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      m.MouseDown(MiddleButton);
      return 0;
    case WM_MOUSEMOVE:
      m.MouseMove();
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == hwnd) ReleaseCapture();
      m.MouseUp(LeftButton);
      return 0;
    case WM_RBUTTONUP:
      m.MouseUp(RightButton);
      return 0;
    case WM_MBUTTONUP:
      m.MouseUp(MiddleButton);
      return 0;
    case WM_SETFOCUS:
      m.GotFocus();
      return 0;
    case WM_KILLFOCUS:
      m.LostFocus();
      return 0;
    case WM_TIMER:
      if (wp == HoverTimer) self->Poll();
      return 0;
    case WM_GETDLGCODE:
      return 0;  // keys never press it; Tab still moves the focus on
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace command
