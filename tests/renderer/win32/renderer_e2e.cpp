// The real renderer (Vorrasin.dll) on a desktop: its window, its picture,
// and every way it is meant to end, or not.
#include <gtest/gtest.h>

#include <set>

#include "renderer/julia_zoom.h"
#include "support/win32/desktop.h"

namespace {

constexpr char Title[] = "Nimbrel_Canvas";

class Renderer : public ::testing::Test {
 protected:
  void SetUp() override {
    desktop::SetScreenSaverActive(true);
    ASSERT_TRUE(desktop::WaitForNoWindow(Title, 3000)) << "a renderer from before is still up";
    proc_ = desktop::Process::Start(desktop::ProgramFolder() + "Vorrasin.dll");
    ASSERT_TRUE(proc_.Started()) << GetLastError();
    window_ = desktop::WaitForWindow(Title, 10000);
    ASSERT_NE(window_, nullptr) << "no renderer window";
  }

  void ExpectEndsCleanly() {
    DWORD code = 12345;
    ASSERT_TRUE(proc_.WaitExit(5000, &code)) << "the renderer is still running";
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(FindWindowA(nullptr, Title), nullptr);
    EXPECT_TRUE(desktop::ScreenSaverActive()) << "screen saver left off";
  }

  desktop::Process proc_;
  HWND window_ = nullptr;
};

TEST_F(Renderer, WindowCoversTheMetricsRectangle) {
  char cls[64] = {};
  GetClassNameA(window_, cls, sizeof cls);
  EXPECT_STREQ(cls, "Zoom");
  RECT r{};
  ASSERT_TRUE(GetWindowRect(window_, &r));
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, GetSystemMetrics(SM_CXMAXIMIZED));
  EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYMAXIMIZED) + GetSystemMetrics(SM_CYCAPTION));
  EXPECT_TRUE(IsWindowVisible(window_));
  const LONG style = GetWindowLongA(window_, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME), 0);
  EXPECT_TRUE(style & WS_POPUP);
  PostMessageA(window_, WM_CLOSE, 0, 0);
  ExpectEndsCleanly();
}

TEST_F(Renderer, ScreenShowsOnlyColourTableColours) {
  const uzoom::ColourTable table = uzoom::MakeColourTable();
  std::set<std::uint32_t> palette;
  for (const uzoom::Colour& c : table)
    palette.insert(static_cast<std::uint32_t>(c.red) << 16 | c.green << 8 | c.blue);
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  // Wait for the first frames in the colour table (the window starts with a
  // grey ramp); a zoomed-in moment may show only a few colours.
  std::set<std::uint32_t> seen;
  int foreign = 0;
  for (int attempt = 0; attempt < 50; ++attempt) {
    const desktop::Shot shot = desktop::TakeShot(0, 0, w, h);
    seen.clear();
    foreign = 0;
    for (std::uint32_t p : shot.pixels) {
      seen.insert(p);
      foreign += palette.count(p) == 0;
    }
    if (foreign == 0 && seen.size() >= 4) break;
    Sleep(100);
  }
  EXPECT_EQ(foreign, 0) << "pixels outside the colour table";
  // A picture, not a flat screen.
  EXPECT_GE(seen.size(), 4u);
  PostMessageA(window_, WM_CLOSE, 0, 0);
  ExpectEndsCleanly();
}

TEST_F(Renderer, SwitchesTheScreenSaverOffWhileItRuns) {
  EXPECT_FALSE(desktop::ScreenSaverActive());
  PostMessageA(window_, WM_CLOSE, 0, 0);
  ExpectEndsCleanly();
}

TEST_F(Renderer, EscapeKeyEndsIt) {
  desktop::Activate(window_);
  desktop::PressKey(VK_ESCAPE);
  ExpectEndsCleanly();
}

TEST_F(Renderer, OtherKeysAndTheMouseLeaveItRunning) {
  desktop::Activate(window_);
  for (WORD vk : {WORD('A'), WORD(VK_SPACE), WORD(VK_RETURN), WORD(VK_F1)}) desktop::PressKey(vk);
  desktop::ClickAt(100, 100);
  desktop::ClickAt(300, 200, true);
  Sleep(600);
  EXPECT_TRUE(proc_.Running());
  EXPECT_NE(FindWindowA(nullptr, Title), nullptr);
  desktop::PressKey(VK_ESCAPE);
  ExpectEndsCleanly();
}

TEST_F(Renderer, CloseFromAnotherProcessEndsIt) {
  Sleep(300);
  PostMessageA(window_, WM_CLOSE, 0, 0);
  ExpectEndsCleanly();
}

}  // namespace
