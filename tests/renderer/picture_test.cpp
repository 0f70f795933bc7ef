// The picture against values worked out apart from the product (pins.inc),
// and the edge cases of the buffers and the resampler.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <vector>

#include "renderer/frame.h"
#include "renderer/plain.h"
#include "renderer/resampler.h"
#include "renderer/texture.h"

namespace {

#include "renderer/pins.inc"

using renderer::Buffers;
constexpr int TW = renderer::TexWidth, TH = renderer::TexHeight;

std::uint32_t Fnv(const std::uint8_t* p, std::size_t n, std::uint32_t h = 2166136261u) {
  for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
  return h;
}

// The visible pixels, row by row.
std::uint32_t FrameFnv(const Buffers& b) {
  std::uint32_t h = 2166136261u;
  for (int r = 0; r < b.ScreenHeight; ++r)
    h = Fnv(b.FrameBuffer.data() + r * b.Stride, static_cast<std::size_t>(b.ScreenWidth), h);
  return h;
}

Buffers Patterned(int w, int h) {
  Buffers b;
  EXPECT_EQ(renderer::Allocate(b, w, h), renderer::AllocResult::Ok);
  for (int i = 0; i < TW * TH; ++i) b.Texture[i] = static_cast<std::uint8_t>(i * 7 + i / TW);
  return b;
}

TEST(Picture, ColourTable) {
  std::vector<std::uint8_t> rgb;
  for (const renderer::Colour& c : renderer::MakeColourTable()) {
    rgb.insert(rgb.end(), {c.red, c.green, c.blue});
    EXPECT_EQ(c.reserved, 0);
  }
  EXPECT_EQ(Fnv(rgb.data(), rgb.size()), ColourTableFnv);
}

TEST(Picture, PerFrameParameters) {
  const renderer::PathTable path = renderer::MakePathTable();
  for (const auto& [t, cx, cy] : JuliaPins) {
    SCOPED_TRACE(t);
    const renderer::JuliaParameter c = renderer::JuliaAt(path, t);
    EXPECT_NEAR(c.cx, cx, 1e-12);
    EXPECT_NEAR(c.cy, cy, 1e-12);
  }
  for (const auto& [ta, tb, px, py] : PanPins) {
    SCOPED_TRACE(::testing::Message() << ta << ", " << tb);
    EXPECT_EQ(renderer::PanX(ta, tb), px);
    EXPECT_EQ(renderer::PanY(ta, tb), py);
  }
  for (const auto& [t, s] : ScalePins) EXPECT_NEAR(renderer::ScaleAt(t), s, 1e-12) << t;
}

TEST(Picture, Textures) {
  std::vector<std::uint8_t> fast(TW * TH), plain(TW * TH);
  for (const auto& [cx, cy, maxIter, fnv] : TexturePins) {
    SCOPED_TRACE(::testing::Message() << cx << ", " << cy << " maxIter " << maxIter);
    renderer::RenderJulia(fast.data(), cx, cy, maxIter);
    renderer::plain::RenderJulia(plain.data(), cx, cy, maxIter);
    EXPECT_EQ(Fnv(fast.data(), fast.size()), fnv);
    EXPECT_EQ(Fnv(plain.data(), plain.size()), fnv);
  }
}

TEST(Picture, ResampledPattern) {
  for (const auto& [w, h, px, py, s, fnv] : ZoomPins) {
    SCOPED_TRACE(::testing::Message() << w << "x" << h << " at " << px << ", " << py << " s " << s);
    Buffers fast = Patterned(w, h), plain = Patterned(w, h);
    renderer::ZoomFrame(fast, px, py, s);
    renderer::plain::ZoomFrame(plain, px, py, s);
    EXPECT_EQ(FrameFnv(fast), fnv);
    EXPECT_EQ(FrameFnv(plain), fnv);
  }
}

TEST(Picture, WholeFramesFromTheClock) {
  const renderer::PathTable path = renderer::MakePathTable();
  for (const auto& [t, w, h, fnv] : FramePins) {
    SCOPED_TRACE(::testing::Message() << "clock " << t << ", " << w << "x" << h);
    Buffers fast, plain;
    ASSERT_EQ(renderer::Allocate(fast, w, h), renderer::AllocResult::Ok);
    ASSERT_EQ(renderer::Allocate(plain, w, h), renderer::AllocResult::Ok);
    renderer::FixedClock a(t), b(t);
    renderer::DrawFrame(fast, path, a);
    renderer::plain::DrawFrame(plain, path, b);
    EXPECT_EQ(FrameFnv(fast), fnv);
    EXPECT_EQ(FrameFnv(plain), fnv);
  }
}

TEST(Allocate, RefusesBadSizesAndLaysRowsAtTheStride) {
  constexpr int Max = renderer::MaxSurfaceSide;
  // Width, height; accepted; frame bytes (rows at a multiple of 4 bytes).
  const std::tuple<int, int, bool, std::size_t> rows[] = {
      {0, 768, false, 0},     {1024, -1, false, 0},    {Max + 1, 10, false, 0},
      {3, Max + 1, false, 0}, {7, 0, false, 0},        {5, 3, true, 24},
      {1, 1, true, 4},        {Max, 1, true, Max + 1}, {1, Max, true, 4u * Max}};
  for (const auto& [w, h, ok, bytes] : rows) {
    SCOPED_TRACE(::testing::Message() << w << "x" << h);
    Buffers b;
    EXPECT_EQ(renderer::Allocate(b, w, h),
              ok ? renderer::AllocResult::Ok : renderer::AllocResult::BadSize);
    EXPECT_EQ(b.FrameBuffer.size(), bytes);
    EXPECT_EQ(std::count(b.FrameBuffer.begin(), b.FrameBuffer.end(), 0), std::ptrdiff_t(bytes));
    EXPECT_EQ(b.Texture.size(), ok ? std::size_t{TW * (TH + 2)} : 0u);
    // Nothing to draw into when refused: no effect.
    renderer::ZoomFrame(b, 160, 120, 1.0);
    renderer::plain::ZoomFrame(b, 160, 120, 1.0);
  }
}

}  // namespace
