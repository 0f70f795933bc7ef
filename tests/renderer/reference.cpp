#include "renderer/reference.h"

#include <cmath>

#include "renderer/julia_zoom.h"

namespace reference {
namespace {

constexpr int W = 320, H = 240;

int Escape(std::int64_t x, std::int64_t y, std::int64_t cx, std::int64_t cy, int maxIter) {
  for (int k = 0; k < maxIter; ++k) {
    const std::int64_t xx = (x * x) / 1024;  // x * x is never negative
    const std::int64_t yy = (y * y) / 1024;
    if (xx + yy > 2048) return (4 * k) % 256;
    const std::int64_t ny = (x * y) / 512 + cy;  // truncates toward zero
    x = xx - yy + cx;
    y = ny;
  }
  return 255;
}

std::int64_t Mod(std::int64_t a, std::int64_t m) { return ((a % m) + m) % m; }

}  // namespace

std::vector<std::uint8_t> Texture(double cx, double cy, int maxIter) {
  const std::int64_t CX = std::llrint(static_cast<long double>(cx) * 1024);
  const std::int64_t CY = std::llrint(static_cast<long double>(cy) * 1024);
  const std::int64_t step = 3000000 / 240;
  std::vector<std::uint8_t> t(W * H);
  for (int r = 0; r < H; ++r) {
    for (int m = 0; m < W; ++m) {
      // Upper rows hold the points right to left; the lower half is the
      // upper half turned by 180 degrees.
      const int j = r < H / 2 ? r : H - 1 - r;
      const int col = r < H / 2 ? W - 1 - m : m;
      const std::int64_t y = ((j - H / 2) * step) / 1024;
      const std::int64_t x = ((col - W / 2) * step) / 1024;
      t[r * W + m] = static_cast<std::uint8_t>(Escape(x, y, CX, CY, maxIter));
    }
  }
  return t;
}

std::vector<std::uint8_t> Frame(const std::vector<std::uint8_t>& texture, int width, int height,
                                int px, int py, double s) {
  s = std::fmin(std::fmax(s, 0.01), 100.0);
  const std::int64_t Wx = W * 256, Hy = H * 256;
  const long double half = static_cast<long double>(s) / 2;
  const std::int64_t x0 = std::llrint((px - W * half) * 256);
  const std::int64_t x1 = std::llrint((W * half + px) * 256);
  const std::int64_t y0 = std::llrint((py - H * half) * 256);
  const std::int64_t y1 = std::llrint((H * half + py) * 256);
  const std::int64_t dx = (x1 - x0) / width;
  const std::int64_t dy = (y1 - y0) / height;
  const std::int64_t n = W * H;
  std::vector<std::uint8_t> f(static_cast<std::size_t>(width) * height);
  for (int row = 0; row < height; ++row) {
    const std::int64_t v = Mod(y0 + row * dy, Hy);
    const std::int64_t fy = v % 256;
    for (int col = 0; col < width; ++col) {
      const std::int64_t u = Mod(x0 + col * dx, Wx);
      const std::int64_t fx = u % 256;
      // The image read as one long periodic strip: right of the last column
      // is the next row, below the last row is the first.
      const std::int64_t i = (v / 256) * W + u / 256;
      const std::int64_t sum =
          texture[i % n] * (256 - fx) * (256 - fy) + texture[(i + 1) % n] * fx * (256 - fy) +
          texture[(i + W) % n] * (256 - fx) * fy + texture[(i + W + 1) % n] * fx * fy;
      f[static_cast<std::size_t>(row) * width + col] = static_cast<std::uint8_t>(sum / 65536);
    }
  }
  return f;
}

std::vector<std::uint8_t> FrameAt(std::uint32_t t, int width, int height) {
  const uzoom::PathTable path = uzoom::MakePathTable();
  const uzoom::JuliaParameter c = uzoom::JuliaAt(path, t);
  return Frame(Texture(c.cx, c.cy, 64), width, height, uzoom::PanX(t, t), uzoom::PanY(t, t),
               uzoom::ScaleAt(t));
}

}  // namespace reference
