// The real program on a virtual display: bad flags refused, zoomshot's colours
// pixel for pixel, a resize, a clean end on SIGTERM or when its window goes.

#include <gtest/gtest.h>
// Xlib after gtest: its macros None and Bool clash with gtest's names.
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

#include "renderer/pixel_format.h"

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
const std::string Raw = testing::TempDir() + "vorrasin_" + std::to_string(getpid()) + ".raw";

// Starts a program with its stderr in Errors (a file of this test process).
pid_t Start(std::vector<std::string> args) {
  const pid_t pid = fork();
  if (pid < 0) std::abort();  // never a pid of -1 for kill
  if (pid != 0) return pid;
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  if (std::freopen(Errors.c_str(), "w", stderr) != nullptr) execv(argv[0], argv.data());
  _exit(127);
}

// Exit status; -1 when killed by a signal or (then killed) still running after 20 s.
int ExitStatus(pid_t pid) {
  int status = 0;
  const bool ended = WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; });
  if (!ended) kill(pid, SIGKILL), waitpid(pid, &status, 0);
  return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
    std::remove(Errors.c_str());
    std::remove(Raw.c_str());
  }
  pid_t StartHack() {
    return Start({VORRASIN_HACK, "-window-id", std::to_string(window_), "-clock", "5000"});
  }
  // Whether the window shows zoomshot's frame of that size, pixel for pixel.
  bool Shows(int w, int h) {
    const std::string size = std::to_string(w) + "x" + std::to_string(h);
    if (ExitStatus(Start({VORRASIN_ZOOMSHOT, "--clock", "5000", "--size", size, "-o", Raw})) != 0)
      return false;
    const Visual* v = DefaultVisual(d_, DefaultScreen(d_));
    const hack::PixelTable pixels =
        hack::MakePixelTable(uzoom::MakeColourTable(), {static_cast<std::uint32_t>(v->red_mask),
                                                        static_cast<std::uint32_t>(v->green_mask),
                                                        static_cast<std::uint32_t>(v->blue_mask)});
    std::vector<unsigned long> expected, seen;
    for (const char i : ReadFile(Raw)) expected.push_back(pixels[static_cast<std::uint8_t>(i)]);
    XImage* image = XGetImage(d_, window_, 0, 0, w, h, AllPlanes, ZPixmap);
    for (int y = 0; image != nullptr && y < h; ++y)
      for (int x = 0; x < w; ++x) seen.push_back(XGetPixel(image, x, y));
    if (image != nullptr) XDestroyImage(image);
    return seen.size() == static_cast<std::size_t>(w * h) && seen == expected;
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
  EXPECT_EQ(ExitStatus(hack), 0);
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

}  // namespace
