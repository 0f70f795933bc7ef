#include "renderer/hack_options.h"

#include <string_view>

namespace hack {
namespace {

constexpr unsigned long long MaxWindowId = 0xFFFFFFFFull;
constexpr unsigned long long MaxClockMs = 0xFFFFFFFFull;

int DigitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
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
         " [-root | -window | -window-id ID] [-delay MICROSECONDS] [-fps] [-clock MS]"
         " [-mono] [-install] [-noinstall] [-visual NAME]";
}

}  // namespace hack
