#pragma once

namespace uzoom {

// The whole run: sets up the buffers and the window, then draws, shows and
// handles the window's messages frame after frame until the window is asked
// to close. Returns the program's exit code, 0 on every way out; by then the
// window is gone, the cursor shown and the system screen saver on again.
int RunZoom();

}  // namespace uzoom
