// Nimbrel_S: the run form. Loaded, never shown; its caption tells a later
// start that a run is under way. It starts the renderer and the music, and
// ends the program once the renderer's window has gone.
#pragma once

#include <windows.h>

#include <string>

#include "common/win32/unique_handle.h"
#include "forms/win32/form.h"
#include "music/win32/winmm_multimedia.h"
#include "shell/run_logic.h"

class Nimbrel_S : public forms::Form, private run_logic::RunHost {
 public:
  explicit Nimbrel_S(const settings::BgmSettings& bgm);

  void Form_Load(const std::string& programFolder) { session_.Form_Load(programFolder); }

 private:
  bool StartRenderer(const std::string& path) override;
  bool RendererWindowExists() override;
  bool RendererProcessRunning() override;
  std::uint32_t NowMs() override;
  void SetTimerEnabled(run_logic::Timer timer, bool on) override;
  void EndProgram() override;

  music::WinmmMultimedia winmm_;
  music::Nimbrel_BGM player_;
  run_logic::RunSession session_;
  forms::Timer mp3Timer_, cdTimer_, watchTimer_;
  UniqueHandle renderer_;
};
