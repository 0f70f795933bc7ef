#include "renderer/win32/frame_loop.h"

#include <windows.h>

#include "renderer/julia_zoom.h"
#include "renderer/win32/display.h"

namespace uzoom {
namespace {

class SystemClock : public Clock {
 public:
  std::uint32_t Now() override { return timeGetTime(); }
};

}  // namespace

void RunZoom() {
  const std::int32_t width = GetSystemMetrics(SM_CXMAXIMIZED);
  const std::int32_t height = GetSystemMetrics(SM_CYMAXIMIZED) + GetSystemMetrics(SM_CYCAPTION);
  // Nothing is hidden or switched off yet, so a refused size or missing
  // memory simply ends the run.
  Buffers buffers;
  if (Allocate(buffers, width, height) != AllocResult::Ok) return;
  const ColourTable colours = MakeColourTable();
  const PathTable path = MakePathTable();
  if (!gdi::InitWindow(contract::RendererClass, width, height)) return;
  gdi::SetPalette(colours.data(), static_cast<int>(colours.size()));
  SystemClock clock;
  for (;;) {
    DrawFrame(buffers, path, clock);
    gdi::ShowFrame(buffers.FrameBuffer.data());
  }
}

}  // namespace uzoom
