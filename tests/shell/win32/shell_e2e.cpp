// The real shell (Vorrasin.scr) on a desktop: its settings file through the
// system's profile calls, a run from start to Escape, the instance check,
// the missing-renderer message and the preview inside a pane.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "shell/settings.h"
#include "shell/win32/profile_store.h"
#include "support/win32/desktop.h"

namespace {

constexpr char Canvas[] = "Nimbrel_Canvas";
constexpr char RunCaption[] = "Nimbrel_Main";
constexpr char DialogCaption[] = "<Vorrasin>";
constexpr char ProgramTitle[] = "Vorrasin (ScreenSaver)";

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
    const std::string from = desktop::ProgramFolder();
    CopyFileA((from + "Vorrasin.scr").c_str(), Shell().c_str(), FALSE);
    if (withRenderer)
      CopyFileA((from + "Vorrasin.dll").c_str(), (folder_ + "\\Vorrasin.dll").c_str(), FALSE);
  }
  ~Install() {
    for (const char* name : {"\\Vorrasin.scr", "\\Vorrasin.dll", "\\Vorrasin.ini", "\\sub\\x"})
      DeleteFileA((folder_ + name).c_str());
    RemoveDirectoryA((folder_ + "\\sub").c_str());
    RemoveDirectoryA(folder_.c_str());
  }
  const std::string& Folder() const { return folder_; }
  std::string Shell() const { return folder_ + "\\Vorrasin.scr"; }
  std::string Ini() const { return folder_ + "\\Vorrasin.ini"; }
  void WriteIni(const std::string& text) { ASSERT_TRUE(desktop::WriteBytes(Ini(), text)); }
  desktop::Process Start(const std::string& args) { return desktop::Process::Start(Shell(), args); }

 private:
  std::string folder_;
};

// A plain top-level window of this test.
class TestWindow {
 public:
  TestWindow(const char* title, int x, int y, int width, int height, bool visible) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "ShellE2ePane";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, wc.lpszClassName, title, WS_POPUP | WS_CLIPCHILDREN, x, y, width,
                              height, nullptr, nullptr, wc.hInstance, nullptr);
    if (visible) {
      ShowWindow(window_, SW_SHOWNORMAL);
      UpdateWindow(window_);
    }
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

// ---------------------------------------------------------------- settings

// Shift-JIS keys as stored by Japanese Windows.
const std::string KeyMode = settings::KeyMode;
const std::string KeyRepeat = settings::KeyRepeat;
const std::string KeyFile = settings::KeyFile;

settings::BgmSettings LoadFrom(const Install& in) {
  win32_profile::Win32ProfileStore store;
  settings::BgmSettings s;
  settings::LoadSettings(store, in.Folder(), s);
  return s;
}

TEST(ShellSettings, RealProfileCallsReadByTheRules) {
  Install in(true);
  const std::string existing = in.Folder() + "\\Vorrasin.dll";
  struct Row {
    std::string mode, repeat, file;
    std::int16_t expectMode, expectRepeat;
    std::string expectFile;
  };
  const std::vector<Row> rows = {
      {"1.9", "-0.5", "", 1, -1, ""},
      {"2", "3", existing, 2, 3, existing},
      {"2", "3", existing + "\\", 2, 3, existing + "\\"},
      {"2", "0", in.Folder() + "\\gone.wav", 0, 0, ""},
      {"2", "0", in.Folder(), 0, 0, ""},  // a folder is no sound file
      {"1", "abc", in.Folder() + "\\gone.wav", 1, 0, ""},
      {"1e3", "40000", "", 1000, 0, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.mode + " " + r.repeat + " " + r.file);
    in.WriteIni("[Section]\r\n" + KeyMode + "=" + r.mode + "\r\n" + KeyRepeat + "=" + r.repeat +
                "\r\n" + KeyFile + "=" + r.file + "\r\n");
    const settings::BgmSettings s = LoadFrom(in);
    EXPECT_EQ(s.BgmMode, r.expectMode);
    EXPECT_EQ(s.BgmRepeat, r.expectRepeat);
    EXPECT_EQ(s.BgmFile, r.expectFile);
  }
}

TEST(ShellSettings, MissingFileSectionOrKeysGiveTheDefaults) {
  Install in(true);
  for (const std::string& text : {std::string(), "[Other]\r\n" + KeyMode + "=1\r\n",
                                  std::string("[Section]\r\nBGM=1\r\nmode=1\r\n")}) {
    if (text.empty())
      DeleteFileA(in.Ini().c_str());
    else
      in.WriteIni(text);
    const settings::BgmSettings s = LoadFrom(in);
    EXPECT_EQ(s.BgmMode, 0);
    EXPECT_EQ(s.BgmRepeat, 0);
    EXPECT_EQ(s.BgmFile, "");
  }
}

TEST(ShellSettings, LongValuesAreCutTo255Bytes) {
  Install in(true);
  const std::string value(300, 'q');
  in.WriteIni("[Section]\r\n" + KeyFile + "=" + value + "\r\n");
  win32_profile::Win32ProfileStore store;
  EXPECT_EQ(settings::ReadIni(store, settings::Section, KeyFile, in.Ini()), value.substr(0, 255));
}

TEST(ShellSettings, WriteIniStoresShiftJisBytesThatReadBack) {
  Install in(true);
  DeleteFileA(in.Ini().c_str());
  win32_profile::Win32ProfileStore store;
  const std::string file = in.Folder() + "\\Vorrasin.dll";
  settings::WriteIni(store, settings::Section, KeyMode, "2", in.Ini());
  settings::WriteIni(store, settings::Section, KeyRepeat, "12", in.Ini());
  settings::WriteIni(store, settings::Section, KeyFile, file, in.Ini());
  const std::string bytes = desktop::ReadBytes(in.Ini());
  EXPECT_NE(bytes.find("[Section]"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("BGM\x8b\xe6\x95\xaa=2"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("BGM\xd8\xcb\xdf\xb0\xc4=12"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("BGM\xcc\xa7\xb2\xd9=" + file), std::string::npos) << bytes;
  const settings::BgmSettings s = LoadFrom(in);
  EXPECT_EQ(s.BgmMode, 2);
  EXPECT_EQ(s.BgmRepeat, 12);
  EXPECT_EQ(s.BgmFile, file);
}

// ---------------------------------------------------------------- run

class ShellRun : public ::testing::TestWithParam<const char*> {};

TEST_P(ShellRun, EscapeInTheRendererEndsBothProcesses) {
  ASSERT_TRUE(desktop::WaitForNoWindow(Canvas, 5000)) << "a renderer from before is still up";
  Install in(true);
  in.WriteIni("[Section]\r\n" + KeyMode + "=0\r\n");
  desktop::Process shell = in.Start(GetParam());
  ASSERT_TRUE(shell.Started());
  const HWND canvas = desktop::WaitForWindow(Canvas, 30000);
  ASSERT_NE(canvas, nullptr) << "no renderer window";
  // The run form: hidden, with its caption, in the shell's process.
  const HWND runForm = FindWindowA(nullptr, RunCaption);
  ASSERT_NE(runForm, nullptr);
  EXPECT_EQ(ProcessOf(runForm), shell.Id());
  EXPECT_FALSE(IsWindowVisible(runForm));
  const DWORD rendererId = ProcessOf(canvas);
  EXPECT_NE(rendererId, shell.Id());
  HANDLE renderer = OpenProcess(SYNCHRONIZE, FALSE, rendererId);
  ASSERT_NE(renderer, nullptr);
  // The run goes on while the renderer is up.
  EXPECT_FALSE(shell.WaitExit(500));

  desktop::Activate(canvas);
  desktop::PressKey(VK_ESCAPE);
  DWORD code = 1234;
  EXPECT_TRUE(shell.WaitExit(10000, &code)) << "the shell outlived the renderer";
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(WaitForSingleObject(renderer, 10000), WAIT_OBJECT_0);
  CloseHandle(renderer);
  EXPECT_EQ(FindWindowA(nullptr, RunCaption), nullptr);
  EXPECT_EQ(FindWindowA(nullptr, Canvas), nullptr);
}

INSTANTIATE_TEST_SUITE_P(ModeSAndNoArguments, ShellRun, ::testing::Values("/s", ""));

TEST(ShellStart, OtherModesEndAtOnce) {
  Install in(true);
  for (const char* args : {"/a", "S", "xa", "/ "}) {
    SCOPED_TRACE(args);
    desktop::Process shell = in.Start(args);
    DWORD code = 1234;
    ASSERT_TRUE(shell.WaitExit(15000, &code));
    EXPECT_EQ(code, 0u);
  }
  EXPECT_EQ(FindWindowA(nullptr, Canvas), nullptr);
}

// A start while a run or the settings dialog is up ends silently: with the
// renderer missing, a start that went on would show the message and wait.
TEST(ShellStart, SecondStartEndsSilently) {
  for (const char* caption : {RunCaption, DialogCaption}) {
    TestWindow earlier(caption, 0, 0, 10, 10, false);
    Install in(false);
    TestWindow pane("pane", 50, 50, 152, 112, true);
    for (const std::string& args :
         {std::string("/s"), std::string("/c"), std::string(""), "/p " + pane.HandleText()}) {
      SCOPED_TRACE(std::string(caption) + " " + args);
      desktop::Process shell = in.Start(args);
      DWORD code = 1234;
      EXPECT_TRUE(PumpUntil([&] { return shell.WaitExit(0, &code); }, 15000));
      EXPECT_EQ(code, 0u);
      EXPECT_EQ(GetWindow(pane.Handle(), GW_CHILD), nullptr);
      EXPECT_EQ(FindWindowA(nullptr, ProgramTitle), nullptr);
    }
  }
}

std::wstring WideText(HWND window) {
  wchar_t text[512] = {};
  SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
  return text;
}

TEST(ShellStart, MissingRendererShowsTheMessageThenEnds) {
  Install in(false);
  for (const char* args : {"/s", "", "/c", "/a"}) {
    SCOPED_TRACE(args);
    desktop::Process shell = in.Start(args);
    const HWND box = desktop::WaitForWindow(ProgramTitle, 20000);
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(ProcessOf(box), shell.Id());
    std::vector<std::wstring> texts;
    HWND ok = nullptr;
    int icons = 0;
    for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
      char cls[64] = {};
      GetClassNameA(c, cls, sizeof cls);
      if (lstrcmpiA(cls, "Button") == 0) {
        EXPECT_EQ(ok, nullptr) << "more than one button";
        ok = c;
      } else if (lstrcmpiA(cls, "Static") == 0) {
        if ((GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
          icons += SendMessageA(c, STM_GETICON, 0, 0) != 0 ? 1 : 0;
        else if (!WideText(c).empty())
          texts.push_back(WideText(c));
      }
    }
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(texts[0] == L"Vorrasin.dllが同じﾌｫﾙﾀﾞに見つかりません！");
    EXPECT_EQ(icons, 0);
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(WideText(ok) == L"OK");
    // The run must not have started.
    EXPECT_EQ(FindWindowA(nullptr, RunCaption), nullptr);
    RECT r{};
    GetWindowRect(ok, &r);
    desktop::Activate(box);
    desktop::ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    DWORD code = 1234;
    EXPECT_TRUE(shell.WaitExit(15000, &code)) << "still running after OK";
    EXPECT_EQ(code, 0u);
  }
}

// ---------------------------------------------------------------- preview

// The still the shell embeds, as 0x00RRGGBB pixels.
desktop::Shot EmbeddedPreview(const std::string& shell) {
  desktop::Shot s;
  HMODULE module = LoadLibraryExA(shell.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return s;
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageA(module, MAKEINTRESOURCEA(101), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  BITMAP bm{};
  if (bitmap != nullptr && GetObjectA(bitmap, sizeof bm, &bm) != 0) {
    s.width = bm.bmWidth;
    s.height = bm.bmHeight;
    s.pixels.resize(static_cast<std::size_t>(s.width) * s.height);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = s.width;
    bi.bmiHeader.biHeight = -s.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, s.height, s.pixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    for (auto& p : s.pixels) p &= 0xFFFFFF;
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  FreeLibrary(module);
  return s;
}

struct PaneCase {
  int width, height;
  const char* separator;
};

class ShellPreview : public ::testing::TestWithParam<PaneCase> {};

TEST_P(ShellPreview, StillFillsThePaneUntilThePaneGoes) {
  const PaneCase pc = GetParam();
  Install in(false);  // the preview needs no renderer
  TestWindow pane("pane", 120, 90, pc.width, pc.height, true);
  desktop::Process shell = in.Start(std::string("/p") + pc.separator + pane.HandleText());
  HWND child = nullptr;
  ASSERT_TRUE(PumpUntil(
      [&] {
        child = GetWindow(pane.Handle(), GW_CHILD);
        return child != nullptr && IsWindowVisible(child);
      },
      20000))
      << "no preview inside the pane";
  EXPECT_EQ(ProcessOf(child), shell.Id());
  EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_CHILD);
  char title[64] = {};
  GetWindowTextA(child, title, sizeof title);
  EXPECT_STREQ(title, "Preview Window");
  RECT r{};
  GetClientRect(child, &r);
  EXPECT_EQ(r.right, pc.width);
  EXPECT_EQ(r.bottom, pc.height);
  // The still is drawn on the form itself. (Wine does not draw a child
  // window of another process into its parent's surface, so the screen
  // cannot show it here; the still itself is checked below.)
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_TRUE(shell.Running());
  pane.Destroy();
  DWORD code = 1234;
  EXPECT_TRUE(PumpUntil([&] { return shell.WaitExit(0, &code); }, 15000))
      << "the preview outlived its pane";
  EXPECT_EQ(code, 0u);
}

// The still the shell carries: 152 x 112, the fractal's pale figures over its
// dark blue ground.
TEST(ShellPreviewStill, IsAPictureOfTheScreenSaver) {
  const desktop::Shot picture = EmbeddedPreview(desktop::ProgramFolder() + "Vorrasin.scr");
  ASSERT_EQ(picture.width, 152);
  ASSERT_EQ(picture.height, 112);
  int darkBlue = 0, pale = 0;
  std::set<std::uint32_t> colours;
  for (std::uint32_t p : picture.pixels) {
    colours.insert(p);
    const int red = p >> 16, green = (p >> 8) & 0xFF, blue = p & 0xFF;
    darkBlue += red < 40 && green < 80 && blue > 50;
    pale += green > 160 && red > 90;
  }
  EXPECT_GT(colours.size(), 200u);
  EXPECT_GT(darkBlue, 152 * 112 / 4);
  EXPECT_GT(pale, 100);
}

INSTANTIATE_TEST_SUITE_P(Panes, ShellPreview,
                         ::testing::Values(PaneCase{152, 112, " "}, PaneCase{200, 150, ":"}));

TEST(ShellPreviewHandle, NamingNoWindowEndsAtOnce) {
  Install in(false);
  TestWindow gone("gone", 0, 0, 10, 10, false);
  const std::string goneHandle = gone.HandleText();
  gone.Destroy();
  for (const std::string& args :
       {std::string("/p"), std::string("/p 0"), std::string("/p abc"), "/p " + goneHandle}) {
    SCOPED_TRACE(args);
    desktop::Process shell = in.Start(args);
    DWORD code = 1234;
    EXPECT_TRUE(shell.WaitExit(15000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(FindWindowA(nullptr, "Preview Window"), nullptr);
  }
}

}  // namespace
