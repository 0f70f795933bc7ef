#pragma once

namespace uzoom {

// Sets up the buffers and the window and runs the frame loop. Returns only
// when the run could not be set up; a close request ends the process.
void RunZoom();

}  // namespace uzoom
