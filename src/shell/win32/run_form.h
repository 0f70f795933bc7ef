// The run form: loaded, never shown; its caption tells a later
// start that a run is under way. It starts the renderer and the music, and
// ends the program once the renderer's window has gone, the renderer has
// been given up on, or the form is asked to close.
#pragma once

#include <windows.h>

#include <string>

#include "common/win32/hidden_cursor.h"
#include "common/win32/unique_handle.h"
#include "forms/win32/form.h"
#include "music/device_thread.h"
#include "music/win32/winmm_multimedia.h"
#include "shell/run_logic.h"

namespace shell {

class RunForm : public forms::Form, private run_logic::RunHost {
 public:
  // hideCursor: the cursor is hidden until the run ends (mode "S").
  RunForm(const music::BgmSettings& bgm, bool hideCursor);

  void Start(const std::string& programFolder) { session_.Start(programFolder); }

 private:
  bool ScreenSaverActive() override;
  void SetScreenSaverActive(bool on) override;
  bool StartRenderer(const std::string& path) override;
  void ReportStartFailure(const std::string& path) override;
  bool RendererWindowExists() override;
  bool RendererProcessRunning() override;
  void CloseRendererWindow() override;
  bool WaitRendererExit(std::uint32_t ms) override;
  void TerminateRenderer() override;
  bool RunBounded(const std::function<void()>& work, std::uint32_t ms) override;
  std::uint32_t NowMs() override;
  void SetTimerEnabled(run_logic::Timer timer, bool on) override;
  void RestoreCursor() override;
  void EndProgram(bool hard) override;

  common::HiddenCursor cursor_;
  music::WinmmMultimedia winmm_;
  // Every music call, the stop at the end included, on the thread that opened the device.
  music::DeviceThread deviceThread_{winmm_};
  music::MusicPlayer player_;
  run_logic::RunSession session_;
  forms::Timer mp3Timer_, cdTimer_, watchTimer_;
  common::UniqueHandle renderer_;
  DWORD startError_ = 0;
};

}  // namespace shell
