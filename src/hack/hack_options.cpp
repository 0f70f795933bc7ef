#include "hack/hack_options.h"

#include <string_view>

#include "common/ascii.h"

namespace hack {
namespace {

constexpr unsigned long long MaxWindowId = 0xFFFFFFFFull;
constexpr unsigned long long MaxClockMs = 0xFFFFFFFFull;

int DigitValue(char c, int base) {
  const int v = common::ascii::HexDigit(c);
  return v < base ? v : -1;
}

// Digits only, in the given base, no larger than limit.
bool ParseDigits(std::string_view text, int base, unsigned long long limit,
                 unsigned long long& out) {
  if (text.empty()) return false;
  unsigned long long v = 0;
  for (const char c : text) {
    const int d = DigitValue(c, base);
    if (d < 0) return false;
    v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    if (v > limit) return false;
  }
  out = v;
  return true;
}

// "-name" or "--name" to "name"; anything else to "".
std::string_view FlagName(const char* arg) {
  std::string_view a(arg);
  if (a.size() < 2 || a[0] != '-') return {};
  a.remove_prefix(a[1] == '-' ? 2 : 1);
  return a;
}

// Digits of a geometry from the start of text (consumed), at most limit.
bool TakeNumber(std::string_view& text, int limit, int& out) {
  std::size_t n = 0;
  while (n < text.size() && text[n] >= '0' && text[n] <= '9') ++n;
  unsigned long long v = 0;
  if (n == 0 || !ParseDigits(text.substr(0, n), 10, static_cast<unsigned long long>(limit), v))
    return false;
  out = static_cast<int>(v);
  text.remove_prefix(n);
  return true;
}

// A sign and digits of an offset: true for '-'.
bool TakeOffset(std::string_view& text, int& out, bool& negative) {
  if (text.empty() || (text[0] != '+' && text[0] != '-')) return false;
  negative = text[0] == '-';
  text.remove_prefix(1);
  return TakeNumber(text, MaxWindowSide, out);
}

ParseResult Refuse(std::string why) {
  ParseResult r;
  r.Error = std::move(why);
  return r;
}

}  // namespace

bool ParseWindowId(const char* text, unsigned long& id) {
  if (text == nullptr) return false;
  std::string_view t(text);
  int base = 10;
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    t.remove_prefix(2);
    base = 16;
  }
  unsigned long long v = 0;
  if (!ParseDigits(t, base, MaxWindowId, v) || v == 0) return false;
  id = static_cast<unsigned long>(v);
  return true;
}

bool ParseGeometry(const char* text, Geometry& geometry) {
  if (text == nullptr) return false;
  std::string_view t(text);
  if (!t.empty() && t[0] == '=') t.remove_prefix(1);
  Geometry g = geometry;
  if (!t.empty() && t[0] != '+' && t[0] != '-') {
    if (!TakeNumber(t, MaxWindowSide, g.Width) || t.empty() || (t[0] != 'x' && t[0] != 'X'))
      return false;
    t.remove_prefix(1);
    if (!TakeNumber(t, MaxWindowSide, g.Height) || g.Width == 0 || g.Height == 0) return false;
    g.SizeGiven = true;
  }
  if (!t.empty()) {
    if (!TakeOffset(t, g.X, g.FromRight) || !TakeOffset(t, g.Y, g.FromBottom) || !t.empty())
      return false;
    g.PositionGiven = true;
  }
  if (!g.SizeGiven && !g.PositionGiven) return false;
  geometry = g;
  return true;
}

int PlaceLeft(const Geometry& g, int screenWidth) {
  return g.FromRight ? screenWidth - g.Width - g.X : g.X;
}

int PlaceTop(const Geometry& g, int screenHeight) {
  return g.FromBottom ? screenHeight - g.Height - g.Y : g.Y;
}

ParseResult ParseOptions(int argc, const char* const* argv, const char* screensaverWindow) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string_view name = FlagName(argv[i]);
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    unsigned long long number = 0;
    if (name == "root" || name == "window") {
      o.Where = name == "root" ? Target::Root : Target::OwnWindow;
      o.WindowId = 0;
    } else if (name == "window-id") {
      if (!ParseWindowId(value, o.WindowId))
        return Refuse("-window-id takes a window number (0x hex or decimal)");
      o.Where = Target::WindowId;
      ++i;
    } else if (name == "delay") {
      if (value == nullptr || !ParseDigits(value, 10, MaxDelayMicroseconds, number))
        return Refuse("-delay takes microseconds from 0 to 10000000");
      o.DelayMicroseconds = static_cast<long>(number);
      ++i;
    } else if (name == "clock") {
      if (value == nullptr || !ParseDigits(value, 10, MaxClockMs, number))
        return Refuse("-clock takes milliseconds from 0 to 4294967295");
      o.FixedClock = true;
      o.ClockMs = static_cast<std::uint32_t>(number);
      ++i;
    } else if (name == "display") {
      if (value == nullptr || *value == '\0') return Refuse("-display takes a display name");
      o.DisplayName = value;
      ++i;
    } else if (name == "geometry") {
      if (!ParseGeometry(value, o.Window))
        return Refuse("-geometry takes WIDTHxHEIGHT, +X+Y or both (for instance 640x480+0+0)");
      ++i;
    } else if (name == "h" || name == "help") {
      o.Help = true;
    } else if (name == "fps") {
      o.ShowFps = true;
    } else if (name == "visual") {
      // The daemon may choose a visual by name; we draw on the window's own.
      if (value == nullptr) return Refuse("-visual takes a visual name");
      ++i;
    } else if (name == "mono" || name == "install" || name == "noinstall") {
      // Accepted for the daemon's sake; they change nothing here.
    } else {
      return Refuse(std::string("unknown argument: ") + argv[i]);
    }
  }
  if (o.Where == Target::Root && screensaverWindow != nullptr && *screensaverWindow != '\0') {
    if (!ParseWindowId(screensaverWindow, o.WindowId))
      return Refuse("XSCREENSAVER_WINDOW is not a window number");
    o.Where = Target::WindowId;
  }
  ParseResult r;
  r.Ok = true;
  r.Parsed = o;
  return r;
}

std::string UsageLine(const char* program) {
  return std::string("usage: ") + (program != nullptr ? program : "vorrasin") +
         " [-display NAME] [-root | -window | -window-id ID] [-geometry WxH+X+Y]"
         " [-delay MICROSECONDS] [-fps] [-clock MS] [-mono] [-install] [-noinstall]"
         " [-visual NAME] [-h]";
}

std::string HelpText(const char* program) {
  return UsageLine(program) +
         "\n"
         "An endlessly zooming Julia-set fractal, as an XScreenSaver hack.\n"
         "  -display NAME       the X display (default $DISPLAY)\n"
         "  -window             a window of its own (the default); Escape or q ends it\n"
         "  -root               $XSCREENSAVER_WINDOW if set, else the (virtual) root window\n"
         "  -window-id ID       an existing window, 0x hex or decimal\n"
         "  -geometry WxH+X+Y   size and place of its own window (default 1280x720)\n"
         "  -delay MICROSECONDS pause between frames, 0 to 10000000 (default 16667)\n"
         "  -fps                frames per second and processor load in the bottom-left corner\n"
         "  -clock MS           every frame at that clock, in milliseconds\n"
         "  -mono, -install, -noinstall, -visual NAME   accepted, change nothing\n"
         "  -h, --help          this text\n"
         "Flags take one or two dashes. Exit status: 0 when ended by a key, its window\n"
         "or the daemon; 1 for a bad command line, display or window; SIGTERM and SIGINT\n"
         "end it, after cleaning up, by that signal.\n";
}

}  // namespace hack
