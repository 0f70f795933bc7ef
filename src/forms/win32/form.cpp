#include "forms/win32/form.h"

#include <windowsx.h>

namespace forms {
namespace {

constexpr wchar_t FormClass[] = L"VorrasinForm";
constexpr wchar_t PanelClass[] = L"VorrasinPanel";
constexpr DWORD FormStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD FormExStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;

LPCWSTR PointerOverride = nullptr;
int LiveForms = 0;

void Register(const wchar_t* name, WNDPROC proc) {
  WNDCLASSW wc{};
  if (GetClassInfoW(GetModuleHandleW(nullptr), name, &wc)) return;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  RegisterClassW(&wc);
}

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
  return RECT{t.X(bounds.left), t.Y(bounds.top), t.X(bounds.left + bounds.width),
              t.Y(bounds.top + bounds.height)};
}

void Label::AutoSize(const Twips& t) {
  if (!gdiFont_ || !(made_ == font)) {
    gdiFont_ = MakeFont(font);
    made_ = font;
  }
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, gdiFont_.get());
  const std::wstring text = Widen(caption, codePage);
  SIZE size{};
  GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  bounds.width = t.ToTwipsX(size.cx);
  bounds.height = t.ToTwipsY(size.cy);
}

void Label::Paint(HDC dc, const Twips& t) {
  if (!gdiFont_ || !(made_ == font)) {
    gdiFont_ = MakeFont(font);
    made_ = font;
  }
  RECT r = PixelRect(t);
  if (border) {
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&r, -2, -2);
  }
  HGDIOBJ old = SelectObject(dc, gdiFont_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  const std::wstring text = Widen(caption, codePage);
  UINT format = DT_NOPREFIX | (centred ? DT_CENTER : DT_LEFT);
  format |= border ? (DT_WORDBREAK | DT_EDITCONTROL) : DT_SINGLELINE;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  SelectObject(dc, old);
}

void Image::Show(const Picture& p) {
  picture_ = p;
  image_ = MemoryImage(p);
  opaque_ = false;
}

void Image::Show(HBITMAP bitmap) {
  picture_ = Picture{};
  image_ = MemoryImage(bitmap);
  opaque_ = true;
}

void Image::Paint(HDC dc, const Twips& t) {
  if (!image_.valid()) return;
  const RECT r = PixelRect(t);
  if (opaque_) {
    BitBlt(dc, r.left, r.top, image_.width(), image_.height(), image_.dc(), 0, 0, SRCCOPY);
    return;
  }
  const Pixel k = Picture::Clear;
  TransparentBlt(dc, r.left, r.top, image_.width(), image_.height(), image_.dc(), 0, 0,
                 image_.width(), image_.height(), RGB(k.red, k.green, k.blue));
}

void Outline::Paint(HDC dc, const Twips& t) {
  const RECT r = PixelRect(t);
  Gdi<HBRUSH> brush(CreateSolidBrush(colour));
  FrameRect(dc, &r, brush.get());
}

// ---- containers ----

Container::~Container() {
  if (hwnd_ != nullptr) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void Container::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

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
  if (r.right != background_.width() || r.bottom != background_.height())
    background_ = MemoryImage(r.right, r.bottom);
  if (background_.valid()) {
    Gdi<HBRUSH> brush(CreateSolidBrush(backColour));
    FillRect(background_.dc(), &r, brush.get());
  }
  if (onResize) onResize();
  Refresh();
}

bool Container::HandleCommon(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      RECT r{};
      GetClientRect(hwnd_, &r);
      // Compose off screen so that labels never flicker over the picture.
      MemoryImage frame(r.right, r.bottom);
      if (frame.valid()) {
        if (background_.valid())
          BitBlt(frame.dc(), 0, 0, r.right, r.bottom, background_.dc(), 0, 0, SRCCOPY);
        for (auto& item : items_)
          if (item->visible) item->Paint(frame.dc(), twips_);
        BitBlt(dc, 0, 0, r.right, r.bottom, frame.dc(), 0, 0, SRCCOPY);
      }
      EndPaint(hwnd_, &ps);
      result = 0;
      return true;
    }
    case WM_SIZE:
      Resized();
      result = 0;
      return true;
    case WM_TIMER: {
      const auto it = timers_.find(wp);
      if (it != timers_.end() && it->second->enabled_) {
        const std::function<void()> tick = it->second->tick_;  // it may end the form
        tick();
      }
      result = 0;
      return true;
    }
    case WM_SETCURSOR:
      if (ApplyMousePointer()) {
        result = TRUE;
        return true;
      }
      return false;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
      const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        const RECT r = (*it)->PixelRect(twips_);
        if ((*it)->visible && (*it)->onMouseDown && PtInRect(&r, p)) {
          (*it)->onMouseDown(MouseButton(msg));
          break;
        }
      }
      result = 0;
      return true;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      SetBkColor(reinterpret_cast<HDC>(wp), RGB(255, 255, 255));
      result = reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
      return true;
    default:
      return false;
  }
}

Panel::Panel(Container& parent, TwipRect r) {
  Register(PanelClass, Proc);
  const Twips& t = parent.twips();
  HWND w = CreateWindowExW(WS_EX_CONTROLPARENT, PanelClass, L"",
                           WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, t.X(r.left),
                           t.Y(r.top), t.X(r.width), t.Y(r.height), parent.hwnd(), nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  if (w == nullptr) return;
  Attach(w);
  Resized();
}

LRESULT CALLBACK Panel::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<Panel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  LRESULT result = 0;
  if (self != nullptr && self->HandleCommon(msg, wp, lp, result)) return result;
  if (msg == WM_COMMAND || msg == WM_NOTIFY)  // pass control notifications up
    return SendMessageW(GetParent(hwnd), msg, wp, lp);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

Form::Form(const std::string& caption, int clientWidthTwips, int clientHeightTwips, HICON icon) {
  Register(FormClass, Proc);
  RECT r{0, 0, twips_.X(clientWidthTwips), twips_.Y(clientHeightTwips)};
  AdjustWindowRectEx(&r, FormStyle, FALSE, FormExStyle);
  HWND w = CreateWindowExW(FormExStyle, FormClass, Widen(caption).c_str(), FormStyle, 0, 0,
                           r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  if (w == nullptr) return;
  Attach(w);
  ++LiveForms;
  if (icon != nullptr) {
    SendMessageW(w, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(w, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
}

Form::Form(const std::string& caption, DWORD style, COLORREF back) {
  Register(FormClass, Proc);
  backColour = back;
  HWND w = CreateWindowExW(0, FormClass, Widen(caption).c_str(), style, 0, 0, 0, 0, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  if (w == nullptr) return;
  Attach(w);
  ++LiveForms;
}

Form::~Form() {
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
  if (onLoad) onLoad();
  if (unloaded_) return;
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
}

void Form::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  if (onUnload) onUnload();
  // A modal form's controls live as long as the form object: only hide it
  // here, the modal show returns. Any other form goes at once.
  if (modal_)
    ShowWindow(hwnd_, SW_HIDE);
  else if (hwnd_ != nullptr)
    DestroyWindow(hwnd_);
}

LRESULT CALLBACK Form::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  LRESULT result = 0;
  if (self->HandleCommon(msg, wp, lp, result)) return result;
  switch (msg) {
    case WM_NCDESTROY:
      // Gone, by our hand or with its parent window (a preview pane).
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
      self->unloaded_ = true;
      if (--LiveForms == 0) PostQuitMessage(0);
      return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_CLOSE:
      if (self->onCloseRequest)
        self->onCloseRequest();
      else
        self->Unload();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wp) == IDCANCEL && lp == 0) {  // Escape, through the dialog keys
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// ---- combo box ----

ComboBox::ComboBox(Panel& parent, TwipRect r, const Font& font) {
  const Twips& t = parent.twips();
  // The height given to a combo box is that of its dropped-down list.
  hwnd_ = CreateWindowExW(
      WS_EX_CLIENTEDGE, L"COMBOBOX", L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, t.X(r.left),
      t.Y(r.top), t.X(r.width), t.Y(r.height), parent.hwnd(), nullptr, GetModuleHandleW(nullptr),
      nullptr);
  font_ = MakeFont(font);
  if (hwnd_ != nullptr)
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
}

ComboBox::~ComboBox() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

void ComboBox::AddItem(const std::string& text) {
  SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

int ComboBox::ItemCount() const { return static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0)); }

std::string ComboBox::Text() const {
  const int n = GetWindowTextLengthW(hwnd_);
  std::wstring w(static_cast<std::size_t>(n) + 1, L'\0');
  GetWindowTextW(hwnd_, w.data(), n + 1);
  w.resize(static_cast<std::size_t>(n));
  return ToAnsi(w);
}

void ComboBox::SetText(const std::string& text) { SetWindowTextW(hwnd_, Widen(text).c_str()); }

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
