// Whole frames from the clock on every code path this processor has: as
// pinned, and as the plain version draws them.
#include "renderer/frame.h"

#include "renderer/plain.h"
#include "renderer/support.h"

namespace {

using namespace renderer_test;
using renderer::Buffers;

TEST(Frame, PinnedAndSameBytesAsThePlainVersion) {
  const renderer::PathTable path = renderer::MakePathTable();
  // Width, height, clocks from 1000 ms on, ms between them: they cover the
  // scale's 8 s cycle and the pan at many phases; the last row runs across
  // the clock's wrap.
  const int rows[][4] = {{1920, 1080, 12, 750}, {1031, 777, 8, 2000}, {333, 211, 40, 5250},
                         {17, 5, 40, 5250},     {1, 1, 40, 5250},     {101, 77, 8, 613566757}};
  OnEveryPath([&] {
    auto draw = [&](int w, int h, std::uint32_t t) {
      SCOPED_TRACE(::testing::Message() << w << "x" << h << " clock " << t);
      Buffers fast, plain;
      EXPECT_EQ(renderer::Allocate(fast, w, h), renderer::AllocResult::Ok);
      plain = fast;
      renderer::FixedClock a(t), b(t);
      renderer::DrawFrame(fast, path, a);
      renderer::plain::DrawFrame(plain, path, b);
      EXPECT_EQ(fast.FrameBuffer, plain.FrameBuffer);
      EXPECT_EQ(fast.Texture, plain.Texture);
      return FrameFnv(fast);
    };
    for (const auto& [t, w, h, fnv] : FramePins) EXPECT_EQ(draw(w, h, t), fnv);
    for (const auto& [w, h, clocks, every] : rows)
      for (std::uint32_t n = 0, t = 1000; n < std::uint32_t(clocks); ++n, t += every) draw(w, h, t);
  });
}

}  // namespace
