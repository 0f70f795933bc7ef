#include "shell/win32/run_form.h"

#include <vector>

#include "common/contract.h"

using run_logic::IntervalMs;
using run_logic::Timer;

Nimbrel_S::Nimbrel_S(const settings::BgmSettings& bgm)
    : forms::Form(contract::RunFormCaption),
      player_(winmm_, bgm),
      session_(*this, player_, bgm),
      mp3Timer_(*this, IntervalMs(Timer::Mp3), [this] { session_.KeepMp3Playing(); }),
      cdTimer_(*this, IntervalMs(Timer::Cd), [this] { session_.PollCd(); }),
      watchTimer_(*this, IntervalMs(Timer::Watch), [this] { session_.WatchRenderer(); }) {}

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
  const UniqueHandle thread(pi.hThread);
  renderer_ = UniqueHandle(pi.hProcess);
  return true;
}

bool Nimbrel_S::RendererWindowExists() {
  return FindWindowA(nullptr, contract::RendererTitle) != nullptr;
}

bool Nimbrel_S::RendererProcessRunning() {
  return renderer_ && WaitForSingleObject(renderer_.get(), 0) == WAIT_TIMEOUT;
}

std::uint32_t Nimbrel_S::NowMs() { return GetTickCount(); }

void Nimbrel_S::SetTimerEnabled(Timer timer, bool on) {
  switch (timer) {
    case Timer::Mp3:
      mp3Timer_.SetEnabled(on);
      break;
    case Timer::Cd:
      cdTimer_.SetEnabled(on);
      break;
    case Timer::Watch:
      watchTimer_.SetEnabled(on);
      break;
  }
}

// The form goes, and with the last form the message loop ends.
void Nimbrel_S::EndProgram() { Unload(); }
