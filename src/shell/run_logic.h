// The decisions of a screen-saver run: which music starts, which timers run,
// when the renderer is taken to have ended, and what the end undoes. The run
// form (Nimbrel_S) carries them out with real timers, processes and windows.
#pragma once

#include <cstdint>
#include <string>

#include "common/contract.h"
#include "music/music_player.h"
#include "shell/settings.h"

namespace run_logic {

using contract::RendererTitle;

enum class Timer { Mp3 = 1, Cd = 2, Watch = 3 };
inline constexpr std::uint32_t IntervalMs(Timer t) {
  return t == Timer::Mp3 ? 1000 : t == Timer::Cd ? 200 : 50;
}

// Until the renderer's window has been seen once, a run whose renderer
// process is still alive waits this long for it before giving up.
inline constexpr std::uint32_t StartGraceMs = 30000;

// What the run needs from the system.
class RunHost {
 public:
  virtual ~RunHost() = default;
  // Starts the program as a separate process, without arguments; false when
  // it could not be started.
  virtual bool StartRenderer(const std::string& path) = 0;
  virtual bool RendererWindowExists() = 0;
  virtual bool RendererProcessRunning() = 0;
  virtual std::uint32_t NowMs() = 0;
  virtual void SetTimerEnabled(Timer timer, bool on) = 0;
  // Undoes the hiding of the cursor at the start of the run.
  virtual void ShowCursorAgain() = 0;
  // Ends the program at once.
  virtual void EndProgram() = 0;
};

class RunSession {
 public:
  RunSession(RunHost& host, music::Nimbrel_BGM& player, const settings::BgmSettings& bgm,
             bool hidesCursor)
      : host_(host), player_(player), bgm_(bgm), hidesCursor_(hidesCursor) {}

  // The form's load: starts the renderer, then the music.
  void Form_Load(const std::string& programFolder);
  void Timer1_Timer();
  void Timer2_Timer();
  void Timer3_Timer();
  // Stops the music, gives the cursor back and ends the program.
  void Form_QueryUnload();

  bool TimerEnabled(Timer t) const { return enabled_[static_cast<int>(t)]; }

 private:
  void Enable(Timer t, bool on);
  settings::SoundKind FileKind() const;

  RunHost& host_;
  music::Nimbrel_BGM& player_;
  const settings::BgmSettings& bgm_;
  const bool hidesCursor_;
  bool enabled_[4] = {};
  bool rendererSeen_ = false;
  std::uint32_t startedAt_ = 0;
};

}  // namespace run_logic
