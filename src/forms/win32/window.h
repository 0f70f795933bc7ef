// The one window procedure of the forms: each window is made with its C++
// object as lpCreateParams; WM_NCCREATE binds the two, and every later
// message goes to the object's HandleMessage until WM_NCDESTROY parts them.
#pragma once

#include <windows.h>

namespace forms {

// What a window class of the forms differs in.
struct WindowClass {
  const wchar_t* Name;
  UINT Style;
};

class Window {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  HWND Hwnd() const { return hwnd_; }

 protected:
  Window() = default;
  // Destroys the window if it is still there, without telling this object.
  virtual ~Window();
  // Registers the class on first use and makes the window, bound to this
  // object; false when the window could not be made. Positions in pixels.
  bool Create(const WindowClass& cls, DWORD exStyle, const wchar_t* title, DWORD style, int x,
              int y, int width, int height, HWND parent);
  // Every message of the window; the default leaves it to DefWindowProcW.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

  HWND hwnd_ = nullptr;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

}  // namespace forms
