#include "forms/win32/form.h"

#include <windowsx.h>

namespace forms {
namespace {

constexpr WindowClass FormClass{L"VorrasinForm", CS_DBLCLKS};
constexpr WindowClass PanelClass{L"VorrasinPanel", CS_DBLCLKS};
constexpr DWORD FormStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD FormExStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;

LPCWSTR PointerOverride = nullptr;
int LiveForms = 0;

int MouseButton(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return 1;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      return 2;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      return 4;
    default:
      return 0;
  }
}

}  // namespace

int Run() {
  MSG msg;
  while (LiveForms > 0 && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

// ---- windowless controls ----

RECT Windowless::PixelRect(const Twips& t) const {
  return RECT{t.X(Bounds.Left), t.Y(Bounds.Top), t.X(Bounds.Left + Bounds.Width),
              t.Y(Bounds.Top + Bounds.Height)};
}

void Label::AutoSize(const Twips& t) {
  WindowDc screen;
  const Selected font(screen.Get(), gdiFont_.Realize(Font));
  const std::wstring text = Widen(Caption, CodePage);
  SIZE size{};
  GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  Bounds.Width = t.ToTwipsX(size.cx);
  Bounds.Height = t.ToTwipsY(size.cy);
}

void Label::Paint(HDC dc, const Twips& t) {
  RECT r = PixelRect(t);
  if (Border) {
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&r, -2, -2);
  }
  const Selected font(dc, gdiFont_.Realize(Font));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Colour);
  const std::wstring text = Widen(Caption, CodePage);
  UINT format = DT_NOPREFIX | (Centred ? DT_CENTER : DT_LEFT);
  format |= Border ? (DT_WORDBREAK | DT_EDITCONTROL) : DT_SINGLELINE;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

void Image::Show(const Picture& p) {
  image_ = MemoryImage(p);
  opaque_ = false;
}

void Image::Show(HBITMAP bitmap) {
  image_ = MemoryImage(bitmap);
  opaque_ = true;
}

void Image::Paint(HDC dc, const Twips& t) {
  if (!image_.Valid()) return;
  const RECT r = PixelRect(t);
  if (opaque_) {
    BitBlt(dc, r.left, r.top, image_.Width(), image_.Height(), image_.Dc(), 0, 0, SRCCOPY);
    return;
  }
  const Rgb k = Picture::Clear;
  TransparentBlt(dc, r.left, r.top, image_.Width(), image_.Height(), image_.Dc(), 0, 0,
                 image_.Width(), image_.Height(), RGB(k.Red, k.Green, k.Blue));
}

void Outline::Paint(HDC dc, const Twips& t) {
  const RECT r = PixelRect(t);
  const Gdi<HBRUSH> brush(CreateSolidBrush(Colour));
  FrameRect(dc, &r, brush.get());
}

// ---- containers ----

int Container::ClientWidthTwips() const {
  RECT r{};
  GetClientRect(hwnd_, &r);
  return twips_.ToTwipsX(r.right);
}

int Container::ClientHeightTwips() const {
  RECT r{};
  GetClientRect(hwnd_, &r);
  return twips_.ToTwipsY(r.bottom);
}

void Container::Refresh() { InvalidateRect(hwnd_, nullptr, FALSE); }

void Container::Resized() {
  RECT r{};
  GetClientRect(hwnd_, &r);
  if (r.right != background_.Width() || r.bottom != background_.Height())
    background_ = MemoryImage(r.right, r.bottom);
  if (background_.Valid()) {
    const Gdi<HBRUSH> brush(CreateSolidBrush(BackColour));
    FillRect(background_.Dc(), &r, brush.get());
  }
  if (OnResize) OnResize();
  Refresh();
}

void Container::Paint() {
  PaintBuffered(hwnd_, background_, [this](HDC frame) {
    for (auto& item : items_)
      if (item->Visible) item->Paint(frame, twips_);
  });
}

void Container::MouseDown(int button, POINT p) {
  // The topmost control under the pointer that listens gets the press.
  for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
    const RECT r = (*it)->PixelRect(twips_);
    if ((*it)->Visible && (*it)->OnMouseDown && PtInRect(&r, p)) {
      (*it)->OnMouseDown(button);
      return;
    }
  }
}

LRESULT Container::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_SIZE:
      Resized();
      return 0;
    case WM_TIMER: {
      const auto it = timers_.find(wp);
      if (it != timers_.end() && it->second->enabled_) {
        const std::function<void()> tick = it->second->tick_;  // it may end the form
        tick();
      }
      return 0;
    }
    case WM_SETCURSOR:
      if (ApplyMousePointer()) return TRUE;
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      MouseDown(MouseButton(msg), POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      SetBkColor(reinterpret_cast<HDC>(wp), RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    default:
      break;
  }
  return Window::HandleMessage(msg, wp, lp);
}

Panel::Panel(Container& parent, TwipRect r) {
  const Twips& t = parent.Scale();
  if (!Create(PanelClass, WS_EX_CONTROLPARENT, L"",
              WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, t.X(r.Left), t.Y(r.Top),
              t.X(r.Width), t.Y(r.Height), parent.Hwnd()))
    return;
  Resized();
}

LRESULT Panel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND || msg == WM_NOTIFY)  // pass control notifications up
    return SendMessageW(GetParent(hwnd_), msg, wp, lp);
  return Container::HandleMessage(msg, wp, lp);
}

Form::Form(const std::string& caption, int clientWidthTwips, int clientHeightTwips, HICON icon,
           HWND owner)
    : owner_(owner) {
  RECT r{0, 0, twips_.X(clientWidthTwips), twips_.Y(clientHeightTwips)};
  AdjustWindowRectEx(&r, FormStyle, FALSE, FormExStyle);
  if (!Create(FormClass, FormExStyle, Widen(caption).c_str(), FormStyle, 0, 0, r.right - r.left,
              r.bottom - r.top, owner))
    return;
  if (icon != nullptr) {
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
}

Form::Form(const std::string& caption, DWORD style, COLORREF back) {
  BackColour = back;
  Create(FormClass, 0, Widen(caption).c_str(), style, 0, 0, 0, 0, nullptr);
}

Form::~Form() {
  EnableOwner();
  for (auto& [id, timer] : timers_) timer->SetEnabled(false);
  // Taken down while this form can still count itself out (WM_NCDESTROY).
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

int Form::WidthTwips() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return twips_.ToTwipsX(r.right - r.left);
}

int Form::HeightTwips() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return twips_.ToTwipsY(r.bottom - r.top);
}

void Form::MoveTo(int leftTwips, int topTwips) {
  SetWindowPos(hwnd_, nullptr, twips_.X(leftTwips), twips_.Y(topTwips), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::ShowModal() {
  if (hwnd_ == nullptr) return;
  modal_ = true;
  if (OnLoad) OnLoad();
  if (unloaded_) return;
  // An owner that is disabled already (by a modal show of its own) stays so.
  if (owner_ != nullptr && IsWindowEnabled(owner_)) {
    EnableWindow(owner_, FALSE);
    ownerDisabled_ = true;
  }
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  Resized();
  UpdateWindow(hwnd_);
  SetForegroundWindow(hwnd_);
  if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE)) SetFocus(first);
  MSG msg;
  while (!unloaded_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  EnableOwner();
}

void Form::EnableOwner() {
  if (!ownerDisabled_) return;
  ownerDisabled_ = false;
  EnableWindow(owner_, TRUE);
}

void Form::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  if (OnUnload) OnUnload();
  // A modal form's controls live as long as the form object: only hide it
  // here, the modal show returns. Any other form goes at once. The owner is
  // enabled first, so that it is the window that becomes active.
  EnableOwner();
  if (modal_)
    ShowWindow(hwnd_, SW_HIDE);
  else if (hwnd_ != nullptr)
    DestroyWindow(hwnd_);
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCREATE:
      ++LiveForms;
      break;
    case WM_NCDESTROY:
      // Gone, by our hand or with its parent window (a preview pane).
      unloaded_ = true;
      if (--LiveForms == 0) PostQuitMessage(0);
      break;
    case WM_CLOSE:
      if (OnCloseRequest)
        OnCloseRequest();
      else
        Unload();
      return 0;
    case WM_ENDSESSION:
      if (wp != FALSE && OnSessionEnd) OnSessionEnd();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wp) == IDCANCEL && lp == 0) {  // Escape, through the dialog keys
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    default:
      break;
  }
  return Container::HandleMessage(msg, wp, lp);
}

// ---- combo box ----

ComboBox::ComboBox(Panel& parent, TwipRect r, const Font& font) : font_(MakeFont(font)) {
  const Twips& t = parent.Scale();
  // The height given to a combo box is that of its dropped-down list.
  hwnd_.reset(CreateWindowExW(
      WS_EX_CLIENTEDGE, L"COMBOBOX", L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, t.X(r.Left),
      t.Y(r.Top), t.X(r.Width), t.Y(r.Height), parent.Hwnd(), nullptr, GetModuleHandleW(nullptr),
      nullptr));
  if (hwnd_ != nullptr)
    SendMessageW(hwnd_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
}

void ComboBox::AddItem(const std::string& text) {
  SendMessageW(hwnd_.get(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

std::string ComboBox::Text() const {
  const int n = GetWindowTextLengthW(hwnd_.get());
  std::wstring w(static_cast<std::size_t>(n) + 1, L'\0');
  GetWindowTextW(hwnd_.get(), w.data(), n + 1);
  w.resize(static_cast<std::size_t>(n));
  return ToAnsi(w);
}

void ComboBox::SetText(const std::string& text) {
  SetWindowTextW(hwnd_.get(), Widen(text).c_str());
}

// ---- timers ----

Timer::Timer(Container& owner, std::uint32_t intervalMs, std::function<void()> tick)
    : owner_(owner), id_(owner.nextTimerId_++), interval_(intervalMs), tick_(std::move(tick)) {
  owner_.timers_[id_] = this;
}

Timer::~Timer() {
  SetEnabled(false);
  owner_.timers_.erase(id_);
}

void Timer::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  if (owner_.hwnd_ == nullptr) return;
  if (on)
    SetTimer(owner_.hwnd_, id_, interval_, nullptr);
  else
    KillTimer(owner_.hwnd_, id_);
}

void SetMousePointer(LPCWSTR cursor) {
  PointerOverride = cursor;
  POINT p;
  if (GetCursorPos(&p)) SetCursorPos(p.x, p.y);  // let the window under it update it now
  if (cursor != nullptr) SetCursor(LoadCursorW(nullptr, cursor));
}

bool ApplyMousePointer() {
  if (PointerOverride == nullptr) return false;
  SetCursor(LoadCursorW(nullptr, PointerOverride));
  return true;
}

}  // namespace forms
