// The X11 side of the hack: the display connection, the error trap, the
// window the frames go to and its graphics context, each owned by one object.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "hack/hack_options.h"

namespace hack::x11 {

struct DisplayCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

// Xlib reports protocol errors through one process-wide callback that has no
// context pointer, so the errors seen while a trap is set are kept in one
// record of this file. Without a trap Xlib prints the error and exits.
class ErrorTrap {
 public:
  ErrorTrap();
  ~ErrorTrap();
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;

  // The first error code seen since the last call, 0 if none; clears it.
  int TakeError(Display* display);

 private:
  int (*previous_)(Display*, XErrorEvent*);
};

// True for the errors a request on a window that no longer exists gets.
bool WindowGoneError(int code);

// The window the hack draws in. A window of its own is created (and
// destroyed again); any other is borrowed.
class TargetWindow {
 public:
  // Null when the window cannot be had (the reason is printed).
  static std::unique_ptr<TargetWindow> Open(Display* display, const Options& options,
                                            ErrorTrap& trap);
  ~TargetWindow();
  TargetWindow(const TargetWindow&) = delete;
  TargetWindow& operator=(const TargetWindow&) = delete;

  Window Id() const { return window_; }
  bool Own() const { return own_; }
  Visual* WindowVisual() const { return visual_; }
  int Depth() const { return depth_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  GC Gc() const { return gc_; }
  // WM_DELETE_WINDOW: the window manager's close request for our window.
  Atom DeleteAtom() const { return deleteAtom_; }
  // The server has destroyed it: nothing is left to destroy or draw on.
  void MarkGone() { own_ = false; }
  void SetSize(int width, int height) { width_ = width, height_ = height; }

 private:
  TargetWindow(Display* display, Window window, bool own);

  Display* display_;
  Window window_;
  bool own_;
  Visual* visual_ = nullptr;
  int depth_ = 0;
  int width_ = 0;
  int height_ = 0;
  GC gc_ = nullptr;
  Atom deleteAtom_ = 0;
};

}  // namespace hack::x11
