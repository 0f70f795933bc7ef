// What the screen-saver host asks for: the mode letter and the preview
// window handle on the command line, and what the shell does for them.
#pragma once

#include <cstdint>
#include <string_view>

namespace command_line {

// The second character of the upper-cased arguments ('\0' when they are
// shorter than two characters). The first one (/ or -) is never looked at.
char ModeLetter(std::string_view args);

// The decimal number from the fourth character on (as in "/p 1234" or
// "/p:1234"), as a 32-bit signed integer; 0 when there is none or it does not
// fit.
std::int32_t PreviewHandle(std::string_view args);
// The settings dialog's owner window ("/c:1234" or "/c 1234"), read the same way.
inline std::int32_t OwnerHandle(std::string_view args) { return PreviewHandle(args); }

enum class Action {
  Preview,    // inside the given window; settings not read, renderer not looked for
  Configure,  // the settings dialog
  Run,        // the screen saver itself
  End,        // any other mode: end once the start-up checks are done
};
Action ActionFor(std::string_view args);

// Whether a run hides the cursor (mode "S"; a run without arguments does not).
bool RunHidesCursor(std::string_view args);

}  // namespace command_line
