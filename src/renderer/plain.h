// The picture computed plainly, one point and one pixel at a time: the
// yardstick for speed and for exactness.
#pragma once

#include <cstdint>

#include "renderer/frame.h"

namespace renderer::plain {

void RenderJulia(std::uint8_t* texture, double cx, double cy, int maxIter);
void ZoomFrame(Buffers& b, std::int32_t px, std::int32_t py, double s);
void DrawFrame(Buffers& b, const PathTable& path, Clock& clock);

}  // namespace renderer::plain
