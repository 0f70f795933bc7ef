// The real shell (Vorrasin.scr) on a desktop: its settings file through the system's profile calls,
// a run from start to Escape, the starts that end at once, the missing-renderer message and the
// preview inside a pane.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/contract.h"
#include "shell/settings.h"
#include "shell/win32/profile_store.h"
#include "support/win32/desktop.h"
// after windows.h
#include <tlhelp32.h>

namespace {

namespace desktop = support::desktop;

using contract::RendererTitle;

// A folder with spaces in its name holding a copy of the shell, and of the renderer if asked;
// removed with everything in it.
class Install {
 public:
  // renderer: the file put in as the renderer, if any.
  explicit Install(bool withRenderer, const char* renderer = contract::RendererFile) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static int count = 0;
    folder_ = std::string(temp) + "Vorrasin e2e " + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(++count);
    CreateDirectoryA(folder_.c_str(), nullptr);
    CopyFileA((desktop::ProgramFolder() + contract::ShellFile).c_str(),
              Path(contract::ShellFile).c_str(), FALSE);
    if (withRenderer)
      CopyFileA((desktop::ProgramFolder() + renderer).c_str(), Path(contract::RendererFile).c_str(),
                FALSE);
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

using desktop::HandleText;
using desktop::MakeWindow;

int Renderers() {
  const HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 e{};
  e.dwSize = sizeof e;
  int n = 0;
  for (BOOL more = Process32First(snap, &e); more; more = Process32Next(snap, &e))
    n += lstrcmpiA(e.szExeFile, contract::RendererFile) == 0;
  CloseHandle(snap);
  return n;
}

// Read through the real profile calls, keys in Shift-JIS: a folder is no sound file; a value comes
// back whole, also beyond 255 bytes. (What the dialog writes, byte for byte, is checked with the
// dialog.)
TEST(ShellSettings, ProfileCallsWithShiftJisKeys) {
  Install in(true);
  const std::string dll = in.Path(contract::RendererFile), ini = in.Path(contract::IniFile);
  shell::Win32ProfileStore store;
  music::BgmSettings s;
  const std::string keys = "[Section]\r\nBGM\x8b\xe6\x95\xaa=2\r\nBGM\xd8\xcb\xdf\xb0\xc4=-12\r\n";
  for (const std::string& file : {dll, in.Folder() + "\\", std::string(300, 'q')}) {
    SCOPED_TRACE(file);
    ASSERT_TRUE(desktop::WriteBytes(ini, keys + "BGM\xcc\xa7\xb2\xd9=" + file));
    shell::settings::LoadSettings(store, ini, s);
    EXPECT_EQ(s.BgmRepeat, -12);
    EXPECT_EQ(s.BgmMode, file == dll ? 2 : 0);
    EXPECT_EQ(s.BgmFile, file == dll ? dll : "");
    EXPECT_EQ(shell::settings::ReadIni(store, "Section", "BGM\xcc\xa7\xb2\xd9", ini), file);
  }
}

// Whether the settings file may be written, asked of the system without changing anything: a file
// there, or none yet in a folder one may write to; not a folder in its place. A missing file is not
// left behind by the asking.
TEST(ShellSettings, MayWriteAsksWithoutWriting) {
  Install in(false);
  const std::string ini = in.Path(contract::IniFile), made = in.Path("made");
  shell::Win32ProfileStore store;
  EXPECT_TRUE(store.MayWrite(ini));
  EXPECT_EQ(GetFileAttributesA(ini.c_str()), INVALID_FILE_ATTRIBUTES) << "the asking left a file";
  ASSERT_TRUE(desktop::WriteBytes(ini, "[Section]\r\n"));
  EXPECT_TRUE(store.MayWrite(ini));
  EXPECT_EQ(desktop::ReadBytes(ini), "[Section]\r\n");
  ASSERT_TRUE(DeleteFileA(ini.c_str()) && CreateDirectoryA(ini.c_str(), nullptr));
  EXPECT_FALSE(store.MayWrite(ini));
  EXPECT_TRUE(RemoveDirectoryA(ini.c_str()));
  EXPECT_TRUE(store.MakeFolder(made) && store.MakeFolder(made) && RemoveDirectoryA(made.c_str()));
}

// However the run ends (Escape in the renderer, the renderer killed, a close request to the run
// form, the session's end), the shell ends, the renderer is gone and a fresh process finds the flag
// as it was before the run.
TEST(ShellRun, EveryEndRestoresTheFlagAndLeavesNothing) {
  enum class End { Escape, Kill, Close, SessionEnd };
  struct Row {
    const char* args;
    End end;
    bool flag;
  };
  const Row rows[] = {{"/s", End::Escape, true},     {"", End::Escape, true},
                      {"/s", End::Kill, true},       {"/s", End::Kill, false},
                      {"/s", End::Close, true},      {"/s", End::SessionEnd, true},
                      {"/s", End::SessionEnd, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.args << " " << static_cast<int>(r.end) << " " << r.flag);
    desktop::SetScreenSaverActive(r.flag);
    Install in(true);
    desktop::Process shell = in.Start(r.args);
    const HWND canvas = desktop::WaitForWindow(RendererTitle, 30000);
    ASSERT_NE(canvas, nullptr) << "no renderer window";
    // The run form: hidden, with its caption, in the shell's process.
    const HWND runForm = FindWindowA(nullptr, contract::RunFormCaption);
    ASSERT_NE(runForm, nullptr);
    EXPECT_EQ(desktop::ProcessOf(runForm), shell.Id());
    EXPECT_FALSE(IsWindowVisible(runForm));
    const HANDLE renderer =
        OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, desktop::ProcessOf(canvas));
    EXPECT_FALSE(shell.WaitExit(500)) << "the run must last while the renderer is up";
    if (r.end == End::Escape) desktop::PressKeyIn(canvas, VK_ESCAPE);
    if (r.end == End::Kill) TerminateProcess(renderer, 9);
    if (r.end == End::Close) PostMessageA(runForm, WM_CLOSE, 0, 0);
    DWORD_PTR answer = 1;  // log-off: all is put back before the handler returns
    if (r.end == End::SessionEnd) {
      EXPECT_TRUE(SendMessageTimeoutA(runForm, WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 10000, &answer));
      EXPECT_EQ(desktop::ScreenSaverActive(), r.flag);
    }
    EXPECT_TRUE(desktop::EndsCleanly(shell, 10000)) << "the shell after the run";
    EXPECT_EQ(WaitForSingleObject(renderer, 0), WAIT_OBJECT_0);
    CloseHandle(renderer);
    EXPECT_EQ(FindWindowA(nullptr, RendererTitle), nullptr);
    EXPECT_EQ(FindWindowA(nullptr, contract::RunFormCaption), nullptr);
    EXPECT_EQ(desktop::ScreenSaverActive(), r.flag);
  }
  desktop::SetScreenSaverActive(true);
}

// A renderer already up (here started by hand) is left alone: /s starts no second one and ends at
// once, and the flag is as it was once that renderer has gone. (That a run ends with its own
// renderer is a run_logic test.)
TEST(ShellRun, ARunIsItsOwnRenderers) {
  desktop::SetScreenSaverActive(true);
  Install in(true);
  desktop::Process byHand = desktop::Process::Start(in.Path(contract::RendererFile));
  ASSERT_NE(desktop::WaitForWindow(RendererTitle, 30000), nullptr);
  desktop::Process shell = in.Start("/s");
  EXPECT_TRUE(desktop::EndsCleanly(shell, 10000));
  EXPECT_EQ(Renderers(), 1);
  PostMessageA(FindWindowA(nullptr, RendererTitle), WM_CLOSE, 0, 0);
  EXPECT_TRUE(desktop::EndsCleanly(byHand, 10000)) << "the renderer started by hand";
  EXPECT_TRUE(desktop::ScreenSaverActive());
}

// The window check alone lets two starts at the same moment both run.
TEST(ShellRun, TwoStartsAtOnceGiveOneRenderer) {
  Install in(true);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    desktop::Process first = in.Start("/s"), second = in.Start("/s");
    ASSERT_NE(desktop::WaitForWindow(RendererTitle, 30000), nullptr);
    Sleep(1000);
    EXPECT_EQ(Renderers(), 1);
    PostMessageA(FindWindowA(nullptr, RendererTitle), WM_CLOSE, 0, 0);
    EXPECT_TRUE(desktop::EndsCleanly(first, 10000) && desktop::EndsCleanly(second, 10000));
  }
}

// A renderer that never opens its window is ended after the (here shortened) wait; one that cannot
// be started at all is named in a message.
TEST(ShellRun, RendererWithoutWindowIsEnded) {
  Install in(true, "silent_renderer.exe");
  desktop::SetScreenSaverActive(true);
  SetEnvironmentVariableA("VORRASIN_TEST_RENDERER_WAIT_MS", "1500");
  desktop::Process shell = in.Start("/s");
  SetEnvironmentVariableA("VORRASIN_TEST_RENDERER_WAIT_MS", nullptr);
  EXPECT_TRUE(desktop::PumpUntil([] { return Renderers() == 1; }, 10000));
  EXPECT_TRUE(desktop::EndsCleanly(shell, 15000)) << "the shell waited on";
  EXPECT_EQ(Renderers(), 0);
  EXPECT_TRUE(desktop::ScreenSaverActive());
}

// Starts that end at once and silently: another mode; a second start while a run or the settings
// dialog is up (with the renderer missing, a start that went on would show the message); a preview
// handle that names no window.
TEST(ShellStart, EndsAtOnce) {
  const desktop::Window pane = MakeWindow("pane", 152, 112, true);
  const std::string goneHandle = HandleText(MakeWindow("gone", 10, 10, false).get());
  struct Row {
    const char* earlier;
    bool renderer;
    std::string args;
  };
  const Row rows[] = {{nullptr, true, "/a"},
                      {contract::RunFormCaption, false, "/s"},
                      {contract::DialogCaption, false, "/p " + HandleText(pane.get())},
                      {nullptr, false, "/p " + goneHandle},
                      {nullptr, false, "/p " + HandleText(GetDesktopWindow())}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.args);
    const desktop::Window earlier =
        MakeWindow(r.earlier != nullptr ? r.earlier : "", 10, 10, false);
    Install in(r.renderer);
    desktop::Process shell = in.Start(r.args);
    EXPECT_TRUE(desktop::EndsCleanly(shell, 15000));
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

// A renderer that is missing, or there but no program: the message, in Japanese whatever the
// system's code page, then the end.
TEST(ShellStart, MissingRendererShowsTheMessageThenEnds) {
  Install in(false);
  const std::string dll = in.Path(contract::RendererFile);
  const std::wstring notStarted = std::wstring(dll.begin(), dll.end()) + L"を起動できません！";
  const std::pair<const char*, std::wstring> rows[] = {
      {"/s", L"Vorrasin.dllが同じﾌｫﾙﾀﾞに見つかりません！"},
      {"/c", L"Vorrasin.dllが同じﾌｫﾙﾀﾞに見つかりません！"},
      {"/s", notStarted}};
  for (const auto& [args, message] : rows) {
    SCOPED_TRACE(args);
    if (message == notStarted) desktop::WriteBytes(in.Path(contract::RendererFile), "text");
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
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].substr(0, message.size()), message) << "the reason follows";
    EXPECT_EQ(buttons, std::vector<std::wstring>{L"OK"});
    // Only a renderer that is there gets as far as the run form.
    EXPECT_EQ(FindWindowA(nullptr, contract::RunFormCaption) != nullptr, message == notStarted);
    desktop::PressKeyIn(box, VK_RETURN);
    EXPECT_TRUE(desktop::EndsCleanly(shell, 15000)) << "after OK";
  }
}

TEST(ShellPreview, StillFillsThePaneUntilThePaneGoes) {
  Install in(false);  // the preview needs no renderer
  desktop::Window pane = MakeWindow("pane", 200, 150, true);
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
  EXPECT_EQ(std::pair(r.right, r.bottom), std::pair(200L, 150L));
  pane.reset();
  EXPECT_TRUE(desktop::EndsCleanly(shell, 15000)) << "the preview after its pane";
}

}  // namespace
