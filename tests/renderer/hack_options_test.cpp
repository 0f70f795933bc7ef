// The hack's command line and the choice of window.
#include "renderer/hack_options.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using hack::Target;
using Args = std::vector<const char*>;

// Parses argv after the program name, with $XSCREENSAVER_WINDOW (null: unset).
hack::ParseResult Parse(Args args, const char* screensaverWindow) {
  args.insert(args.begin(), "vorrasin");
  return hack::ParseOptions(static_cast<int>(args.size()), args.data(), screensaverWindow);
}

TEST(HackOptions, FlagsChooseTheWindowAndThePace) {
  struct Row {
    Args args;
    const char* screensaverWindow;
    Target where;
    unsigned long id;
    long delay;
    bool fps, fixed;
    std::uint32_t clock;
  };
  const long D = hack::DefaultDelayMicroseconds;
  const Target Own = Target::OwnWindow, Root = Target::Root, Id = Target::WindowId;
  // clang-format off
  const Row rows[] = {
      {{}, nullptr, Own, 0, D, false, false, 0},
      {{"-window"}, "0x42", Own, 0, D, false, false, 0},
      {{"-window-id", "0x1c00003"}, nullptr, Id, 0x1c00003, D, false, false, 0},
      {{"--window-id", "29360131"}, nullptr, Id, 29360131, D, false, false, 0},
      {{"-window-id", "0XfFfFfFfF"}, nullptr, Id, 0xffffffff, D, false, false, 0},
      {{"-root"}, nullptr, Root, 0, D, false, false, 0},
      {{"-root"}, "", Root, 0, D, false, false, 0},
      {{"--root"}, "0x3a00007", Id, 0x3a00007, D, false, false, 0},
      {{"-root"}, "1234", Id, 1234, D, false, false, 0},
      {{"-window-id", "0x10", "-root"}, nullptr, Root, 0, D, false, false, 0},
      {{"-delay", "0", "-fps"}, nullptr, Own, 0, 0, true, false, 0},
      {{"--delay", "10000000"}, nullptr, Own, 0, 10000000, false, false, 0},
      {{"-clock", "5000"}, nullptr, Own, 0, D, false, true, 5000},
      {{"-clock", "4294967295"}, nullptr, Own, 0, D, false, true, 4294967295u},
      {{"-mono", "-install", "-noinstall", "-visual", "x"}, nullptr, Own, 0, D, false, false, 0},
  };
  // Bad numbers, missing values, unknown flags (U: $XSCREENSAVER_WINDOW unset).
  const char* const U = nullptr;
  const std::pair<Args, const char*> refused[] = {
      {{"-root"}, "0x"}, {{"-root"}, "window"}, {{"-window-id"}, U}, {{"-window-id", "0"}, U},
      {{"-window-id", "0x100000000"}, U}, {{"-window-id", "12a"}, U}, {{"-window-id", "-5"}, U},
      {{"-window-id", " 5"}, U}, {{"-window-id", "0x"}, U}, {{"-window-id", "0xg"}, U},
      {{"-delay", "10000001"}, U}, {{"-delay", "-1"}, U}, {{"-delay", "1e3"}, U}, {{"-delay"}, U},
      {{"-clock", "4294967296"}, U}, {{"-clock"}, U}, {{"-visual"}, U}, {{"-bogus"}, U},
      {{"root"}, U}, {{"-"}, U}, {{"---root"}, U}, {{"-fps", "extra"}, U}, {{"-clock", ""}, U},
  };
  // clang-format on
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::PrintToString(r.args) + " " +
                 testing::PrintToString(r.screensaverWindow));
    const hack::ParseResult p = Parse(r.args, r.screensaverWindow);
    ASSERT_TRUE(p.Ok) << p.Error;
    EXPECT_EQ(p.Parsed.Where, r.where);
    EXPECT_EQ(p.Parsed.WindowId, r.id);
    EXPECT_EQ(p.Parsed.DelayMicroseconds, r.delay);
    EXPECT_EQ(p.Parsed.ShowFps, r.fps);
    EXPECT_EQ(p.Parsed.FixedClock, r.fixed);
    EXPECT_EQ(p.Parsed.ClockMs, r.clock);
  }
  for (const auto& [args, screensaverWindow] : refused) {
    SCOPED_TRACE(testing::PrintToString(args) + " " + testing::PrintToString(screensaverWindow));
    const hack::ParseResult p = Parse(args, screensaverWindow);
    EXPECT_FALSE(p.Ok);
    EXPECT_FALSE(p.Error.empty());
  }
}

}  // namespace
