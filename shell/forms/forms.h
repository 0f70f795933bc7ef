// A small forms layer over Win32 for the shell: top-level forms (which may
// stay hidden and still be found by their caption), periodic timers that tick
// on the form's thread, and image controls. Each object owns its window or
// system handle and gives it back when it goes.
//
// The program lives while a form exists: Run() returns once the last form's
// window has gone, whether the program closed it or a parent window in
// another process took it down.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace forms {

// Runs the thread's message loop until no form is left.
int Run();

class Timer;

class Form {
 public:
  // Creates the window, not shown. Borderless (a pop-up) unless told
  // otherwise; background as a 0x00BBGGRR colour.
  explicit Form(const std::string& caption, DWORD style = WS_POPUP | WS_CLIPCHILDREN,
                COLORREF back = RGB(0, 0, 0));
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  HWND Handle() const { return window_; }
  bool Loaded() const { return window_ != nullptr; }
  void Show();
  // Position and size in pixels, in the parent's client coordinates.
  void Move(int left, int top, int width, int height);

 protected:
  // The window is being destroyed.
  virtual void Form_Unload() {}

 private:
  friend class Timer;
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  HBRUSH background_ = nullptr;
  std::map<UINT_PTR, Timer*> timers_;
  UINT_PTR nextTimerId_ = 1;
};

// A periodic timer of a form; ticks arrive as messages on the form's thread.
class Timer {
 public:
  Timer(Form& form, std::uint32_t intervalMs, std::function<void()> tick);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void SetEnabled(bool on);
  bool Enabled() const { return enabled_; }

 private:
  friend class Form;
  Form& form_;
  UINT_PTR id_;
  std::uint32_t interval_;
  std::function<void()> tick_;
  bool enabled_ = false;
};

// A child control that shows a picture from its top-left corner, unscaled,
// over the form's background.
class Image {
 public:
  // Takes ownership of the bitmap (may be null: then only the background).
  Image(Form& form, HBITMAP picture, COLORREF back = RGB(0, 0, 0));
  ~Image();
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  HWND Handle() const { return window_; }
  void Move(int left, int top, int width, int height);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();

  HWND window_ = nullptr;
  HBITMAP picture_;
  HBRUSH background_;
};

}  // namespace forms
