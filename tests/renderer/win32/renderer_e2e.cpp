// The real renderer (Vorrasin.dll) on a desktop: its window, its picture, and every way it is meant
// to end, or not. One program start per scenario.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <tuple>

#include "common/contract.h"
#include "renderer/formulas.h"
#include "renderer/win32/display.h"
#include "support/win32/desktop.h"

namespace {

namespace desktop = support::desktop;

using contract::RendererTitle;

class Renderer : public ::testing::Test {
 protected:
  void SetUp() override { Start(true); }

  void Start(bool saverOn) {
    desktop::SetScreenSaverActive(saverOn);
    ASSERT_TRUE(desktop::WaitForNoWindow(RendererTitle, 3000)) << "a renderer is still up";
    proc_ = desktop::Process::StartBeside(contract::RendererFile);
    ASSERT_TRUE(proc_.Started()) << GetLastError();
    window_ = desktop::WaitForWindow(RendererTitle, 10000);
    ASSERT_NE(window_, nullptr) << "no renderer window";
  }

  // Exit code 0, the window gone and the system screen saver as it was.
  void ExpectEndsCleanly(bool saverOn = true) {
    ASSERT_TRUE(desktop::EndsCleanly(proc_, 5000));
    EXPECT_EQ(FindWindowA(nullptr, RendererTitle), nullptr);
    EXPECT_EQ(desktop::ScreenSaverActive(), saverOn) << "screen saver not as it was";
  }

  desktop::Process proc_;
  HWND window_ = nullptr;
};

TEST_F(Renderer, CoversTheScreenInItsColoursUntilAnotherProcessClosesIt) {
  char cls[64] = {};
  GetClassNameA(window_, cls, sizeof cls);
  EXPECT_STREQ(cls, contract::RendererClass);
  RECT r{};
  ASSERT_TRUE(GetWindowRect(window_, &r));
  EXPECT_EQ(std::tuple(r.left, r.top, r.right, r.bottom),
            std::tuple(0L, 0L, LONG(GetSystemMetrics(SM_CXMAXIMIZED)),
                       LONG(GetSystemMetrics(SM_CYMAXIMIZED) + GetSystemMetrics(SM_CYCAPTION))));
  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_EQ(GetWindowLongA(window_, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_THICKFRAME), WS_POPUP);
  const LONG topmostTool = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
  EXPECT_EQ(GetWindowLongA(window_, GWL_EXSTYLE) & topmostTool, topmostTool);
  HANDLE query = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, proc_.Id());
  EXPECT_EQ(GetPriorityClass(query), static_cast<DWORD>(BELOW_NORMAL_PRIORITY_CLASS));
  CloseHandle(query);
  std::set<std::uint32_t> palette;
  for (const renderer::Colour& c : renderer::MakeColourTable())
    palette.insert(static_cast<std::uint32_t>(c.red) << 16 | c.green << 8 | c.blue);
  // Wait for frames in the colour table (the window starts with a grey ramp); a zoomed-in moment
  // may show only a few colours.
  std::set<std::uint32_t> seen;
  int foreign = 0;
  for (int attempt = 0; attempt < 50 && (foreign != 0 || seen.size() < 4); ++attempt) {
    if (attempt > 0) Sleep(100);
    const desktop::Shot shot =
        desktop::TakeShot(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    seen = {shot.pixels.begin(), shot.pixels.end()};
    foreign = 0;
    for (std::uint32_t p : seen) foreign += palette.count(p) == 0;
  }
  EXPECT_EQ(foreign, 0) << "colours outside the colour table";
  EXPECT_GE(seen.size(), 4u) << "a flat screen, not a picture";
  EXPECT_FALSE(desktop::ScreenSaverActive()) << "screen saver on while running";
  PostMessageA(window_, WM_CLOSE, 0, 0);
  ExpectEndsCleanly();
}

// Processor time (clock ticks) of the Linux process that runs the renderer, read through drive Z:
// (under Wine GetProcessTimes of another process reads 0).
long long RendererTicks() {
  // This run's renderer, not one of another test run on the machine: the same Wine prefix.
  const char* prefix = std::getenv("WINEPREFIX");
  const std::string ours = prefix != nullptr ? "WINEPREFIX=" + std::string(prefix) + '\0' : "";
  long long ticks = -1;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
    const std::string dir = std::string("Z:\\proc\\") + found.cFileName;
    if (desktop::ReadBytes(dir + "\\cmdline").find(contract::RendererFile) == std::string::npos)
      continue;
    if (!ours.empty() && desktop::ReadBytes(dir + "\\environ").find(ours) == std::string::npos)
      continue;
    const std::string stat = desktop::ReadBytes(dir + "\\stat");
    long long user = 0, system = 0;  // fields 14 and 15, the 12th and 13th after the name
    std::sscanf(stat.c_str() + stat.rfind(')') + 1,
                "%*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %lld %lld", &user, &system);
    ticks = user + system;
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return ticks;
}

// While the session is locked (a notification another process can post) it draws nothing and takes
// no processor time, and Escape still ends it; once unlocked it draws again at once. Measured by
// the Linux process's time.
TEST_F(Renderer, RestsWhileNobodyCanSeeAndDrawsAgainAfter) {
  const auto shot = [] { return desktop::TakeShot(0, 0, 160, 120).pixels; };
  for (const WPARAM change : {WTS_SESSION_LOCK, WTS_SESSION_UNLOCK, WTS_SESSION_LOCK}) {
    PostMessageA(window_, WM_WTSSESSION_CHANGE, change, 0);
    Sleep(300);
    const long long before = RendererTicks();
    const auto picture = shot();
    Sleep(2000);
    const long long spent = RendererTicks() - before;
    const bool resting = change == WTS_SESSION_LOCK;  // 10 ticks: 0.1 s of 2 s
    EXPECT_EQ(spent <= 10, resting) << spent << " ticks over 2 s";
    EXPECT_EQ(shot() == picture, resting);
  }
  ASSERT_TRUE(proc_.Running() && IsWindowVisible(window_));
  desktop::PressKeyIn(window_, VK_ESCAPE);
  ExpectEndsCleanly();
}

// The display's power state comes as a pointer, so it is fed to a window of this process: off
// rests, dimmed or on draws, for either setting.
TEST(RendererDisplay, RestsWhileTheDisplayIsOff) {
  const GUID
      console = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}},
      session = {0x2b84c20e, 0xad23, 0x4ddf, {0x93, 0xdb, 0x05, 0xff, 0xbd, 0x7e, 0xfc, 0xa5}},
      battery = {0xa7ad8041, 0xb45a, 0x4cae, {0x87, 0xa3, 0xee, 0xcb, 0xb4, 0x68, 0xa9, 0xe1}};
  renderer::win32::Display display;
  ASSERT_TRUE(display.InitWindow("ZoomInThisProcess", 64, 48));
  const std::tuple<GUID, DWORD, bool> rows[] = {{console, 0, true},  {console, 2, false},
                                                {session, 0, true},  {session, 1, false},
                                                {battery, 0, false}, {console, 0, true}};
  for (const auto& [guid, state, resting] : rows) {
    struct {
      POWERBROADCAST_SETTING setting;
      BYTE rest[sizeof(DWORD)];
    } message{{guid, sizeof state, {}}, {}};
    std::memcpy(message.setting.Data, &state, sizeof state);
    SendMessageA(display.Window(), WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                 reinterpret_cast<LPARAM>(&message.setting));
    EXPECT_EQ(display.Resting(), resting) << state;
  }
}

// Log-off or shut-down: the flag is given back at WM_ENDSESSION, before the system may end the
// process without another word.
TEST_F(Renderer, TheSessionsEndGivesTheFlagBackAtOnce) {
  EXPECT_FALSE(desktop::ScreenSaverActive()) << "screen saver on while running";
  DWORD_PTR answer = 1;
  ASSERT_TRUE(SendMessageTimeoutA(window_, WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 5000, &answer));
  EXPECT_TRUE(desktop::ScreenSaverActive()) << "the flag is still off";
  PostMessageA(window_, WM_CLOSE, 0, 0);
  ExpectEndsCleanly();
}

// Starts its renderer itself, in the test's own conditions.
class RendererStart : public Renderer {
 protected:
  void SetUp() override {}
};

// Another program has the keyboard when a run starts, with the system screen saver on or off: the
// renderer takes the keyboard, and Escape, pressed as keyboard input, ends the run (other keys and
// the mouse do not) and gives the flag back as it was found.
TEST_F(RendererStart, TakesTheKeyboardAndGivesTheScreenSaverFlagBack) {
  desktop::Process other = desktop::Process::Start("C:\\windows\\notepad.exe");
  HWND notepad = nullptr;
  ASSERT_TRUE(desktop::PumpUntil(
      [&] { return (notepad = FindWindowA("Notepad", nullptr)) && IsWindowVisible(notepad); },
      10000));
  for (const bool saverOn : {false, true}) {
    SCOPED_TRACE(saverOn ? "flag on" : "flag off");
    desktop::Activate(notepad);
    ASSERT_EQ(GetForegroundWindow(), notepad);
    Start(saverOn);
    EXPECT_FALSE(desktop::ScreenSaverActive()) << "screen saver on while running";
    EXPECT_TRUE(desktop::PumpUntil([&] { return GetForegroundWindow() == window_; }, 3000))
        << "the renderer did not come to the foreground";
    for (WORD vk : {WORD('A'), WORD(VK_SPACE), WORD(VK_RETURN), WORD(VK_F1)}) desktop::PressKey(vk);
    desktop::ClickAt(100, 100);
    desktop::ClickAt(300, 200, true);
    Sleep(600);
    ASSERT_TRUE(proc_.Running()) << "another key or the mouse ended it";
    desktop::PressKey(VK_ESCAPE);
    ExpectEndsCleanly(saverOn);
  }
}

}  // namespace
