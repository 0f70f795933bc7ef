#include "hack/x11/x_resources.h"

#include <X11/Xatom.h>
#include <X11/Xproto.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>

namespace hack::x11 {
namespace {

// The one record the error callback can reach; see ErrorTrap.
struct TrapRecord {
  int FirstError = 0;
};
TrapRecord& Record() {
  static TrapRecord record;
  return record;
}

int KeepError(Display*, XErrorEvent* e) {
  if (Record().FirstError == 0) Record().FirstError = e->error_code;
  return 0;
}

// The virtual root a window manager or a desktop may put over the root
// window (property __SWM_VROOT on one of its children), else the root.
Window VirtualRoot(Display* d) {
  const Window root = DefaultRootWindow(d);
  const Atom vroot = XInternAtom(d, "__SWM_VROOT", False);
  Window unusedRoot = 0, unusedParent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  Window found = root;
  if (XQueryTree(d, root, &unusedRoot, &unusedParent, &children, &count) == 0) return root;
  for (unsigned i = 0; i < count && found == root; ++i) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, children[i], vroot, 0, 1, False, XA_WINDOW, &type, &format, &items,
                           &after, &data) == Success &&
        type == XA_WINDOW && format == 32 && items == 1 && data != nullptr)
      found = *reinterpret_cast<Window*>(data);
    if (data != nullptr) XFree(data);
  }
  if (children != nullptr) XFree(children);
  return found;
}

// A top-level window where -geometry puts it, named and classed as the hack,
// with its process and the smallest size (1 x 1) told to the window manager.
Window CreateOwnWindow(Display* d, const Geometry& g) {
  const int screen = DefaultScreen(d);
  XSetWindowAttributes a{};
  a.background_pixel = BlackPixel(d, screen);
  a.event_mask = KeyPressMask | StructureNotifyMask;
  const int left = PlaceLeft(g, DisplayWidth(d, screen));
  const int top = PlaceTop(g, DisplayHeight(d, screen));
  const Window w =
      XCreateWindow(d, RootWindow(d, screen), left, top, static_cast<unsigned>(g.Width),
                    static_cast<unsigned>(g.Height), 0, CopyFromParent, InputOutput, CopyFromParent,
                    CWBackPixel | CWEventMask, &a);
  XSizeHints size{};
  size.flags = PMinSize | (g.SizeGiven ? USSize : PSize) | (g.PositionGiven ? USPosition : 0);
  size.x = left, size.y = top, size.width = g.Width, size.height = g.Height;
  size.min_width = size.min_height = 1;
  XClassHint hint{};
  char name[] = "vorrasin";
  char className[] = "Vorrasin";
  hint.res_name = name;
  hint.res_class = className;
  char title[] = "Vorrasin";
  XTextProperty titleText{};
  char* titles[] = {title};
  if (XStringListToTextProperty(titles, 1, &titleText) != 0) {
    // Also WM_CLIENT_MACHINE, which gives _NET_WM_PID its meaning.
    XSetWMProperties(d, w, &titleText, &titleText, nullptr, 0, &size, nullptr, &hint);
    XFree(titleText.value);
  }
  const unsigned long pid = static_cast<unsigned long>(getpid());
  XChangeProperty(d, w, XInternAtom(d, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
  return w;
}

}  // namespace

ErrorTrap::ErrorTrap() : previous_(XSetErrorHandler(KeepError)) { Record().FirstError = 0; }

ErrorTrap::~ErrorTrap() { XSetErrorHandler(previous_); }

int ErrorTrap::TakeError(Display* display) {
  XSync(display, False);
  const int code = Record().FirstError;
  Record().FirstError = 0;
  return code;
}

bool WindowGoneError(int code) { return code == BadWindow || code == BadDrawable; }

TargetWindow::TargetWindow(Display* display, Window window, bool own)
    : display_(display), window_(window), own_(own) {}

std::unique_ptr<TargetWindow> TargetWindow::Open(Display* d, const Options& options,
                                                 ErrorTrap& trap) {
  std::unique_ptr<TargetWindow> t;
  switch (options.Where) {
    case Target::OwnWindow:
      t.reset(new TargetWindow(d, CreateOwnWindow(d, options.Window), true));
      break;
    case Target::Root:
      t.reset(new TargetWindow(d, VirtualRoot(d), false));
      break;
    case Target::WindowId:
      t.reset(new TargetWindow(d, static_cast<Window>(options.WindowId), false));
      break;
  }
  XWindowAttributes a{};
  const Status got = XGetWindowAttributes(d, t->window_, &a);
  if (trap.TakeError(d) != 0 || got == 0) {
    std::fprintf(stderr, "vorrasin: there is no window 0x%lx\n", t->window_);
    t->own_ = false;
    return nullptr;
  }
  t->visual_ = a.visual;
  t->depth_ = a.depth;
  t->width_ = a.width;
  t->height_ = a.height;
  if (t->own_) {
    t->deleteAtom_ = XInternAtom(d, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(d, t->window_, &t->deleteAtom_, 1);
    XMapRaised(d, t->window_);
  } else {
    // Told when it is resized or destroyed; its other events stay its owner's.
    XSelectInput(d, t->window_, StructureNotifyMask);
  }
  t->gc_ = XCreateGC(d, t->window_, 0, nullptr);
  if (trap.TakeError(d) != 0) {
    std::fprintf(stderr, "vorrasin: cannot draw in window 0x%lx\n", t->window_);
    return nullptr;
  }
  return t;
}

TargetWindow::~TargetWindow() {
  if (gc_ != nullptr) XFreeGC(display_, gc_);
  if (own_) XDestroyWindow(display_, window_);
  XSync(display_, False);
}

}  // namespace hack::x11
