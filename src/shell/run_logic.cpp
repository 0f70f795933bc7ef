#include "shell/run_logic.h"

#include "shell/install_folder.h"

namespace shell::run_logic {

using settings::SoundKind;

std::uint32_t StartGraceFrom(const char* testValue) {
  if (testValue == nullptr || *testValue == '\0') return StartGraceMs;
  std::uint32_t ms = 0;
  int digits = 0;
  for (const char* p = testValue; *p != '\0'; ++p, ++digits) {
    if (*p < '0' || *p > '9' || digits == 9) return StartGraceMs;
    ms = ms * 10 + static_cast<std::uint32_t>(*p - '0');
  }
  return ms;
}

void RunSession::Enable(Timer t, bool on) {
  enabled_[static_cast<std::size_t>(t)] = on;
  host_.SetTimerEnabled(t, on);
}

SoundKind RunSession::FileKind() const {
  return bgm_.BgmMode == music::ModeFile ? settings::SoundKindOf(bgm_.BgmFile) : SoundKind::None;
}

void RunSession::Start(const std::string& programFolder) {
  // A renderer already covers the screen (one started by hand, or the last
  // of a run that is ending): this start adds nothing, no second renderer and
  // no music, and leaves the flag to the one that switched it off.
  if (host_.RendererWindowExists()) {
    ending_ = true;
    host_.RestoreCursor();
    host_.EndProgram(false);
    return;
  }
  // Kept before the renderer switches it off, for whatever way the run ends.
  flagBefore_ = host_.ScreenSaverActive();
  startedAt_ = host_.NowMs();
  const std::string path = install_folder::RendererPath(programFolder);
  if (!host_.StartRenderer(path)) {
    ending_ = true;
    host_.RestoreCursor();
    host_.ReportStartFailure(path);
    host_.EndProgram(false);
    return;
  }
  Enable(Timer::Watch, true);
  if (bgm_.BgmMode == music::ModeCd) {
    player_.OpenCd();
    Enable(Timer::Cd, true);
  }
  switch (FileKind()) {
    case SoundKind::Wave:
      player_.PlayWave();
      break;
    case SoundKind::Mp3:
      player_.PlayMp3();
      Enable(Timer::Mp3, true);
      break;
    case SoundKind::None:
      break;
  }
}

void RunSession::KeepMp3Playing() { player_.CheckMp3(); }

void RunSession::PollCd() {
  player_.CheckCd();
  Enable(Timer::Cd, player_.CdPollFlag());
}

void RunSession::WatchRenderer() {
  // The run lasts as long as the renderer it started: a window of the same
  // title that another process keeps does not hold it.
  const bool running = host_.RendererProcessRunning();
  if (running && host_.RendererWindowExists()) {
    rendererSeen_ = true;
    return;
  }
  // A renderer that is still starting has not opened its window yet; one
  // that has not opened it within the grace time is given up on.
  if (!rendererSeen_ && running) {
    if (host_.NowMs() - startedAt_ < startGraceMs_) return;
    givenUp_ = true;
  }
  Enable(Timer::Watch, false);
  End();
}

void RunSession::End() {
  if (ending_) return;
  ending_ = true;
  // Timers belong to this thread: switched off here, before the music stops
  // elsewhere. When the CD polls have stopped themselves, the CD stays as is.
  const bool cdPolled = TimerEnabled(Timer::Cd);
  if (cdPolled) Enable(Timer::Cd, false);
  if (host_.RendererProcessRunning() && host_.RendererWindowExists()) host_.CloseRendererWindow();
  // Stopping may never return on a sound device that has gone away.
  const bool musicStopped = host_.RunBounded(
      [this, cdPolled] {
        if (cdPolled) player_.CloseCd();
        switch (FileKind()) {
          case SoundKind::Wave:
            player_.StopWave();
            break;
          case SoundKind::Mp3:
            player_.CloseMp3();
            break;
          case SoundKind::None:
            break;
        }
      },
      EndWaitMs);
  if (givenUp_ || !host_.WaitRendererExit(EndWaitMs)) host_.TerminateRenderer();
  // After the renderer has gone, so that nothing it does later undoes it.
  host_.SetScreenSaverActive(flagBefore_);
  host_.RestoreCursor();
  host_.EndProgram(!musicStopped);
}

}  // namespace shell::run_logic
