#include "renderer/frame.h"

#include <chrono>

#include "renderer/resampler.h"
#include "renderer/texture.h"

namespace renderer {

std::uint32_t SteadyClock::Now() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void DrawFrameWith(TextureStage texture, ResampleStage resample, Buffers& b, const PathTable& path,
                   Clock& clock) {
  const JuliaParameter c = JuliaAt(path, clock.Now());
  texture(b.Texture.data(), c.cx, c.cy, MaxIter);
  const std::uint32_t t1 = clock.Now();
  const std::uint32_t t2 = clock.Now();
  const std::int32_t px = PanX(t1, t2);
  const std::uint32_t t3 = clock.Now();
  const std::uint32_t t4 = clock.Now();
  const std::int32_t py = PanY(t3, t4);
  const double s = ScaleAt(clock.Now());
  resample(b, px, py, s);
}

void DrawFrame(Buffers& b, const PathTable& path, Clock& clock) {
  DrawFrameWith(RenderJulia, ZoomFrame, b, path, clock);
}

}  // namespace renderer
