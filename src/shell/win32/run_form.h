// Nimbrel_S: the run form. Loaded, never shown; its caption tells a later
// start that a run is under way. It starts the renderer and the music, and
// ends the program once the renderer's window has gone, the renderer has
// been given up on, or the form is asked to close.
#pragma once

#include <windows.h>

#include <string>

#include "common/win32/unique_handle.h"
#include "forms/win32/form.h"
#include "music/device_thread.h"
#include "music/win32/winmm_multimedia.h"
#include "shell/run_logic.h"

// The cursor hidden for a run in mode "S", shown again at the end of the run
// or, at the latest, with this object.
class HiddenCursor {
 public:
  explicit HiddenCursor(bool hide) : hidden_(hide) {
    if (hidden_) ShowCursor(FALSE);
  }
  HiddenCursor(const HiddenCursor&) = delete;
  HiddenCursor& operator=(const HiddenCursor&) = delete;
  ~HiddenCursor() { Restore(); }
  void Restore() {
    if (hidden_) ShowCursor(TRUE);
    hidden_ = false;
  }

 private:
  bool hidden_;
};

class Nimbrel_S : public forms::Form, private run_logic::RunHost {
 public:
  Nimbrel_S(const music::BgmSettings& bgm, bool hideCursor);

  void Form_Load(const std::string& programFolder) { session_.Form_Load(programFolder); }

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

  HiddenCursor cursor_;
  music::WinmmMultimedia winmm_;
  // Every music call, the stop at the end included, on the thread that opened the device.
  music::DeviceThread deviceThread_{winmm_};
  music::Nimbrel_BGM player_;
  run_logic::RunSession session_;
  forms::Timer mp3Timer_, cdTimer_, watchTimer_;
  UniqueHandle renderer_;
  DWORD startError_ = 0;
};
