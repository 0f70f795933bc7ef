// The real shell (Vorrasin.scr) on a desktop: its settings file through the
// system's profile calls, a run from start to Escape, the starts that end at
// once, the missing-renderer message and the preview inside a pane.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/contract.h"
#include "shell/settings.h"
#include "shell/win32/profile_store.h"
#include "support/win32/desktop.h"

namespace {

using contract::RendererTitle;

// Pumps this thread's messages (a pane of ours may be asked things) until
// the condition holds or the time is up.
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

// A folder with spaces in its name holding a copy of the shell, and of the
// renderer if asked; removed with everything in it.
class Install {
 public:
  explicit Install(bool withRenderer) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static int count = 0;
    folder_ = std::string(temp) + "Vorrasin e2e " + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(++count);
    CreateDirectoryA(folder_.c_str(), nullptr);
    CopyFileA((desktop::ProgramFolder() + contract::ShellFile).c_str(),
              Path(contract::ShellFile).c_str(), FALSE);
    if (withRenderer)
      CopyFileA((desktop::ProgramFolder() + contract::RendererFile).c_str(),
                Path(contract::RendererFile).c_str(), FALSE);
  }
  ~Install() {
    for (const char* name : {contract::ShellFile, contract::RendererFile, contract::IniFile})
      DeleteFileA(Path(name).c_str());
    RemoveDirectoryA(folder_.c_str());
  }
  const std::string& Folder() const { return folder_; }
  std::string Path(const char* name) const { return folder_ + "\\" + name; }
  desktop::Process Start(const std::string& args) {
    return desktop::Process::Start(Path(contract::ShellFile), args);
  }

 private:
  std::string folder_;
};

// A plain top-level window of this test.
class TestWindow {
 public:
  TestWindow(const char* title, int width, int height, bool visible) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "ShellE2ePane";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, wc.lpszClassName, title, WS_POPUP | WS_CLIPCHILDREN, 120, 90,
                              width, height, nullptr, nullptr, wc.hInstance, nullptr);
    if (visible) ShowWindow(window_, SW_SHOWNORMAL);
  }
  ~TestWindow() { Destroy(); }
  HWND Handle() const { return window_; }
  void Destroy() {
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
  }
  std::string HandleText() const {
    return std::to_string(static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window_)));
  }

 private:
  HWND window_ = nullptr;
};

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

// Written and read back through the real profile calls, keys in Shift-JIS;
// a folder is no sound file; a value reads back as at most 255 bytes.
TEST(ShellSettings, ProfileCallsWithShiftJisKeys) {
  Install in(true);
  win32_profile::Win32ProfileStore store;
  const std::string dll = in.Path(contract::RendererFile), ini = in.Path(contract::IniFile);
  settings::SaveSettings(store, in.Folder(), {2, -12, dll});
  EXPECT_EQ(desktop::ReadBytes(ini),
            "[Section]\r\nBGM\x8b\xe6\x95\xaa=2\r\nBGM\xd8\xcb\xdf\xb0\xc4=-12\r\n"
            "BGM\xcc\xa7\xb2\xd9=" +
                dll + "\r\n");
  settings::BgmSettings s;
  settings::LoadSettings(store, in.Folder(), s);
  EXPECT_EQ(s.BgmMode, 2);
  EXPECT_EQ(s.BgmRepeat, -12);
  EXPECT_EQ(s.BgmFile, dll);
  settings::SaveSettings(store, in.Folder(), {2, 0, in.Folder() + "\\"});
  settings::LoadSettings(store, in.Folder(), s);
  EXPECT_EQ(s.BgmMode, 0);
  EXPECT_EQ(s.BgmFile, "");
  settings::SaveSettings(store, in.Folder(), {2, 0, std::string(300, 'q')});
  EXPECT_EQ(settings::ReadIni(store, contract::IniSection, contract::KeyFile, ini),
            std::string(255, 'q'));
}

class ShellRun : public ::testing::TestWithParam<const char*> {};

TEST_P(ShellRun, EscapeInTheRendererEndsBothProcesses) {
  ASSERT_TRUE(desktop::WaitForNoWindow(RendererTitle, 5000))
      << "a renderer from before is still up";
  Install in(true);
  desktop::Process shell = in.Start(GetParam());
  const HWND canvas = desktop::WaitForWindow(RendererTitle, 30000);
  ASSERT_NE(canvas, nullptr) << "no renderer window";
  // The run form: hidden, with its caption, in the shell's process.
  const HWND runForm = FindWindowA(nullptr, contract::RunFormCaption);
  ASSERT_NE(runForm, nullptr);
  EXPECT_EQ(ProcessOf(runForm), shell.Id());
  EXPECT_FALSE(IsWindowVisible(runForm));
  EXPECT_NE(ProcessOf(canvas), shell.Id());
  HANDLE renderer = OpenProcess(SYNCHRONIZE, FALSE, ProcessOf(canvas));
  EXPECT_FALSE(shell.WaitExit(500)) << "the run must last while the renderer is up";
  desktop::Activate(canvas);
  desktop::PressKey(VK_ESCAPE);
  DWORD code = 1234;
  EXPECT_TRUE(shell.WaitExit(10000, &code)) << "the shell outlived the renderer";
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(WaitForSingleObject(renderer, 10000), WAIT_OBJECT_0);
  CloseHandle(renderer);
  EXPECT_EQ(FindWindowA(nullptr, contract::RunFormCaption), nullptr);
}

INSTANTIATE_TEST_SUITE_P(ModeSAndNoArguments, ShellRun, ::testing::Values("/s", ""));

// Starts that end at once and silently: another mode; a second start while a
// run or the settings dialog is up (with the renderer missing, a start that
// went on would show the message); a preview handle that names no window.
TEST(ShellStart, EndsAtOnce) {
  TestWindow pane("pane", 152, 112, true), gone("gone", 10, 10, false);
  const std::string goneHandle = gone.HandleText();
  gone.Destroy();
  struct Row {
    const char* earlier;
    bool renderer;
    std::string args;
  };
  const Row rows[] = {{nullptr, true, "/a"},
                      {contract::RunFormCaption, false, "/s"},
                      {contract::DialogCaption, false, "/p " + pane.HandleText()},
                      {nullptr, false, "/p"},
                      {nullptr, false, "/p " + goneHandle}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.args);
    std::unique_ptr<TestWindow> earlier;
    if (r.earlier != nullptr) earlier = std::make_unique<TestWindow>(r.earlier, 10, 10, false);
    Install in(r.renderer);
    desktop::Process shell = in.Start(r.args);
    DWORD code = 1234;
    EXPECT_TRUE(PumpUntil([&] { return shell.WaitExit(0, &code); }, 15000));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(GetWindow(pane.Handle(), GW_CHILD), nullptr);
    EXPECT_EQ(FindWindowA(nullptr, contract::ProgramTitle), nullptr);
    EXPECT_EQ(FindWindowA(nullptr, RendererTitle), nullptr);
  }
}

std::wstring WideText(HWND window) {
  wchar_t text[512] = {};
  SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
  return text;
}

TEST(ShellStart, MissingRendererShowsTheMessageThenEnds) {
  Install in(false);
  for (const char* args : {"/s", "/c"}) {
    SCOPED_TRACE(args);
    desktop::Process shell = in.Start(args);
    const HWND box = desktop::WaitForWindow(contract::ProgramTitle, 20000);
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(ProcessOf(box), shell.Id());
    std::vector<std::wstring> texts, buttons;
    HWND ok = nullptr;
    for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
      char cls[64] = {};
      GetClassNameA(c, cls, sizeof cls);
      const bool icon = (GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
      if (lstrcmpiA(cls, "Button") == 0) buttons.push_back(WideText(ok = c));
      if (lstrcmpiA(cls, "Static") == 0 && icon) EXPECT_EQ(SendMessageA(c, STM_GETICON, 0, 0), 0);
      if (lstrcmpiA(cls, "Static") == 0 && !icon && !WideText(c).empty())
        texts.push_back(WideText(c));
    }
    EXPECT_EQ(texts, std::vector<std::wstring>{L"Vorrasin.dllが同じﾌｫﾙﾀﾞに見つかりません！"});
    EXPECT_EQ(buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_EQ(FindWindowA(nullptr, contract::RunFormCaption), nullptr);
    EXPECT_EQ(FindWindowA(nullptr, contract::DialogCaption), nullptr);
    RECT r{};
    GetWindowRect(ok, &r);
    desktop::Activate(box);
    desktop::ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    DWORD code = 1234;
    EXPECT_TRUE(shell.WaitExit(15000, &code)) << "still running after OK";
    EXPECT_EQ(code, 0u);
  }
}

TEST(ShellPreview, StillFillsThePaneUntilThePaneGoes) {
  Install in(false);  // the preview needs no renderer
  TestWindow pane("pane", 200, 150, true);
  desktop::Process shell = in.Start("/p " + pane.HandleText());
  HWND child = nullptr;
  ASSERT_TRUE(PumpUntil(
      [&] {
        return (child = GetWindow(pane.Handle(), GW_CHILD)) != nullptr && IsWindowVisible(child);
      },
      20000))
      << "no preview inside the pane";
  EXPECT_EQ(ProcessOf(child), shell.Id());
  EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_CHILD);
  char title[64] = {};
  GetWindowTextA(child, title, sizeof title);
  EXPECT_STREQ(title, contract::PreviewCaption);
  RECT r{};
  GetClientRect(child, &r);
  EXPECT_EQ(r.right, 200);
  EXPECT_EQ(r.bottom, 150);
  pane.Destroy();
  DWORD code = 1234;
  EXPECT_TRUE(PumpUntil([&] { return shell.WaitExit(0, &code); }, 15000))
      << "the preview outlived its pane";
  EXPECT_EQ(code, 0u);
}

// The still the shell carries (Wine does not draw a child window of another
// process into its parent's surface, so it is read from the program): 152 x
// 112, the fractal's pale figures over its dark blue ground.
TEST(ShellPreview, StillIsAPictureOfTheScreenSaver) {
  HMODULE module = LoadLibraryExA((desktop::ProgramFolder() + contract::ShellFile).c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE);
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageA(module, MAKEINTRESOURCEA(101), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  BITMAP bm{};
  ASSERT_NE(GetObjectA(bitmap, sizeof bm, &bm), 0);
  ASSERT_EQ(bm.bmWidth, 152);
  ASSERT_EQ(bm.bmHeight, 112);
  std::vector<std::uint32_t> pixels(152 * 112);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof bi.bmiHeader, 152, -112, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, bitmap, 0, 112, pixels.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  DeleteObject(bitmap);
  FreeLibrary(module);
  int darkBlue = 0, pale = 0;
  std::set<std::uint32_t> colours;
  for (std::uint32_t p : pixels) {
    colours.insert(p & 0xFFFFFF);
    const int red = (p >> 16) & 0xFF, green = (p >> 8) & 0xFF, blue = p & 0xFF;
    darkBlue += red < 40 && green < 80 && blue > 50;
    pale += green > 160 && red > 90;
  }
  EXPECT_GT(colours.size(), 200u);
  EXPECT_GT(darkBlue, 152 * 112 / 4);
  EXPECT_GT(pale, 100);
}

}  // namespace
