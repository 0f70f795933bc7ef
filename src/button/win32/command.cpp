#include "button/win32/command.h"

#include <array>

#include "button/slices.h"
#include "button/win32/state_pictures.h"

namespace button {
namespace {

constexpr forms::WindowClass ClassName{L"VorrasinCommand", 0};
constexpr UINT_PTR HoverTimer = 1;
constexpr int CaptionHeightTwips = 195;

// The body's colours: white, and the tint at its other end.
constexpr forms::Rgb White{255, 255, 255};
constexpr forms::Rgb Tint{0xC6, 0xC5, 0xD7};

// A gradient vertex's 16-bit channels take the colour's bytes as high bytes.
void SetVertex(TRIVERTEX& v, forms::Rgb c) {
  v.Red = static_cast<COLOR16>(c.Red << 8);
  v.Green = static_cast<COLOR16>(c.Green << 8);
  v.Blue = static_cast<COLOR16>(c.Blue << 8);
  v.Alpha = 0;
}

// The six state pictures, made once.
const forms::MemoryImage& Picture(Face f) {
  static const std::array<forms::MemoryImage, 6> images = [] {
    std::array<forms::MemoryImage, 6> a;
    for (int i = 0; i < 6; ++i) a[i] = forms::MemoryImage(StatePicture(static_cast<Face>(i)));
    return a;
  }();
  return images[static_cast<int>(f)];
}

}  // namespace

Command::Command(forms::Container& parent, forms::TwipRect r, std::string caption,
                 const forms::Font& font)
    : twips_(parent.Scale()), model_(*this, std::move(caption), font) {
  // The first face is drawn once the window has its size.
  if (!Create(ClassName, 0, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS,
              twips_.X(r.Left), twips_.Y(r.Top), twips_.X(r.Width), twips_.Y(r.Height),
              parent.Hwnd()))
    return;
  EnableWindow(hwnd_, model_.Enabled());
  FitSurface();
}

Command::~Command() {
  if (timerRunning_ && hwnd_ != nullptr) KillTimer(hwnd_, HoverTimer);
}

void Command::SetEnabled(bool on) {
  // A disabled button leaves the focus order.
  EnableWindow(hwnd_, on);
  model_.SetEnabled(on);
}

void Command::StartHoverTimer() { timerRunning_ = SetTimer(hwnd_, HoverTimer, 100, nullptr) != 0; }

void Command::Click() {
  if (OnClick) OnClick();
}

void Command::FitSurface() {
  RECT c{};
  GetClientRect(hwnd_, &c);
  surface_ = forms::MemoryImage(c.right, c.bottom);
  model_.Resize();
}

void Command::FillGradient(bool invert) {
  TRIVERTEX v[3]{};
  SetVertex(v[0], invert ? Tint : White);
  SetVertex(v[1], invert ? White : Tint);
  v[0].x = 0;
  v[0].y = 0;
  v[1].x = surface_.Width() - 1;
  v[1].y = surface_.Height() - 1;
  GRADIENT_RECT mesh{1, 0};
  GradientFill(surface_.Dc(), v, 3, &mesh, 1, GRADIENT_FILL_RECT_V);
}

void Command::DrawFace(Face face, bool invertGradient) {
  if (!surface_.Valid()) return;
  RECT all{0, 0, surface_.Width(), surface_.Height()};
  FillRect(surface_.Dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  FillGradient(invertGradient);
  RECT c{};
  GetClientRect(hwnd_, &c);
  const auto slices = SliceGeometry(twips_.ToTwipsX(c.right), twips_.ToTwipsY(c.bottom));
  const forms::MemoryImage& picture = Picture(face);
  const forms::Rgb k = forms::Picture::Clear;
  for (const auto& s : slices) {
    if (!s) continue;  // no room for it on this button
    const PixelRect d = ToPixels(s->Destination, twips_.PerPixelX, twips_.PerPixelY);
    const PixelRect src = ToPixels(s->Source, 15, 15);  // the picture is 64 x 25 pixels
    if (d.Width <= 0 || d.Height <= 0 || src.Width <= 0 || src.Height <= 0) continue;
    TransparentBlt(surface_.Dc(), d.X, d.Y, d.Width, d.Height, picture.Dc(), src.X, src.Y,
                   src.Width, src.Height, RGB(k.Red, k.Green, k.Blue));
  }
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void Command::CaptionChanged() {
  if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, FALSE);
}

void Command::PaintCaption(HDC dc) {
  RECT c{};
  GetClientRect(hwnd_, &c);
  const int top = CaptionTop(twips_.ToTwipsY(c.bottom), CaptionHeightTwips);
  RECT r{0, twips_.Y(top), c.right, twips_.Y(top + CaptionHeightTwips)};
  const std::wstring text = forms::Widen(model_.Caption());
  const forms::Selected font(dc, font_.Realize(model_.Font()));
  SetBkMode(dc, TRANSPARENT);
  const UINT format = DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;
  if (model_.CaptionEnabled()) {
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  } else {  // the platform's engraved look of disabled text
    RECT light = r;
    OffsetRect(&light, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &light, format);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  }
}

void Command::Poll() {
  POINT p;
  if (!GetCursorPos(&p)) return;
  const HWND under = WindowFromPoint(p);
  const HWND form = GetAncestor(hwnd_, GA_ROOT);
  if (under == form || under != hwnd_) model_.PointerLeft();
}

LRESULT Command::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      forms::PaintBuffered(hwnd_, surface_, [this](HDC frame) {
        if (surface_.Valid()) PaintCaption(frame);
      });
      return 0;
    case WM_SIZE:
      FitSurface();
      return 0;
    case WM_SETCURSOR:
      if (forms::ApplyMousePointer()) return TRUE;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // The press takes the focus, and the mouse stays with the button until
      // the release, wherever the pointer goes.
      if (GetFocus() != hwnd_) SetFocus(hwnd_);
      SetCapture(hwnd_);
      model_.MouseDown(LeftButton);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      model_.MouseDown(RightButton);
      return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      model_.MouseDown(MiddleButton);
      return 0;
    case WM_MOUSEMOVE:
      model_.MouseMove();
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == hwnd_) ReleaseCapture();
      model_.MouseUp(LeftButton);
      return 0;
    case WM_RBUTTONUP:
      model_.MouseUp(RightButton);
      return 0;
    case WM_MBUTTONUP:
      model_.MouseUp(MiddleButton);
      return 0;
    case WM_SETFOCUS:
      model_.GotFocus();
      return 0;
    case WM_KILLFOCUS:
      model_.LostFocus();
      return 0;
    case WM_TIMER:
      if (wp == HoverTimer) Poll();
      return 0;
    case WM_GETDLGCODE:
      return 0;  // keys never press it; Tab still moves the focus on
    default:
      break;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace button
