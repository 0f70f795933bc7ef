#include "renderer/plain.h"

#include "renderer/resampler.h"

namespace renderer::plain {
namespace {

// 32-bit product with two's complement wrap-around.
std::uint32_t Mul(std::int32_t a, std::int32_t b) {
  return static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b);
}

}  // namespace

void RenderJulia(std::uint8_t* texture, double cx, double cy, int maxIter) {
  const std::int32_t CX = RoundToInt(cx * 1024.0L);
  const std::int32_t CY = RoundToInt(cy * 1024.0L);
  constexpr std::int32_t halfW = TexWidth / 2;
  constexpr std::int32_t halfH = TexHeight / 2;
  constexpr std::int32_t step = TexHeight < TexWidth ? 3000000 / TexHeight : 3000000 / TexWidth;
  std::uint8_t* fwd = texture;
  std::uint8_t* back = texture + TexWidth * TexHeight - 1;
  for (std::int32_t j = 0; j < halfH; ++j) {
    for (std::int32_t col = TexWidth - 1; col >= 0; --col) {
      std::int32_t y = ((j - halfH) * step) / 1024;
      std::int32_t x = ((col - halfW) * step) / 1024;
      std::uint8_t value = 255;
      for (std::int32_t k = 0; k < maxIter; ++k) {
        const std::int32_t xx = static_cast<std::int32_t>(Mul(x, x) >> 10);
        const std::int32_t yy = static_cast<std::int32_t>(Mul(y, y) >> 10);
        if (xx + yy > 2048) {
          value = static_cast<std::uint8_t>((4 * k) % 256);
          break;
        }
        y = static_cast<std::int32_t>(Mul(x, y)) / 512 + CY;
        x = xx - yy + CX;
      }
      *fwd++ = value;
      *back-- = value;
    }
  }
}

void ZoomFrame(Buffers& b, std::int32_t px, std::int32_t py, double s) {
  if (b.ScreenWidth <= 0 || b.ScreenHeight <= 0) return;
  std::uint8_t* const T = b.Texture.data();
  CopyWrapRows(T);
  const Geometry g = FrameGeometry(b, px, py, s);
  std::int32_t v = g.y0 % Hy;
  for (std::int32_t row = 0; row < b.ScreenHeight; ++row) {
    std::uint8_t* out = b.FrameBuffer.data() + row * b.Stride;
    const std::int32_t fy = v & 255;
    const std::int32_t base = (v >> 8) * TexWidth;
    std::int32_t u = g.x0 % Wx;
    for (std::int32_t col = 0; col < b.ScreenWidth; ++col) {
      const std::int32_t fx = u & 255;
      const std::int32_t i = base + (u >> 8);
      out[col] = static_cast<std::uint8_t>(
          (T[i] * (256 - fx) * (256 - fy) + T[i + 1] * fx * (256 - fy) +
           T[i + TexWidth] * (256 - fx) * fy + T[i + TexWidth + 1] * fx * fy) >>
          16);
      u += g.dx;
      if (u >= Wx) u -= Wx;
    }
    v += g.dy;
    if (v >= Hy) v -= Hy;
  }
}

void DrawFrame(Buffers& b, const PathTable& path, Clock& clock) {
  DrawFrameWith(plain::RenderJulia, plain::ZoomFrame, b, path, clock);
}

}  // namespace renderer::plain
