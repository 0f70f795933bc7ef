#include "forms.h"

namespace forms {
namespace {

constexpr char FormClass[] = "VorrasinForm";
constexpr char ImageClass[] = "VorrasinImage";

int LiveForms = 0;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

bool RegisterOnce(const char* name, WNDPROC procedure) {
  WNDCLASSA existing;
  if (GetClassInfoA(Instance(), name, &existing)) return true;
  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = procedure;
  wc.hInstance = Instance();
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  return RegisterClassA(&wc) != 0;
}

template <typename T>
T* OwnerOf(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* owner = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    return owner;
  }
  return reinterpret_cast<T*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace

int Run() {
  MSG msg;
  while (LiveForms > 0 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

Form::Form(const std::string& caption, DWORD style, COLORREF back)
    : background_(CreateSolidBrush(back)) {
  if (!RegisterOnce(FormClass, Procedure)) return;
  window_ = CreateWindowExA(0, FormClass, caption.c_str(), style, 0, 0, 0, 0, nullptr, nullptr,
                            Instance(), this);
  if (window_ != nullptr) ++LiveForms;
}

Form::~Form() {
  for (auto& [id, timer] : timers_) timer->SetEnabled(false);
  if (window_ != nullptr) DestroyWindow(window_);
  DeleteObject(background_);
}

void Form::Show() { ShowWindow(window_, SW_SHOWNORMAL); }

void Form::Move(int left, int top, int width, int height) {
  MoveWindow(window_, left, top, width, height, TRUE);
}

LRESULT CALLBACK Form::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Form* form = OwnerOf<Form>(window, message, lParam);
  if (form == nullptr || (form->window_ != window && message != WM_NCCREATE))
    return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCCREATE) form->window_ = window;
  return form->OnMessage(message, wParam, lParam);
}

LRESULT Form::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(window_, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, background_);
      return 1;
    }
    case WM_TIMER: {
      const auto it = timers_.find(wParam);
      if (it != timers_.end() && it->second->enabled_) it->second->tick_();
      return 0;
    }
    case WM_DESTROY:
      Form_Unload();
      return 0;
    case WM_NCDESTROY: {
      HWND gone = window_;
      window_ = nullptr;
      SetWindowLongPtrA(gone, GWLP_USERDATA, 0);
      if (--LiveForms == 0) PostQuitMessage(0);
      return DefWindowProcA(gone, message, wParam, lParam);
    }
    default:
      return DefWindowProcA(window_, message, wParam, lParam);
  }
}

Timer::Timer(Form& form, std::uint32_t intervalMs, std::function<void()> tick)
    : form_(form), id_(form.nextTimerId_++), interval_(intervalMs), tick_(std::move(tick)) {
  form_.timers_[id_] = this;
}

Timer::~Timer() {
  SetEnabled(false);
  form_.timers_.erase(id_);
}

void Timer::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  if (form_.window_ == nullptr) return;
  if (on)
    SetTimer(form_.window_, id_, interval_, nullptr);
  else
    KillTimer(form_.window_, id_);
}

Image::Image(Form& form, HBITMAP picture, COLORREF back)
    : picture_(picture), background_(CreateSolidBrush(back)) {
  if (!form.Loaded() || !RegisterOnce(ImageClass, Procedure)) return;
  window_ = CreateWindowExA(0, ImageClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, form.Handle(),
                            nullptr, Instance(), this);
}

Image::~Image() {
  if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
  if (picture_ != nullptr) DeleteObject(picture_);
  DeleteObject(background_);
}

void Image::Move(int left, int top, int width, int height) {
  MoveWindow(window_, left, top, width, height, TRUE);
}

LRESULT CALLBACK Image::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Image* image = OwnerOf<Image>(window, message, lParam);
  if (image != nullptr) {
    if (message == WM_NCCREATE) image->window_ = window;
    if (message == WM_NCDESTROY) {
      image->window_ = nullptr;
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PAINT && image->window_ == window) {
      image->Paint();
      return 0;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void Image::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window_, &ps);
  RECT client;
  GetClientRect(window_, &client);
  int drawnWidth = 0, drawnHeight = 0;
  if (picture_ != nullptr) {
    BITMAP bm{};
    GetObjectA(picture_, sizeof bm, &bm);
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, picture_);
    drawnWidth = bm.bmWidth < client.right ? bm.bmWidth : client.right;
    drawnHeight = bm.bmHeight < client.bottom ? bm.bmHeight : client.bottom;
    BitBlt(dc, 0, 0, drawnWidth, drawnHeight, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  // The background right of and below the picture.
  const RECT right{drawnWidth, 0, client.right, client.bottom};
  const RECT below{0, drawnHeight, drawnWidth, client.bottom};
  FillRect(dc, &right, background_);
  FillRect(dc, &below, background_);
  EndPaint(window_, &ps);
}

}  // namespace forms
