#include "renderer/texture.h"

#include <cstring>

#include "renderer/code_path.h"
#include "renderer/formulas.h"

namespace renderer {

void RenderJulia(std::uint8_t* texture, double cx, double cy, int maxIter) {
  const kernels::Kernels& k = ActiveKernels();
  const std::int32_t CX = RoundToInt(cx * 1024.0L);
  const std::int32_t CY = RoundToInt(cy * 1024.0L);
  constexpr std::int32_t halfW = TexWidth / 2;
  constexpr std::int32_t halfH = TexHeight / 2;
  constexpr std::int32_t step = TexHeight < TexWidth ? 3000000 / TexHeight : 3000000 / TexWidth;
  std::int32_t xs[TexWidth];
  for (std::int32_t col = 0; col < TexWidth; ++col) xs[col] = ((col - halfW) * step) / 1024;
  if (k.JuliaHalf != nullptr) {
    // Row 239 - j holds row j in order: the lower half, from the middle row
    // down, is the rows of y = ((-1 - r) step) / 1024. The upper half holds
    // the same bytes in reverse order.
    std::int32_t ys[halfH];
    for (std::int32_t r = 0; r < halfH; ++r) ys[r] = ((-1 - r) * step) / 1024;
    k.JuliaHalf(xs, TexWidth, ys, halfH, CX, CY, maxIter, texture + halfH * TexWidth, texture);
    return;
  }
  std::uint8_t vals[TexWidth];
  for (std::int32_t j = 0; j < halfH; ++j) {
    k.JuliaRow(xs, ((j - halfH) * step) / 1024, CX, CY, maxIter, vals, TexWidth);
    // Row j holds the points from the last column to the first; row 239 - j
    // holds them in order (the picture turned by 180 degrees).
    std::uint8_t* upper = texture + j * TexWidth;
    static_assert(TexWidth % 8 == 0);
    for (std::int32_t col = 0; col < TexWidth; col += 8) {
      std::uint64_t eight;
      std::memcpy(&eight, vals + col, 8);
      eight = __builtin_bswap64(eight);  // the eight bytes in reverse order
      std::memcpy(upper + TexWidth - 8 - col, &eight, 8);
    }
    std::memcpy(texture + (TexHeight - 1 - j) * TexWidth, vals, TexWidth);
  }
}

}  // namespace renderer
