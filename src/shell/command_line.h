// What the screen-saver host asks for: the mode letter and the preview
// window handle on the command line, and what the shell does for them.
#pragma once

#include <cstdint>
#include <string_view>

namespace shell::command_line {

// The second character of the upper-cased arguments ('\0' when they are
// shorter than two characters). The first one (/ or -) is never looked at.
char ModeLetter(std::string_view args);

// The window handle written as a decimal number from the fourth character on:
// the preview pane ("/p 1234", "/p:1234") or the settings dialog's owner
// ("/c:1234", "/c 1234"), as a value of a handle handleBits wide (32 or 64).
// A 64-bit host writes handles unsigned, a 32-bit one may write them signed:
// a negative number stands for its two's complement. A whole number is read
// exactly, whatever its size; any other (2.5, 1E3) is rounded to the nearest
// whole number, ties to even. 0 when there is no number or it does not fit
// the handle.
std::uint64_t WindowHandle(std::string_view args, unsigned handleBits);

enum class Action {
  Preview,    // inside the given window; settings not read, renderer not looked for
  Configure,  // the settings dialog
  Run,        // the screen saver itself
  End,        // any other mode: end once the start-up checks are done
};
Action ActionFor(std::string_view args);

// Whether a run hides the cursor (mode "S"; a run without arguments does not).
bool RunHidesCursor(std::string_view args);

}  // namespace shell::command_line
