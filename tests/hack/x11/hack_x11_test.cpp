// The real program on a virtual display: bad flags refused, help, zoomshot's
// colours pixel for pixel, a resize, the -fps overlay, its own window's size
// and properties, a clean end by SIGTERM or when its window goes.

#include <gtest/gtest.h>
// Xlib after gtest: its macros None and Bool clash with gtest's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "hack/pixel_format.h"

namespace {

template <typename Cond>
bool WaitFor(Cond cond) {
  for (int i = 0; i < 1000; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(20)))
    if (cond()) return true;
  return false;
}

std::string ReadFile(const std::string& path) {
  return {std::istreambuf_iterator<char>(std::ifstream(path).rdbuf()), {}};
}

const std::string Errors = testing::TempDir() + "vorrasin_" + std::to_string(getpid()) + ".err";
const std::string Out = testing::TempDir() + "vorrasin_" + std::to_string(getpid()) + ".out";
const std::string Raw = testing::TempDir() + "vorrasin_" + std::to_string(getpid()) + ".raw";

// Starts a program with its stdout in Out and stderr in Errors (files of this
// test process).
pid_t Start(std::vector<std::string> args) {
  const pid_t pid = fork();
  if (pid < 0) std::abort();  // never a pid of -1 for kill
  if (pid != 0) return pid;
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  if (std::freopen(Errors.c_str(), "w", stderr) != nullptr &&
      std::freopen(Out.c_str(), "w", stdout) != nullptr)
    execv(argv[0], argv.data());
  _exit(127);
}

// Exit status, 128 + the signal that ended it, or -1 when (then killed)
// still running after 20 s.
int ExitStatus(pid_t pid) {
  int status = 0;
  const bool ended = WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; });
  if (!ended) kill(pid, SIGKILL), waitpid(pid, &status, 0);
  if (!ended) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Shared-memory segments the process pid created that still exist.
int SegmentsOf(pid_t pid) {
  shm_info info{};
  int n = 0;
  for (int i = shmctl(0, SHM_INFO, reinterpret_cast<shmid_ds*>(&info)); i >= 0; --i) {
    shmid_ds s{};
    n += shmctl(i, SHM_STAT, &s) >= 0 && s.shm_cpid == pid;
  }
  return n;
}

class HackOnDisplay : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(d_, nullptr) << "no display";
    window_ = XCreateSimpleWindow(d_, DefaultRootWindow(d_), 0, 0, 203, 97, 0, 0, 0);
    XMapWindow(d_, window_);
    XSync(d_, False);
  }
  ~HackOnDisplay() override {
    for (const std::string* file : {&Errors, &Out, &Raw}) std::remove(file->c_str());
  }
  pid_t StartHack(const char* flag = "-mono") {
    return Start({VORRASIN_HACK, "-window-id", std::to_string(window_), flag, "-clock", "5000"});
  }
  // Whether the window shows zoomshot's frame of that size, pixel for pixel
  // (with a bottom-left corner cw x ch: except in it, and not all of it).
  bool Shows(int w, int h, int cw = 0, int ch = 0) {
    const std::string size = std::to_string(w) + "x" + std::to_string(h);
    if (ExitStatus(Start({VORRASIN_ZOOMSHOT, "--clock", "5000", "--size", size, "-o", Raw})) != 0)
      return false;
    const Visual* v = DefaultVisual(d_, DefaultScreen(d_));
    const hack::PixelTable pixels = hack::MakePixelTable(
        renderer::MakeColourTable(),
        {static_cast<std::uint32_t>(v->red_mask), static_cast<std::uint32_t>(v->green_mask),
         static_cast<std::uint32_t>(v->blue_mask)});
    const std::string raw = ReadFile(Raw);
    XImage* image = XGetImage(d_, window_, 0, 0, w, h, AllPlanes, ZPixmap);
    if (image == nullptr || raw.size() != static_cast<std::size_t>(w * h)) return false;
    int same = 0, cornerDiffers = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const bool equal =
            XGetPixel(image, x, y) == pixels[static_cast<std::uint8_t>(raw[y * w + x])];
        const bool inCorner = x < cw && y >= h - ch;
        same += equal || inCorner;
        cornerDiffers += inCorner && !equal;
      }
    XDestroyImage(image);
    return same == w * h && (cw == 0 || cornerDiffers > 0);
  }

  std::unique_ptr<Display, int (*)(Display*)> display_{XOpenDisplay(nullptr), XCloseDisplay};
  Display* d_ = display_.get();
  Window window_ = 0;
};

TEST_F(HackOnDisplay, RefusesBadFlagsDrawsZoomshotsColoursFollowsAResizeAndEndsCleanly) {
  EXPECT_EQ(ExitStatus(Start({VORRASIN_HACK, "-bogus"})), 1);
  EXPECT_NE(ReadFile(Errors).find("\nusage: "), std::string::npos) << ReadFile(Errors);
  pid_t hack = StartHack();
  EXPECT_TRUE(WaitFor([&] { return Shows(203, 97); }));
  XResizeWindow(d_, window_, 150, 120);
  XSync(d_, False);
  EXPECT_TRUE(WaitFor([&] { return Shows(150, 120); }));
  EXPECT_EQ(SegmentsOf(hack), std::getenv("VORRASIN_TEST_NO_SHM") ? 0 : 1);
  kill(hack, SIGTERM);
  EXPECT_EQ(ExitStatus(hack), 128 + SIGTERM);
  EXPECT_EQ(SegmentsOf(hack), 0);
  // Again (on a cleared window), until the window is destroyed under it.
  XClearWindow(d_, window_);
  hack = StartHack();
  ASSERT_TRUE(WaitFor([&] { return Shows(150, 120); }));
  XDestroyWindow(d_, window_);
  XSync(d_, False);
  EXPECT_EQ(ExitStatus(hack), 0);
  EXPECT_EQ(ReadFile(Errors), "");
  EXPECT_EQ(SegmentsOf(hack), 0);
}

TEST_F(HackOnDisplay, HelpOverlayAndOwnWindow) {
  EXPECT_EQ(ExitStatus(Start({VORRASIN_HACK, "--help"})), 0);
  EXPECT_EQ(ReadFile(Out).rfind("usage: ", 0), 0u) << ReadFile(Out);
  EXPECT_NE(ReadFile(Out).find("-geometry"), std::string::npos);
  // The overlay over the bottom-left corner, the rest the frame.
  pid_t hack = StartHack("-fps");
  EXPECT_TRUE(WaitFor([&] { return Shows(203, 97, 100, 40); }));
  kill(hack, SIGINT);
  EXPECT_EQ(ExitStatus(hack), 128 + SIGINT);
  // Its own window: where and as large as -geometry says, with its process,
  // machine, class and smallest size told to the window manager.
  hack = Start({VORRASIN_HACK, "-geometry", "123x45-7+9", "-display", DisplayString(d_)});
  // The topmost window once its class is set.
  Window own = 0, unused = 0, *children = nullptr;
  XClassHint hint{};
  ASSERT_TRUE(WaitFor([&] {
    unsigned n = 0;
    XQueryTree(d_, DefaultRootWindow(d_), &unused, &unused, &children, &n);
    own = n > 0 && XGetClassHint(d_, children[n - 1], &hint) != 0 ? children[n - 1] : 0;
    XFree(children);
    return own != 0;
  }));
  EXPECT_EQ(std::string(hint.res_name) + "/" + hint.res_class, "vorrasin/Vorrasin");
  XFree(hint.res_name), XFree(hint.res_class);
  XWindowAttributes a{};
  XGetWindowAttributes(d_, own, &a);
  EXPECT_EQ(std::vector<int>({a.x, a.y, a.width, a.height}),
            std::vector<int>({DisplayWidth(d_, DefaultScreen(d_)) - 123 - 7, 9, 123, 45}));
  Atom type = 0;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  XGetWindowProperty(d_, own, XInternAtom(d_, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL,
                     &type, &format, &items, &after, &data);
  EXPECT_TRUE(items == 1 && *reinterpret_cast<unsigned long*>(data) == static_cast<unsigned>(hack));
  XFree(data);
  XTextProperty machine{};
  EXPECT_NE(XGetWMClientMachine(d_, own, &machine), 0);
  XFree(machine.value);
  XSizeHints hints{};
  long supplied = 0;
  ASSERT_NE(XGetWMNormalHints(d_, own, &hints, &supplied), 0);
  EXPECT_EQ(hints.flags & (PMinSize | USPosition | USSize), PMinSize | USPosition | USSize);
  EXPECT_TRUE(hints.min_width == 1 && hints.min_height == 1);
  kill(hack, SIGTERM);
  EXPECT_EQ(ExitStatus(hack), 128 + SIGTERM);
  EXPECT_EQ(SegmentsOf(hack), 0);
  EXPECT_EQ(ReadFile(Errors), "");
}

}  // namespace
