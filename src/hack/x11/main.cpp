// vorrasin: the renderer's picture as an X11 screen-saver hack. The loop here
// owns pacing and events; ZoomHack draws.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "hack/hack_options.h"
#include "hack/x11/x_resources.h"
#include "hack/x11/zoom_hack.h"

namespace {

using hack::x11::TargetWindow;
using Steady = std::chrono::steady_clock;

constexpr int ExitDone = 0;
constexpr int ExitFailed = 1;

// SIGTERM and SIGINT arrive as readable data on a descriptor instead of
// interrupting the program, so the loop ends them between two frames. The
// signal mask is restored on the way out.
class StopSignals {
 public:
  StopSignals() {
    sigemptyset(&set_);
    sigaddset(&set_, SIGTERM);
    sigaddset(&set_, SIGINT);
    sigprocmask(SIG_BLOCK, &set_, &previous_);
    fd_ = signalfd(-1, &set_, SFD_CLOEXEC | SFD_NONBLOCK);
  }
  ~StopSignals() {
    // A signal that ended the loop is taken here, so that unblocking does
    // not deliver it again.
    signalfd_siginfo taken{};
    while (fd_ >= 0 && read(fd_, &taken, sizeof taken) == sizeof taken) {
    }
    if (fd_ >= 0) close(fd_);
    sigprocmask(SIG_SETMASK, &previous_, nullptr);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;
  bool Ready() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  // The signal that arrived (the descriptor was readable).
  int Take() {
    signalfd_siginfo taken{};
    return read(fd_, &taken, sizeof taken) == sizeof taken ? static_cast<int>(taken.ssi_signo)
                                                           : SIGTERM;
  }

 private:
  sigset_t set_{};
  sigset_t previous_{};
  int fd_ = -1;
};

enum class Next { Go, Stop, Fail };

// Handles every event already queued or readable.
Next HandleEvents(Display* d, TargetWindow& window, hack::x11::ZoomHack& zoom) {
  while (XPending(d) > 0) {
    XEvent e{};
    XNextEvent(d, &e);
    if (e.type == DestroyNotify && e.xdestroywindow.window == window.Id()) {
      window.MarkGone();
      return Next::Stop;
    }
    if (e.type == ConfigureNotify && e.xconfigure.window == window.Id() &&
        (e.xconfigure.width != window.Width() || e.xconfigure.height != window.Height())) {
      if (!zoom.Reshape(e.xconfigure.width, e.xconfigure.height)) return Next::Fail;
    }
    if (e.type == ClientMessage && window.Own() &&
        static_cast<Atom>(e.xclient.data.l[0]) == window.DeleteAtom())
      return Next::Stop;
    if (e.type == KeyPress) {
      const KeySym k = XLookupKeysym(&e.xkey, 0);
      if (k == XK_Escape || k == XK_q || k == XK_Q) return Next::Stop;
    }
  }
  return Next::Go;
}

// How a run ended: its exit status, or the signal that ended it.
struct Ending {
  int ExitCode = ExitDone;
  int BySignal = 0;
};

Ending Finish(Next n) { return {n == Next::Stop ? ExitDone : ExitFailed, 0}; }

// Draws until a key, the window, the daemon's signal or an error ends it; the
// window and the shared memory are given back before it returns.
Ending Run(Display* d, const hack::Options& options, StopSignals& stop) {
  hack::x11::ErrorTrap trap;
  std::unique_ptr<TargetWindow> window = TargetWindow::Open(d, options, trap);
  if (window == nullptr) return {ExitFailed, 0};
  std::unique_ptr<hack::x11::ZoomHack> zoom = hack::x11::ZoomHack::Init(d, *window, options, trap);
  if (zoom == nullptr) return {ExitFailed, 0};

  const auto delay = std::chrono::microseconds(options.DelayMicroseconds);
  Steady::time_point due = Steady::now();
  pollfd waits[2] = {{stop.Fd(), POLLIN, 0}, {ConnectionNumber(d), POLLIN, 0}};
  for (;;) {
    const Next n = HandleEvents(d, *window, *zoom);
    if (n != Next::Go) return Finish(n);
    if (poll(waits, 1, 0) > 0) return {ExitDone, stop.Take()};
    zoom->Draw();
    if (const int code = trap.TakeError(d); code != 0) {
      // The window was destroyed under us before its DestroyNotify came.
      if (hack::x11::WindowGoneError(code)) {
        window->MarkGone();
        return {};
      }
      std::fprintf(stderr, "vorrasin: X error %d while drawing\n", code);
      return {ExitFailed, 0};
    }
    // Paced from the time the frame was due, never catching up on lost time.
    due = std::max(due + delay, Steady::now());
    // Events Xlib has already read (while drawing) are handled before the
    // wait, as the connection will not be readable for them.
    for (Steady::time_point now = Steady::now(); now < due; now = Steady::now()) {
      const Next m = HandleEvents(d, *window, *zoom);
      if (m != Next::Go) return Finish(m);
      const auto wait = std::chrono::ceil<std::chrono::milliseconds>(due - now);
      if (poll(waits, 2, static_cast<int>(wait.count())) > 0 && waits[0].revents != 0)
        return {ExitDone, stop.Take()};
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const hack::ParseResult r = hack::ParseOptions(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
  if (!r.Ok) {
    std::fprintf(stderr, "vorrasin: %s\n%s\n", r.Error.c_str(), hack::UsageLine(argv[0]).c_str());
    return ExitFailed;
  }
  if (r.Parsed.Help) {
    std::fputs(hack::HelpText(argv[0]).c_str(), stdout);
    return ExitDone;
  }
  Ending ending;
  {
    StopSignals stop;
    if (!stop.Ready()) {
      std::perror("vorrasin: signalfd");
      return ExitFailed;
    }
    const char* name = r.Parsed.DisplayName.empty() ? nullptr : r.Parsed.DisplayName.c_str();
    const hack::x11::DisplayPtr display(XOpenDisplay(name));
    if (display == nullptr) {
      std::fprintf(stderr, "vorrasin: cannot open display \"%s\"\n", XDisplayName(name));
      return ExitFailed;
    }
    ending = Run(display.get(), r.Parsed, stop);
  }
  // Everything is given back and the signals unblocked: a signal that ended
  // the run now ends the process, so that the daemon sees a death by it.
  if (ending.BySignal != 0) {
    signal(ending.BySignal, SIG_DFL);
    raise(ending.BySignal);
  }
  return ending.ExitCode;
}
