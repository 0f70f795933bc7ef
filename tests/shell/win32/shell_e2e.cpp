// The real shell (Vorrasin.scr) on a desktop: its settings file through the
// system's profile calls, a run from start to Escape, the starts that end at
// once, the missing-renderer message and the preview inside a pane.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/contract.h"
#include "shell/settings.h"
#include "shell/win32/profile_store.h"
#include "support/win32/desktop.h"

namespace {

using contract::RendererTitle;

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

// A plain top-level window of this test, gone with its owner.
using Window = std::unique_ptr<HWND__, BOOL(WINAPI*)(HWND)>;
Window MakeWindow(const char* title, int width, int height, bool visible) {
  return {CreateWindowExA(0, "STATIC", title, WS_POPUP | (visible ? WS_VISIBLE : 0), 120, 90, width,
                          height, nullptr, nullptr, nullptr, nullptr),
          DestroyWindow};
}
std::string HandleText(HWND window) {
  return std::to_string(static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
}

// Read through the real profile calls, keys in Shift-JIS: a folder is no
// sound file; a value comes back as at most 255 bytes. (What the dialog
// writes, byte for byte, is checked with the dialog.)
TEST(ShellSettings, ProfileCallsWithShiftJisKeys) {
  Install in(true);
  const std::string dll = in.Path(contract::RendererFile), ini = in.Path(contract::IniFile);
  win32_profile::Win32ProfileStore store;
  settings::BgmSettings s;
  for (const std::string& file : {dll, in.Folder() + "\\", std::string(300, 'q')}) {
    SCOPED_TRACE(file);
    ASSERT_TRUE(desktop::WriteBytes(ini,
                                    "[Section]\r\nBGM\x8b\xe6\x95\xaa=2\r\nBGM\xd8\xcb\xdf\xb0\xc4="
                                    "-12\r\nBGM\xcc\xa7\xb2\xd9=" +
                                        file));
    settings::LoadSettings(store, in.Folder(), s);
    EXPECT_EQ(s.BgmRepeat, -12);
    EXPECT_EQ(s.BgmMode, file == dll ? 2 : 0);
    EXPECT_EQ(s.BgmFile, file == dll ? dll : "");
    EXPECT_EQ(settings::ReadIni(store, "Section", "BGM\xcc\xa7\xb2\xd9", ini), file.substr(0, 255));
  }
}

class ShellRun : public ::testing::TestWithParam<const char*> {};

TEST_P(ShellRun, EscapeInTheRendererEndsBothProcesses) {
  Install in(true);
  desktop::Process shell = in.Start(GetParam());
  const HWND canvas = desktop::WaitForWindow(RendererTitle, 30000);
  ASSERT_NE(canvas, nullptr) << "no renderer window";
  // The run form: hidden, with its caption, in the shell's process.
  const HWND runForm = FindWindowA(nullptr, contract::RunFormCaption);
  ASSERT_NE(runForm, nullptr);
  EXPECT_EQ(desktop::ProcessOf(runForm), shell.Id());
  EXPECT_FALSE(IsWindowVisible(runForm));
  HANDLE renderer = OpenProcess(SYNCHRONIZE, FALSE, desktop::ProcessOf(canvas));
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
  const Window pane = MakeWindow("pane", 152, 112, true);
  const std::string goneHandle = HandleText(MakeWindow("gone", 10, 10, false).get());
  struct Row {
    const char* earlier;
    bool renderer;
    std::string args;
  };
  const Row rows[] = {{nullptr, true, "/a"},
                      {contract::RunFormCaption, false, "/s"},
                      {contract::DialogCaption, false, "/p " + HandleText(pane.get())},
                      {nullptr, false, "/p " + goneHandle}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.args);
    const Window earlier = MakeWindow(r.earlier != nullptr ? r.earlier : "", 10, 10, false);
    Install in(r.renderer);
    desktop::Process shell = in.Start(r.args);
    DWORD code = 1234;
    EXPECT_TRUE(desktop::PumpUntil([&] { return shell.WaitExit(0, &code); }, 15000));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(GetWindow(pane.get(), GW_CHILD), nullptr);
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
    EXPECT_EQ(desktop::ProcessOf(box), shell.Id());
    std::vector<std::wstring> texts, buttons;
    for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
      char cls[64] = {};
      GetClassNameA(c, cls, sizeof cls);
      if (lstrcmpiA(cls, "Button") == 0) buttons.push_back(WideText(c));
      const bool text = lstrcmpiA(cls, "Static") == 0;  // an icon counts as one
      if (text && SendMessageA(c, STM_GETICON, 0, 0) != 0) texts.push_back(L"(icon)");
      if (text && !WideText(c).empty()) texts.push_back(WideText(c));
    }
    EXPECT_EQ(texts, std::vector<std::wstring>{L"Vorrasin.dllが同じﾌｫﾙﾀﾞに見つかりません！"});
    EXPECT_EQ(buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_EQ(FindWindowA(nullptr, contract::RunFormCaption), nullptr);
    desktop::Activate(box);
    desktop::PressKey(VK_RETURN);
    DWORD code = 1234;
    EXPECT_TRUE(shell.WaitExit(15000, &code)) << "still running after OK";
    EXPECT_EQ(code, 0u);
  }
}

TEST(ShellPreview, StillFillsThePaneUntilThePaneGoes) {
  Install in(false);  // the preview needs no renderer
  Window pane = MakeWindow("pane", 200, 150, true);
  desktop::Process shell = in.Start("/p " + HandleText(pane.get()));
  HWND child = nullptr;
  const auto shown = [&] { return IsWindowVisible(child = GetWindow(pane.get(), GW_CHILD)); };
  ASSERT_TRUE(desktop::PumpUntil(shown, 20000)) << "no preview inside the pane";
  EXPECT_EQ(desktop::ProcessOf(child), shell.Id());
  EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_CHILD);
  char title[64] = {};
  GetWindowTextA(child, title, sizeof title);
  EXPECT_STREQ(title, contract::PreviewCaption);
  RECT r{};
  GetClientRect(child, &r);
  EXPECT_EQ(r.right, 200);
  EXPECT_EQ(r.bottom, 150);
  pane.reset();
  DWORD code = 1234;
  EXPECT_TRUE(desktop::PumpUntil([&] { return shell.WaitExit(0, &code); }, 15000))
      << "the preview outlived its pane";
  EXPECT_EQ(code, 0u);
}

}  // namespace
