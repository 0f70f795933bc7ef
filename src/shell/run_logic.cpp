#include "shell/run_logic.h"

#include "common/contract.h"

namespace run_logic {

using settings::SoundKind;

void RunSession::Enable(Timer t, bool on) {
  enabled_[static_cast<std::size_t>(t)] = on;
  host_.SetTimerEnabled(t, on);
}

SoundKind RunSession::FileKind() const {
  return bgm_.BgmMode == settings::ModeFile ? settings::SoundKindOf(bgm_.BgmFile) : SoundKind::None;
}

void RunSession::Form_Load(const std::string& programFolder) {
  Enable(Timer::Watch, true);
  startedAt_ = host_.NowMs();
  host_.StartRenderer(programFolder + "\\" + contract::RendererFile);
  if (bgm_.BgmMode == settings::ModeCd) {
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
  if (host_.RendererWindowExists()) {
    rendererSeen_ = true;
    return;
  }
  // A renderer that is still starting has not opened its window yet.
  if (!rendererSeen_ && host_.NowMs() - startedAt_ < StartGraceMs && host_.RendererProcessRunning())
    return;
  Enable(Timer::Watch, false);
  Form_QueryUnload();
}

void RunSession::Form_QueryUnload() {
  if (TimerEnabled(Timer::Cd)) {
    Enable(Timer::Cd, false);
    player_.CloseCd();
  }
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
  host_.EndProgram();
}

}  // namespace run_logic
