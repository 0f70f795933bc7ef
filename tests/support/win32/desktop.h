// Helpers for tests that drive the real programs on a (virtual) desktop the
// way Windows and a user would: start them, find their windows, press keys,
// look at the screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace support::desktop {

// Folder of the running test program, with a trailing backslash: the
// programs under test are built beside it.
std::string ProgramFolder();

// A started program; ends it (hard) if the test forgot to.
class Process {
 public:
  Process() = default;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  Process(Process&& o) noexcept;
  Process& operator=(Process&& o) noexcept;
  ~Process();

  // Starts path (quoted on the command line) with the given arguments.
  static Process Start(const std::string& path, const std::string& args = "");
  bool Started() const { return info_.hProcess != nullptr; }
  DWORD Id() const { return info_.dwProcessId; }
  // True and the exit code once it has ended within the time.
  bool WaitExit(DWORD ms, DWORD* exitCode = nullptr);
  bool Running() { return Started() && !WaitExit(0); }

 private:
  PROCESS_INFORMATION info_{};
};

// Polls for a top-level window with this title (and class, if given).
HWND WaitForWindow(const char* title, DWORD ms, const char* className = nullptr);
// Polls until no window with this title is left.
bool WaitForNoWindow(const char* title, DWORD ms);

// A real key press and release through the input queue, to the foreground.
void PressKey(WORD vk);
// Brings the window to the foreground so that it gets the keyboard.
void Activate(HWND window);
// A real mouse move to screen coordinates.
void MoveMouse(int x, int y);
// A real mouse-button event: MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, ...
void MouseButton(DWORD flag);
// A real mouse move and click at screen coordinates.
void ClickAt(int x, int y, bool right = false);

// A whole file's bytes; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
// Replaces a file's bytes; false when it cannot be written.
bool WriteBytes(const std::string& path, const std::string& bytes);

// The screen's pixels as 0x00RRGGBB, rows from the top.
struct Shot {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
Shot TakeShot(int x, int y, int width, int height);

// Whether the system screen saver is on, asked from a fresh process (a
// process keeps the first value it reads).
bool ScreenSaverActive();
void SetScreenSaverActive(bool on);

// Handles "--probe ..." calls of the test program itself ("saver-get": the
// flag as the exit code; "close TITLE": WM_CLOSE posted to the window); returns
// true and sets the exit code if argv was such a call.
bool HandleProbe(int argc, char** argv, int* exitCode);

// Dispatches this thread's messages (a window of the test may be asked
// things by the program under test) until done() holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD ms);
// The process that owns the window.
DWORD ProcessOf(HWND window);

}  // namespace support::desktop
