#include "support/win32/desktop.h"

#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <utility>

namespace support::desktop {

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, n).substr(0, std::string(path, n).find_last_of("\\/") + 1);
}

Process::Process(Process&& o) noexcept : info_(std::exchange(o.info_, {})) {}

// The program held before goes with o (a temporary, as the tests assign).
Process& Process::operator=(Process&& o) noexcept {
  std::swap(info_, o.info_);
  return *this;
}

Process::~Process() {
  if (info_.hProcess != nullptr) {
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info_.hProcess, 99);
      WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
}

Process Process::Start(const std::string& path, const std::string& args) {
  Process p;
  std::string line = "\"" + path + "\"" + (args.empty() ? "" : " " + args);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  if (!CreateProcessA(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &p.info_))
    p.info_ = {};
  return p;
}

bool Process::WaitExit(DWORD ms, DWORD* exitCode) {
  if (WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return false;
  if (exitCode != nullptr) GetExitCodeProcess(info_.hProcess, exitCode);
  return true;
}

::testing::AssertionResult EndsCleanly(Process& process, DWORD ms) {
  DWORD code = 0;
  if (!PumpUntil([&] { return process.WaitExit(0, &code); }, ms))
    return ::testing::AssertionFailure() << "still running after " << ms << " ms";
  if (code != 0) return ::testing::AssertionFailure() << "ended with status " << code;
  return ::testing::AssertionSuccess();
}

HWND WaitForWindow(const char* title, DWORD ms, const char* className) {
  HWND w = nullptr;
  PumpUntil([&] { return (w = FindWindowA(className, title)) != nullptr; }, ms);
  return w;
}

bool WaitForNoWindow(const char* title, DWORD ms) {
  return PumpUntil([&] { return FindWindowA(nullptr, title) == nullptr; }, ms);
}

Window MakeWindow(const char* title, int width, int height, bool visible) {
  return {CreateWindowExA(0, "STATIC", title, WS_POPUP | (visible ? WS_VISIBLE : 0), 120, 90, width,
                          height, nullptr, nullptr, nullptr, nullptr),
          DestroyWindow};
}

std::string HandleText(HWND window) {
  return std::to_string(static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
}

void PressKey(WORD vk) {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[0].ki.wScan = in[1].ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

void Activate(HWND window) {
  SetForegroundWindow(window);
  SetActiveWindow(window);
  Sleep(100);
}

void PressKeyIn(HWND window, WORD vk) {
  Activate(window);
  PressKey(vk);
}

void MoveMouse(int x, int y) {
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = (x * 65535 + sw / 2) / (sw - 1);
  in.mi.dy = (y * 65535 + sh / 2) / (sh - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

void MouseButton(DWORD flag) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flag;
  SendInput(1, &in, sizeof in);
}

void ClickAt(int x, int y, bool right) {
  MoveMouse(x, y);
  Sleep(50);
  MouseButton(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
  MouseButton(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

std::string ReadBytes(const std::string& path) {
  try {  // a file of a process that ends while it is read fails the read
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  } catch (const std::exception&) {
    return {};
  }
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  return static_cast<bool>(f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) &&
         static_cast<bool>(f.flush());
}

Shot TakeShot(int x, int y, int width, int height) {
  Shot s{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
  const HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ old = SelectObject(mem, bitmap);
  BitBlt(mem, 0, 0, width, height, screen, x, y, SRCCOPY);
  SelectObject(mem, old);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof bi.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  GetDIBits(mem, bitmap, 0, height, s.pixels.data(), &bi, DIB_RGB_COLORS);
  for (std::uint32_t& p : s.pixels) p &= 0xFFFFFF;
  DeleteObject(bitmap);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return s;
}

bool ScreenSaverActive() {
  char self[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
  Process probe = Process::Start(std::string(self, n), "--probe saver-get");
  DWORD code = 0xFFFFFFFF;
  EXPECT_TRUE(probe.WaitExit(20000, &code) && code <= 1) << "the probe did not answer";
  return code == 1;
}

void SetScreenSaverActive(bool on) {
  const HDC screen = GetDC(nullptr);
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, on ? 1 : 0, nullptr, 0);
  GetPixel(screen, 0, 0);
  ReleaseDC(nullptr, screen);
}

bool HandleProbe(int argc, char** argv, int* exitCode) {
  if (argc < 3 || std::strcmp(argv[1], "--probe") != 0) return false;
  if (std::strcmp(argv[2], "saver-get") == 0) {
    BOOL active = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    *exitCode = active ? 1 : 0;
  } else if (std::strcmp(argv[2], "close") == 0 && argc == 4) {  // a close request to a window
    const HWND window = FindWindowA(nullptr, argv[3]);
    *exitCode = window != nullptr && PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
  } else {
    *exitCode = 2;
  }
  return true;
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (done()) return true;
    if (GetTickCount() - start > ms) return false;
    Sleep(20);
  }
}

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

}  // namespace support::desktop

int main(int argc, char** argv) {
  int code = 0;
  if (support::desktop::HandleProbe(argc, argv, &code)) return code;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
