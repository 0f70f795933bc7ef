// The real program on a virtual display: its pixels are zoomshot's colours,
// it follows a resize, and it ends cleanly on SIGTERM or when its window goes.

// gtest before Xlib, whose macros (None, Bool) clash with its names.
// clang-format off
#include <gtest/gtest.h>
// clang-format on
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "renderer/pixel_format.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Polls cond every 20 ms for up to 20 s.
template <typename Cond>
bool WaitFor(Cond cond) {
  for (const auto end = Clock::now() + std::chrono::seconds(20); Clock::now() < end;) {
    if (cond()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return cond();
}

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// Starts a program with stderr to a file.
pid_t Start(std::vector<std::string> args, const std::string& errors) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t io;
  posix_spawn_file_actions_init(&io);
  posix_spawn_file_actions_addopen(&io, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = -1;
  posix_spawn(&pid, argv[0], &io, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&io);
  return pid;
}

// Exit status, or -1 (and killed) when it has not ended in 20 s.
int ExitStatus(pid_t pid) {
  int status = 0;
  if (WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }))
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -1;
}

// Shared-memory segments created by the process pid.
int SegmentsOf(pid_t pid) {
  shm_info info{};
  const int last = shmctl(0, SHM_INFO, reinterpret_cast<shmid_ds*>(&info));
  int n = 0;
  for (int i = 0; i <= last; ++i) {
    shmid_ds s{};
    if (shmctl(i, SHM_STAT, &s) >= 0 && s.shm_cpid == pid) ++n;
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
    errors_ = testing::TempDir() + "vorrasin_stderr.txt";
  }
  void TearDown() override {
    if (d_ != nullptr) XCloseDisplay(d_);
  }
  pid_t StartHack() {
    return Start({VORRASIN_HACK, "-window-id", std::to_string(window_), "-clock", "5000"}, errors_);
  }
  // zoomshot's frame at that size as pixel values of the display's visual.
  std::vector<unsigned long> Expected(int w, int h) {
    const std::string raw = testing::TempDir() + "vorrasin_expected.raw";
    const std::string size = std::to_string(w) + "x" + std::to_string(h);
    EXPECT_EQ(ExitStatus(Start({VORRASIN_ZOOMSHOT, "--clock", "5000", "--size", size, "-o", raw},
                               errors_)),
              0);
    const Visual* v = DefaultVisual(d_, DefaultScreen(d_));
    const hack::PixelTable pixels =
        hack::MakePixelTable(uzoom::MakeColourTable(), {static_cast<std::uint32_t>(v->red_mask),
                                                        static_cast<std::uint32_t>(v->green_mask),
                                                        static_cast<std::uint32_t>(v->blue_mask)});
    std::vector<unsigned long> expected;
    for (const char i : ReadFile(raw)) expected.push_back(pixels[static_cast<std::uint8_t>(i)]);
    EXPECT_EQ(expected.size(), static_cast<std::size_t>(w * h));
    return expected;
  }
  // Whether the window shows exactly these pixels.
  bool Shows(const std::vector<unsigned long>& expected, int w, int h) {
    XImage* image = XGetImage(d_, window_, 0, 0, w, h, AllPlanes, ZPixmap);
    if (image == nullptr) return false;
    std::vector<unsigned long> seen;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) seen.push_back(XGetPixel(image, x, y));
    XDestroyImage(image);
    return seen == expected;
  }

  Display* d_ = XOpenDisplay(nullptr);
  Window window_ = 0;
  std::string errors_;
};

TEST_F(HackOnDisplay, DrawsZoomshotsColoursAndFollowsAResizeThenEndsOnSigterm) {
  const std::vector<unsigned long> first = Expected(203, 97), resized = Expected(150, 120);
  const pid_t hack = StartHack();
  EXPECT_TRUE(WaitFor([&] { return Shows(first, 203, 97); }));
  XResizeWindow(d_, window_, 150, 120);
  XSync(d_, False);
  EXPECT_TRUE(WaitFor([&] { return Shows(resized, 150, 120); }));
  int opcode = 0, event = 0, error = 0;
  const bool shm = XQueryExtension(d_, "MIT-SHM", &opcode, &event, &error);
  EXPECT_EQ(SegmentsOf(hack), shm ? 1 : 0);
  kill(hack, SIGTERM);
  EXPECT_EQ(ExitStatus(hack), 0);
  EXPECT_EQ(SegmentsOf(hack), 0);
}

TEST_F(HackOnDisplay, EndsQuietlyWhenItsWindowIsDestroyed) {
  const std::vector<unsigned long> first = Expected(203, 97);
  const pid_t hack = StartHack();
  ASSERT_TRUE(WaitFor([&] { return Shows(first, 203, 97); }));
  XDestroyWindow(d_, window_);
  XSync(d_, False);
  EXPECT_EQ(ExitStatus(hack), 0);
  EXPECT_EQ(ReadFile(errors_), "");
  EXPECT_EQ(SegmentsOf(hack), 0);
}

TEST_F(HackOnDisplay, RefusesAnUnknownFlagWithAUsageLine) {
  EXPECT_EQ(ExitStatus(Start({VORRASIN_HACK, "-bogus"}, errors_)), 1);
  EXPECT_NE(ReadFile(errors_).find("\nusage: "), std::string::npos) << ReadFile(errors_);
}

}  // namespace
