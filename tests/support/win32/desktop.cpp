#include "support/win32/desktop.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>

namespace support::desktop {

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of("\\/") + 1);
}

Process::Process(Process&& o) noexcept : info_(o.info_) { o.info_ = {}; }

Process& Process::operator=(Process&& o) noexcept {
  if (this != &o) {
    Process old(std::move(*this));
    info_ = o.info_;
    o.info_ = {};
  }
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
  std::string cmd = "\"" + path + "\"";
  if (!args.empty()) cmd += " " + args;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  std::vector<char> line(cmd.begin(), cmd.end());
  line.push_back('\0');
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

HWND WaitForWindow(const char* title, DWORD ms, const char* className) {
  HWND w = nullptr;
  PumpUntil([&] { return (w = FindWindowA(className, title)) != nullptr; }, ms);
  return w;
}

bool WaitForNoWindow(const char* title, DWORD ms) {
  return PumpUntil([&] { return FindWindowA(nullptr, title) == nullptr; }, ms);
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
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  return static_cast<bool>(f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) &&
         static_cast<bool>(f.flush());
}

Shot TakeShot(int x, int y, int width, int height) {
  Shot s;
  s.width = width;
  s.height = height;
  s.pixels.resize(static_cast<std::size_t>(width) * height);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, width, height, screen, x, y, SRCCOPY);
  GdiFlush();
  const auto* p = static_cast<const std::uint32_t*>(bits);
  for (std::size_t i = 0; i < s.pixels.size(); ++i) s.pixels[i] = p[i] & 0xFFFFFF;
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return s;
}

namespace {
DWORD RunProbe(const char* args) {
  char self[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
  Process p = Process::Start(std::string(self, n), args);
  DWORD code = 0xFFFFFFFF;
  if (!p.WaitExit(20000, &code)) return 0xFFFFFFFF;
  return code;
}
}  // namespace

bool ScreenSaverActive() {
  const DWORD code = RunProbe("--probe saver-get");
  EXPECT_LE(code, 1u) << "the probe did not answer";
  return code == 1;
}

void SetScreenSaverActive(bool on) {
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, on ? 1 : 0, nullptr, 0);
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
