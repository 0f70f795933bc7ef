// The hack's command line and the choice of window.
#include "hack/hack_options.h"

#include <gtest/gtest.h>

#include <tuple>
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
  using Row = std::tuple<Args, const char*, Target, unsigned long, long, bool, bool, std::uint32_t>;
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
      {{"-display", ":7", "--geometry", "5x5"}, nullptr, Own, 0, D, false, false, 0},
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
      {{"-display"}, U}, {{"-display", ""}, U}, {{"-geometry"}, U}, {{"-geometry", "big"}, U},
  };
  // clang-format on
  for (const auto& [args, screensaverWindow, where, id, delay, fps, fixed, clock] : rows) {
    SCOPED_TRACE(testing::PrintToString(args) + " " + testing::PrintToString(screensaverWindow));
    const hack::ParseResult p = Parse(args, screensaverWindow);
    ASSERT_TRUE(p.Ok) << p.Error;
    const hack::Options& o = p.Parsed;
    EXPECT_EQ(
        std::tie(o.Where, o.WindowId, o.DelayMicroseconds, o.ShowFps, o.FixedClock, o.ClockMs),
        std::tie(where, id, delay, fps, fixed, clock));
  }
  for (const auto& [args, screensaverWindow] : refused) {
    SCOPED_TRACE(testing::PrintToString(args) + " " + testing::PrintToString(screensaverWindow));
    const hack::ParseResult p = Parse(args, screensaverWindow);
    EXPECT_FALSE(p.Ok);
    EXPECT_FALSE(p.Error.empty());
  }
}

TEST(HackOptions, DisplayHelpAndGeometry) {
  hack::ParseResult p = Parse({"--display", "host:1.0", "-h"}, nullptr);
  EXPECT_TRUE(p.Ok && p.Parsed.Help && p.Parsed.DisplayName == "host:1.0");
  EXPECT_TRUE(Parse({"--help"}, nullptr).Parsed.Help && Parse({"-help"}, nullptr).Parsed.Help);
  EXPECT_FALSE(Parse({"-root"}, nullptr).Parsed.Help);
  EXPECT_EQ(Parse({}, nullptr).Parsed.DisplayName, "");
  // Text; width, height, given; x, y, given, from the right, from the bottom;
  // left and top edge on a 1000 x 800 screen.
  const int W = hack::DefaultWindowWidth, H = hack::DefaultWindowHeight;
  const std::pair<const char*, std::vector<int>> rows[] = {
      {"640x480", {640, 480, 1, 0, 0, 0, 0, 0, 0, 0}},
      {"=1X32767", {1, 32767, 1, 0, 0, 0, 0, 0, 0, 0}},
      {"+10+20", {W, H, 0, 10, 20, 1, 0, 0, 10, 20}},
      {"300x200-10-0", {300, 200, 1, 10, 0, 1, 1, 1, 690, 600}},
      {"=300x200+5-7", {300, 200, 1, 5, 7, 1, 0, 1, 5, 593}},
      {"100x100-0+32767", {100, 100, 1, 0, 32767, 1, 1, 0, 900, 32767}},
  };
  for (const auto& [text, expected] : rows) {
    p = Parse({"-geometry", text}, nullptr);
    ASSERT_TRUE(p.Ok) << text << ": " << p.Error;
    const hack::Geometry& g = p.Parsed.Window;
    EXPECT_EQ(
        std::vector<int>({g.Width, g.Height, g.SizeGiven, g.X, g.Y, g.PositionGiven, g.FromRight,
                          g.FromBottom, hack::PlaceLeft(g, 1000), hack::PlaceTop(g, 800)}),
        expected)
        << text;
  }
  for (const char* bad :
       {"", "=", "0x5", "5x0", "32768x1", "1x32768", "5x", "x5", "5", "5x5+1", "+1", "+1+2+3",
        "5x5 +1+2", " 5x5", "5x5+1+32768", "+-1+2", "5y5", "5x5+1+2x"}) {
    hack::Geometry g;
    EXPECT_FALSE(hack::ParseGeometry(bad, g)) << bad;
    EXPECT_FALSE(g.SizeGiven || g.PositionGiven) << bad;
  }
  const std::string help = hack::HelpText("vorrasin");
  EXPECT_EQ(help.rfind(hack::UsageLine("vorrasin") + "\n", 0), 0u);
  for (const char* option : {"-display", "-geometry", "-fps", "-window-id", "-delay", "-clock"})
    EXPECT_NE(help.find(std::string("\n  ") + option), std::string::npos) << option;
}

}  // namespace
