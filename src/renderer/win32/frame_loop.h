#pragma once

namespace renderer::win32 {

// The whole run: sets up the buffers and the window, then draws, shows and
// handles the window's messages frame after frame until the window is asked
// to close, at below-normal priority. Returns the program's exit code, 0 on
// every way out; by then the window and its covers are gone, the cursor shown
// and the system screen saver as the run found it.
int RunFrameLoop();

}  // namespace renderer::win32
