// The decisions of a screen-saver run: which music starts, which timers run,
// when the renderer is taken to have ended or is given up on, and what the
// end undoes. The run form (shell/win32/run_form.h) carries them out with real timers,
// processes and windows.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "music/music_player.h"
#include "shell/settings.h"

namespace shell::run_logic {

enum class Timer { Mp3, Cd, Watch };
inline constexpr std::uint32_t IntervalMs(Timer t) {
  return t == Timer::Mp3 ? 1000 : t == Timer::Cd ? 200 : 50;
}

// Until the renderer's window has been seen once, a run whose renderer
// process is still alive waits this long for it before giving up.
inline constexpr std::uint32_t StartGraceMs = 30000;
// How long the end of a run waits for the music to stop, and for a renderer
// asked to close to end, before it goes on without them.
inline constexpr std::uint32_t EndWaitMs = 2000;

// The start grace a run uses: StartGraceMs, or the plain decimal number of
// milliseconds given in the test-only variable VORRASIN_TEST_RENDERER_WAIT_MS
// (null when unset; anything but 1 to 9 digits is ignored).
std::uint32_t StartGraceFrom(const char* testValue);

// What the run needs from the system.
class RunHost {
 public:
  virtual ~RunHost() = default;
  // The system screen-saver flag.
  virtual bool ScreenSaverActive() = 0;
  virtual void SetScreenSaverActive(bool on) = 0;
  // Starts the program as a separate process, without arguments, and lets it
  // take the foreground; false when it could not be started.
  virtual bool StartRenderer(const std::string& path) = 0;
  // Tells the user the renderer could not be started, and why.
  virtual void ReportStartFailure(const std::string& path) = 0;
  // Whether a window with the renderer's title exists, whoever shows it.
  virtual bool RendererWindowExists() = 0;
  virtual bool RendererProcessRunning() = 0;
  // Asks the window of the renderer this run started to close.
  virtual void CloseRendererWindow() = 0;
  // True once the renderer's process has ended (or there is none) within ms.
  virtual bool WaitRendererExit(std::uint32_t ms) = 0;
  virtual void TerminateRenderer() = 0;
  // Runs work on another thread; true when it returned within ms. When it
  // did not, it may still be running.
  virtual bool RunBounded(const std::function<void()>& work, std::uint32_t ms) = 0;
  virtual std::uint32_t NowMs() = 0;
  virtual void SetTimerEnabled(Timer timer, bool on) = 0;
  // Shows the cursor again if the run hid it.
  virtual void RestoreCursor() = 0;
  // Ends the program; no tick comes after this. hard: at once, even with a
  // thread still stuck in a stop call.
  virtual void EndProgram(bool hard) = 0;
};

class RunSession {
 public:
  RunSession(RunHost& host, music::MusicPlayer& player, const music::BgmSettings& bgm,
             std::uint32_t startGraceMs = StartGraceMs)
      : host_(host), player_(player), bgm_(bgm), startGraceMs_(startGraceMs) {}

  // The run's start: keeps the screen-saver flag, starts the renderer, then
  // the music. A renderer that cannot be started is reported and ends the run;
  // a renderer window already there ends it at once, with nothing started.
  void Start(const std::string& programFolder);
  // The ticks of the three timers. The watch ends the run once the renderer's
  // window has gone or its process has ended.
  void KeepMp3Playing();
  void PollCd();
  void WatchRenderer();
  // The end of a run, however it comes (the renderer gone or given up on, a
  // close request to the run form): the renderer closed, the music stopped,
  // the flag and the cursor restored, then the program ends. Runs once.
  void End();

  bool TimerEnabled(Timer t) const { return enabled_[static_cast<std::size_t>(t)]; }

 private:
  void Enable(Timer t, bool on);
  settings::SoundKind FileKind() const;
  void StopMusic();

  RunHost& host_;
  music::MusicPlayer& player_;
  const music::BgmSettings& bgm_;
  const std::uint32_t startGraceMs_;
  std::array<bool, 3> enabled_{};
  bool rendererSeen_ = false;
  bool givenUp_ = false;
  bool ending_ = false;
  bool flagBefore_ = true;
  std::uint32_t startedAt_ = 0;
};

}  // namespace shell::run_logic
