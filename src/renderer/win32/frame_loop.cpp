#include "renderer/win32/frame_loop.h"

#include <windows.h>

#include "common/contract.h"
#include "renderer/julia_zoom.h"
#include "renderer/win32/display.h"

namespace uzoom {
namespace {

class SystemClock : public Clock {
 public:
  std::uint32_t Now() override { return timeGetTime(); }
};

// Everything a run owns: the picture's buffers and path, and the window with
// its DC and colour table. Destroying it takes the window down and gives the
// cursor and the screen saver back.
struct ZoomRun {
  Buffers Picture;
  PathTable Path = MakePathTable();
  gdi::Display Screen;
  SystemClock Time;
};

// Handles the window's pending messages (only its own: the thread's other
// messages stay queued). False once the window was asked to close.
bool PumpMessages(const gdi::Display& display) {
  MSG msg;
  while (!display.CloseRequested() && PeekMessageA(&msg, display.Window(), 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return !display.CloseRequested();
}

}  // namespace

int RunZoom() {
  // It draws flat out: the user's own background work comes first.
  SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS);
  ZoomRun run;  // the Display in it notes the screen-saver flag before any metric
  const std::int32_t width = GetSystemMetrics(SM_CXMAXIMIZED);
  const std::int32_t height = GetSystemMetrics(SM_CYMAXIMIZED) + GetSystemMetrics(SM_CYCAPTION);
  // Nothing is hidden or switched off yet, so a refused size or missing
  // memory simply ends the run.
  if (Allocate(run.Picture, width, height) != AllocResult::Ok) return 0;
  const ColourTable colours = MakeColourTable();
  if (!run.Screen.InitWindow(contract::RendererClass, width, height)) return 0;
  run.Screen.SetPalette(colours.data(), static_cast<int>(colours.size()));
  for (;;) {
    DrawFrame(run.Picture, run.Path, run.Time);
    run.Screen.ShowFrame(run.Picture.FrameBuffer.data());
    if (!PumpMessages(run.Screen)) break;
    Sleep(0);
  }
  run.Screen.DoneWindow();
  return 0;
}

}  // namespace uzoom
