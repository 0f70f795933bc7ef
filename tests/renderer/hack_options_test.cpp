// The hack's command line and the choice of window.
#include "renderer/hack_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using hack::Target;

struct Call {
  std::vector<const char*> args;
  const char* screensaverWindow;  // $XSCREENSAVER_WINDOW, null when unset
};

hack::ParseResult Parse(const Call& c, std::string& trace) {
  std::vector<const char*> argv = {"vorrasin"};
  argv.insert(argv.end(), c.args.begin(), c.args.end());
  for (const char* a : argv) trace += std::string(a) + " ";
  trace += std::string("XSCREENSAVER_WINDOW=") + (c.screensaverWindow ? c.screensaverWindow : "-");
  return hack::ParseOptions(static_cast<int>(argv.size()), argv.data(), c.screensaverWindow);
}

TEST(HackOptions, FlagsChooseTheWindowAndThePace) {
  struct Row {
    Call call;
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
      {{{}, nullptr}, Own, 0, D, false, false, 0},
      {{{"-window"}, "0x42"}, Own, 0, D, false, false, 0},
      {{{"-window-id", "0x1c00003"}, nullptr}, Id, 0x1c00003, D, false, false, 0},
      {{{"--window-id", "29360131"}, nullptr}, Id, 29360131, D, false, false, 0},
      {{{"-window-id", "0XfFfFfFfF"}, nullptr}, Id, 0xffffffff, D, false, false, 0},
      {{{"-root"}, nullptr}, Root, 0, D, false, false, 0},
      {{{"-root"}, ""}, Root, 0, D, false, false, 0},
      {{{"--root"}, "0x3a00007"}, Id, 0x3a00007, D, false, false, 0},
      {{{"-root"}, "1234"}, Id, 1234, D, false, false, 0},
      {{{"-window-id", "0x10", "-root"}, nullptr}, Root, 0, D, false, false, 0},
      {{{"-window-id", "0x10", "-window"}, nullptr}, Own, 0, D, false, false, 0},
      {{{"-delay", "0", "-fps"}, nullptr}, Own, 0, 0, true, false, 0},
      {{{"--delay", "10000000"}, nullptr}, Own, 0, 10000000, false, false, 0},
      {{{"-clock", "5000"}, nullptr}, Own, 0, D, false, true, 5000},
      {{{"-clock", "4294967295"}, nullptr}, Own, 0, D, false, true, 4294967295u},
      {{{"-mono", "-install", "-noinstall", "-visual", "default"}, nullptr}, Own, 0, D, false,
       false, 0},
  };
  // Bad numbers, missing values, unknown flags.
  const Call refused[] = {
      {{"-root"}, "0x"}, {{"-root"}, "window"}, {{"-window-id"}, nullptr},
      {{"-window-id", "0"}, nullptr}, {{"-window-id", "0x100000000"}, nullptr},
      {{"-window-id", "12a"}, nullptr}, {{"-window-id", "-5"}, nullptr},
      {{"-window-id", " 5"}, nullptr}, {{"-window-id", "0x"}, nullptr},
      {{"-window-id", "0xg"}, nullptr}, {{"-delay", "10000001"}, nullptr},
      {{"-delay", "-1"}, nullptr}, {{"-delay", "1e3"}, nullptr}, {{"-delay"}, nullptr},
      {{"-clock", "4294967296"}, nullptr}, {{"-clock"}, nullptr}, {{"-visual"}, nullptr},
      {{"-bogus"}, nullptr}, {{"root"}, nullptr}, {{"-"}, nullptr}, {{"---root"}, nullptr},
      {{"-fps", "extra"}, nullptr},
  };
  // clang-format on
  for (const Row& r : rows) {
    std::string trace;
    const hack::ParseResult p = Parse(r.call, trace);
    SCOPED_TRACE(trace);
    ASSERT_TRUE(p.Ok) << p.Error;
    EXPECT_EQ(p.Parsed.Where, r.where);
    EXPECT_EQ(p.Parsed.WindowId, r.id);
    EXPECT_EQ(p.Parsed.DelayMicroseconds, r.delay);
    EXPECT_EQ(p.Parsed.ShowFps, r.fps);
    EXPECT_EQ(p.Parsed.FixedClock, r.fixed);
    EXPECT_EQ(p.Parsed.ClockMs, r.clock);
  }
  for (const Call& c : refused) {
    std::string trace;
    const hack::ParseResult p = Parse(c, trace);
    SCOPED_TRACE(trace);
    EXPECT_FALSE(p.Ok);
    EXPECT_FALSE(p.Error.empty());
  }
  EXPECT_EQ(hack::UsageLine("vorrasin").rfind("usage: vorrasin [-root | -window", 0), 0u);
}

}  // namespace
