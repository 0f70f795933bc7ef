// Helpers for tests that drive the real programs on a (virtual) desktop the way Windows and a user
// would: start them, find their windows, press keys, look at the screen.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace support::desktop {

// Folder of the running test program, with a trailing backslash: the programs under test are built
// beside it.
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

  static Process Start(const std::string& path, const std::string& args = "");
  static Process StartBeside(const char* file, const std::string& args = "") {
    return Start(ProgramFolder() + file, args);
  }
  bool Started() const { return info_.hProcess != nullptr; }
  DWORD Id() const { return info_.dwProcessId; }
  bool WaitExit(DWORD ms, DWORD* exitCode = nullptr);
  bool Running() { return Started() && !WaitExit(0); }

 private:
  PROCESS_INFORMATION info_{};
};

// The program ends within the time with exit code 0 (a fault at exit shows as another code). This
// thread's messages are dispatched meanwhile: the program may be asking a window of the test
// something.
::testing::AssertionResult EndsCleanly(Process& process, DWORD ms);

HWND WaitForWindow(const char* title, DWORD ms, const char* className = nullptr);
bool WaitForNoWindow(const char* title, DWORD ms);

// A plain top-level window of the test, destroyed with its owner.
using Window = std::unique_ptr<HWND__, BOOL(WINAPI*)(HWND)>;
Window MakeWindow(const char* title, int width, int height, bool visible);
// The window's handle as a decimal number, as on a command line.
std::string HandleText(HWND window);

// Real input through the input queue, keys to the foreground window (PressKeyIn brings it there).
void PressKey(WORD vk);
void PressKeyIn(HWND window, WORD vk);
void Activate(HWND window);
void MoveMouse(int x, int y);
void MouseButton(DWORD flag);
void ClickAt(int x, int y, bool right = false);

// Empty when the file cannot be read; false when it cannot be written.
std::string ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::string& bytes);

// The screen's pixels as 0x00RRGGBB, rows from the top.
struct Shot {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
Shot TakeShot(int x, int y, int width, int height);

// Whether the system screen saver is on, asked from a fresh process (a process keeps the first
// value it reads). It is set as a program with windows does: under Wine such a program reads and
// writes the X server's screen-saver setting (sent with the next screen read), a console program
// only the registry's value.
bool ScreenSaverActive();
void SetScreenSaverActive(bool on);

// Handles "--probe ..." calls of the test program itself ("saver-get": the flag as the exit code;
// "close TITLE": WM_CLOSE posted to the window); returns true and sets the exit code if argv was
// such a call.
bool HandleProbe(int argc, char** argv, int* exitCode);

// Dispatches this thread's messages until done() holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD ms);
DWORD ProcessOf(HWND window);

}  // namespace support::desktop
