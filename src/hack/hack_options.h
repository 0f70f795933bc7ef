// The command line of the X11 hack `vorrasin`, as the XScreenSaver daemon,
// its settings program and a user type it. Portable: no X11 here; a window
// is only a number until the front end opens the display.
#pragma once

#include <cstdint>
#include <string>

namespace hack {

// Where the frames go.
enum class Target {
  OwnWindow,  // a new top-level window (no flag, or -window)
  Root,       // the virtual root or root window of the default screen
  WindowId,   // an existing window given by number
};

// About 60 frames a second.
constexpr long DefaultDelayMicroseconds = 16667;
// The longest pause we accept: ten seconds.
constexpr long MaxDelayMicroseconds = 10'000'000;
constexpr int DefaultWindowWidth = 1280;
constexpr int DefaultWindowHeight = 720;
// X11 sizes and positions are 16-bit.
constexpr int MaxWindowSide = 32767;

// The place and size of its own window, as -geometry gives them in X11's
// form [=][WxH][{+-}X{+-}Y]; a minus sign counts from the right or bottom.
struct Geometry {
  int Width = DefaultWindowWidth;
  int Height = DefaultWindowHeight;
  bool SizeGiven = false;
  bool PositionGiven = false;
  int X = 0, Y = 0;
  bool FromRight = false, FromBottom = false;
};

// The window's left and top edge on a screen of that size.
int PlaceLeft(const Geometry& g, int screenWidth);
int PlaceTop(const Geometry& g, int screenHeight);

struct Options {
  Target Where = Target::OwnWindow;
  unsigned long WindowId = 0;  // for Target::WindowId
  long DelayMicroseconds = DefaultDelayMicroseconds;
  bool ShowFps = false;
  bool FixedClock = false;  // -clock: every frame is drawn at ClockMs
  std::uint32_t ClockMs = 0;
  std::string DisplayName;  // -display; empty: $DISPLAY
  Geometry Window;          // -geometry, for its own window
  bool Help = false;        // -h, -help, --help: print the usage, draw nothing
};

struct ParseResult {
  bool Ok = false;
  Options Parsed;
  std::string Error;  // why the command line was refused
};

// argv[0] is the program name. screensaverWindow is the value of
// $XSCREENSAVER_WINDOW, or null when it is not set; -root draws into that
// window when it is set and not empty. Flags take one or two dashes.
ParseResult ParseOptions(int argc, const char* const* argv, const char* screensaverWindow);

// A window number: "0x" and hex digits, or decimal digits; nothing around
// them, not 0, at most 32 bits.
bool ParseWindowId(const char* text, unsigned long& id);

// Parses -geometry's value; false for anything else (a size of 0, over
// MaxWindowSide, signs, blanks, trailing text).
bool ParseGeometry(const char* text, Geometry& geometry);

// The line printed (after the reason) when the command line is refused.
std::string UsageLine(const char* program);
// What -h prints: the usage line, each option, the environment, the exit
// statuses.
std::string HelpText(const char* program);

}  // namespace hack
