// Nimbrel_B: the shell's entry. Refuses a second start, reads the mode from
// the command line, reads the settings, checks that the renderer lies beside
// the shell and hands over to the preview or the run.
#pragma once

#include <windows.h>

#include "shell/settings.h"

namespace Nimbrel_B {

// The settings of this start, for the whole life of the process.
extern settings::BgmSettings BgmSettings;

// Runs the program for these arguments (the command line after the program's
// path); returns its exit code.
int Main(const char* args);

}  // namespace Nimbrel_B
