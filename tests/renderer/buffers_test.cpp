// Sizes the buffers refuse and accept, and the frame rows' stride.
#include "renderer/buffers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "renderer/formulas.h"
#include "renderer/plain.h"
#include "renderer/resampler.h"

namespace {

TEST(Allocate, RefusesBadSizesAndLaysRowsAtTheStride) {
  constexpr int Max = renderer::MaxSurfaceSide;
  // Width, height; accepted; frame bytes (rows at a multiple of 4 bytes).
  const std::tuple<int, int, bool, std::size_t> rows[] = {
      {0, 768, false, 0},     {1024, -1, false, 0},    {Max + 1, 10, false, 0},
      {3, Max + 1, false, 0}, {7, 0, false, 0},        {5, 3, true, 24},
      {1, 1, true, 4},        {Max, 1, true, Max + 1}, {1, Max, true, 4u * Max}};
  for (const auto& [w, h, ok, bytes] : rows) {
    SCOPED_TRACE(::testing::Message() << w << "x" << h);
    renderer::Buffers b;
    EXPECT_EQ(renderer::Allocate(b, w, h),
              ok ? renderer::AllocResult::Ok : renderer::AllocResult::BadSize);
    EXPECT_EQ(b.FrameBuffer.size(), bytes);
    EXPECT_EQ(std::count(b.FrameBuffer.begin(), b.FrameBuffer.end(), 0), std::ptrdiff_t(bytes));
    EXPECT_EQ(b.Texture.size(),
              ok ? std::size_t{renderer::TexWidth * (renderer::TexHeight + 2)} : 0u);
    // Nothing to draw into when refused: no effect.
    renderer::ZoomFrame(b, 160, 120, 1.0);
    renderer::plain::ZoomFrame(b, 160, 120, 1.0);
  }
}

}  // namespace
