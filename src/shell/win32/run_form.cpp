#include "shell/win32/run_form.h"

#include <vector>

using run_logic::IntervalMs;
using run_logic::Timer;

Nimbrel_S::Nimbrel_S(const settings::BgmSettings& bgm, bool hidesCursor)
    : forms::Form(Caption),
      player_(winmm_, bgm),
      session_(*this, player_, bgm, hidesCursor),
      timer1_(*this, IntervalMs(Timer::Mp3), [this] { session_.Timer1_Timer(); }),
      timer2_(*this, IntervalMs(Timer::Cd), [this] { session_.Timer2_Timer(); }),
      timer3_(*this, IntervalMs(Timer::Watch), [this] { session_.Timer3_Timer(); }) {}

Nimbrel_S::~Nimbrel_S() {
  if (renderer_ != nullptr) CloseHandle(renderer_);
}

bool Nimbrel_S::StartRenderer(const std::string& path) {
  // Quoted, so that a folder with spaces is one argument; nothing after it.
  const std::string quoted = "\"" + path + "\"";
  std::vector<char> line(quoted.begin(), quoted.end());
  line.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return false;
  CloseHandle(pi.hThread);
  renderer_ = pi.hProcess;
  return true;
}

bool Nimbrel_S::RendererWindowExists() {
  return FindWindowA(nullptr, run_logic::RendererTitle) != nullptr;
}

bool Nimbrel_S::RendererProcessRunning() {
  return renderer_ != nullptr && WaitForSingleObject(renderer_, 0) == WAIT_TIMEOUT;
}

std::uint32_t Nimbrel_S::NowMs() { return GetTickCount(); }

void Nimbrel_S::SetTimerEnabled(Timer timer, bool on) {
  switch (timer) {
    case Timer::Mp3:
      timer1_.SetEnabled(on);
      break;
    case Timer::Cd:
      timer2_.SetEnabled(on);
      break;
    case Timer::Watch:
      timer3_.SetEnabled(on);
      break;
  }
}

void Nimbrel_S::ShowCursorAgain() { ShowCursor(TRUE); }

void Nimbrel_S::EndProgram() { ExitProcess(0); }
