// The escape-time texture of z -> z^2 + c on the active code path.
#pragma once

#include <cstdint>

namespace renderer {

// Fills the 320 x 240 image rows of texture (at least TexWidth * TexHeight
// bytes) with the escape-time picture of z -> z^2 + c.
void RenderJulia(std::uint8_t* texture, double cx, double cy, int maxIter);

}  // namespace renderer
