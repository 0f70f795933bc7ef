// The shell's entry: refuses a second start, reads the mode from
// the command line, reads the settings, checks that the renderer lies beside
// the shell and hands over to the preview, the settings dialog or the run.
#pragma once

namespace shell {

// Runs the program for these arguments (the command line after the program's
// path); returns its exit code.
int Main(const char* args);

}  // namespace shell
