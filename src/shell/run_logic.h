// The decisions of a screen-saver run: which music starts, which timers run,
// when the renderer is taken to have ended, and what the end undoes. The run
// form (Nimbrel_S) carries them out with real timers, processes and windows.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "music/music_player.h"
#include "shell/settings.h"

namespace run_logic {

enum class Timer { Mp3, Cd, Watch };
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
  // Ends the program; no tick comes after this.
  virtual void EndProgram() = 0;
};

class RunSession {
 public:
  RunSession(RunHost& host, music::Nimbrel_BGM& player, const settings::BgmSettings& bgm)
      : host_(host), player_(player), bgm_(bgm) {}

  // The form's load: starts the renderer, then the music.
  void Form_Load(const std::string& programFolder);
  // The ticks of the three timers.
  void KeepMp3Playing();
  void PollCd();
  void WatchRenderer();
  // Stops the music and ends the program.
  void Form_QueryUnload();

  bool TimerEnabled(Timer t) const { return enabled_[static_cast<std::size_t>(t)]; }

 private:
  void Enable(Timer t, bool on);
  settings::SoundKind FileKind() const;

  RunHost& host_;
  music::Nimbrel_BGM& player_;
  const settings::BgmSettings& bgm_;
  std::array<bool, 3> enabled_{};
  bool rendererSeen_ = false;
  std::uint32_t startedAt_ = 0;
};

}  // namespace run_logic
