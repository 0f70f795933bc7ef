#include "shell/win32/run_form.h"

#include <cstdlib>
#include <memory>
#include <vector>

#include "common/contract.h"

namespace shell {

using run_logic::IntervalMs;
using run_logic::Timer;

namespace {

// "を起動できません！" in Shift-JIS, after the renderer's path.
constexpr char CannotStart[] =
    "\x82\xf0\x8b\x4e\x93\xae\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x81\x49";

// Waits for the handle, answering messages other threads send to this one
// meanwhile (a broadcast must not stall its sender); posted messages wait.
bool WaitAnsweringSent(HANDLE handle, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD spent = GetTickCount() - start;
    const DWORD result =
        MsgWaitForMultipleObjects(1, &handle, FALSE, spent >= ms ? 0 : ms - spent, QS_SENDMESSAGE);
    if (result == WAIT_OBJECT_0) return true;
    if (result != WAIT_OBJECT_0 + 1) return false;
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

DWORD WINAPI RunJob(LPVOID job) {
  const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(job));
  (*work)();
  return 0;
}

std::wstring SystemText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring out = n != 0 ? std::wstring(text, n) : L"Error " + std::to_wstring(error);
  LocalFree(text);
  return out;
}

}  // namespace

// VORRASIN_TEST_RENDERER_WAIT_MS, for tests only, shortens the wait for the
// renderer's window (milliseconds).
RunForm::RunForm(const music::BgmSettings& bgm, bool hideCursor)
    : forms::Form(contract::RunFormCaption),
      cursor_(hideCursor),
      player_(deviceThread_, bgm),
      session_(*this, player_, bgm,
               run_logic::StartGraceFrom(std::getenv("VORRASIN_TEST_RENDERER_WAIT_MS"))),
      mp3Timer_(*this, IntervalMs(Timer::Mp3), [this] { session_.KeepMp3Playing(); }),
      cdTimer_(*this, IntervalMs(Timer::Cd), [this] { session_.PollCd(); }),
      watchTimer_(*this, IntervalMs(Timer::Watch), [this] { session_.WatchRenderer(); }) {
  // A close request to the run form ends the run the same way.
  OnCloseRequest = [this] { session_.End(); };
  OnSessionEnd = [this] { session_.End(); };
}

bool RunForm::ScreenSaverActive() {
  BOOL active = TRUE;
  SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
  return active != FALSE;
}

void RunForm::SetScreenSaverActive(bool on) {
  SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, on ? TRUE : FALSE, nullptr, 0);
}

bool RunForm::StartRenderer(const std::string& path) {
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
                      &pi)) {
    startError_ = GetLastError();
    return false;
  }
  // The renderer must own the keyboard (Escape); a started screen saver may
  // not take the foreground unless its starter lets it.
  AllowSetForegroundWindow(pi.dwProcessId);
  const common::UniqueHandle thread(pi.hThread);
  renderer_ = common::UniqueHandle(pi.hProcess);
  return true;
}

void RunForm::ReportStartFailure(const std::string& path) {
  // The path in the system's code page, the words converted from Shift-JIS.
  const std::wstring text =
      forms::Widen(path, CP_ACP) + forms::Widen(CannotStart) + L"\r\n" + SystemText(startError_);
  MessageBoxW(nullptr, text.c_str(), forms::Widen(contract::ProgramTitle).c_str(), MB_OK);
}

bool RunForm::RendererWindowExists() {
  return FindWindowA(nullptr, contract::RendererTitle) != nullptr;
}

bool RunForm::RendererProcessRunning() {
  return renderer_ && WaitForSingleObject(renderer_.get(), 0) == WAIT_TIMEOUT;
}

void RunForm::CloseRendererWindow() {
  // Only this run's: another renderer's window may carry the same title.
  const DWORD own = renderer_ ? GetProcessId(renderer_.get()) : 0;
  for (HWND canvas = nullptr;
       (canvas = FindWindowExA(nullptr, canvas, nullptr, contract::RendererTitle)) != nullptr;) {
    DWORD process = 0;
    GetWindowThreadProcessId(canvas, &process);
    if (process == own && own != 0) PostMessageA(canvas, WM_CLOSE, 0, 0);
  }
}

bool RunForm::WaitRendererExit(std::uint32_t ms) {
  return !renderer_ || WaitAnsweringSent(renderer_.get(), ms);
}

void RunForm::TerminateRenderer() {
  if (!RendererProcessRunning()) return;
  TerminateProcess(renderer_.get(), 1);
  WaitForSingleObject(renderer_.get(), run_logic::EndWaitMs);
}

bool RunForm::RunBounded(const std::function<void()>& work, std::uint32_t ms) {
  auto job = std::make_unique<std::function<void()>>(work);
  const common::UniqueHandle thread(CreateThread(nullptr, 0, RunJob, job.get(), 0, nullptr));
  if (!thread) {
    work();
    return true;
  }
  job.release();  // the thread owns it now
  return WaitAnsweringSent(thread.get(), ms);
}

std::uint32_t RunForm::NowMs() { return GetTickCount(); }

void RunForm::SetTimerEnabled(Timer timer, bool on) {
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

void RunForm::RestoreCursor() { cursor_.Restore(); }

void RunForm::EndProgram(bool hard) {
  // A thread stuck in a stop call would keep the process from ending.
  if (hard) TerminateProcess(GetCurrentProcess(), 0);
  // The form goes, and with the last form the message loop ends.
  Unload();
}

}  // namespace shell
