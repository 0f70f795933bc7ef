// The resampler on every code path this processor has: a pattern resampled
// as pinned, and the very bytes of the plain version at odd and tiny sizes,
// every scale and pan (and so every strategy of every table).
#include "renderer/resampler.h"

#include <cstring>
#include <utility>

#include "renderer/plain.h"
#include "renderer/support.h"

namespace {

using namespace renderer_test;
using renderer::Buffers;

TEST(Resampler, PinnedPattern) {
  OnEveryPath([] {
    for (const auto& [w, h, px, py, s, fnv] : ZoomPins) {
      SCOPED_TRACE(::testing::Message()
                   << w << "x" << h << " at " << px << ", " << py << " s " << s);
      Buffers fast, plain;
      ASSERT_EQ(renderer::Allocate(fast, w, h), renderer::AllocResult::Ok);
      for (int i = 0; i < renderer::TexWidth * renderer::TexHeight; ++i)
        fast.Texture[i] = static_cast<std::uint8_t>(i * 7 + i / renderer::TexWidth);
      plain = fast;
      renderer::ZoomFrame(fast, px, py, s);
      renderer::plain::ZoomFrame(plain, px, py, s);
      EXPECT_EQ(FrameFnv(fast), fnv);
      EXPECT_EQ(FrameFnv(plain), fnv);
    }
  });
}

TEST(Resampler, OddAndTinySizes) {
  OnEveryPath([] {
    std::uint32_t seed = 12345;
    for (int w : {1, 2, 3, 5, 7, 8, 15, 16, 17, 31, 33, 63, 321, 1023}) {
      for (int h : {1, 3, 250}) {
        Buffers fast;
        ASSERT_EQ(renderer::Allocate(fast, w, h), renderer::AllocResult::Ok);
        for (auto& t : fast.Texture) t = static_cast<std::uint8_t>(Random(seed, 256));
        // The padding past each row's width stays as it was.
        std::memset(fast.FrameBuffer.data(), 0xEE, fast.FrameBuffer.size());
        Buffers plain = fast;
        for (double s : {0.001, 0.01, 0.125, 0.5, 1.0, 3.3, 7.0, 57.3, 100.0}) {
          for (auto [px, py] : {std::pair{160, 120}, {64, 48}, {0, 0}, {319, 239}}) {
            SCOPED_TRACE(::testing::Message()
                         << w << "x" << h << " s " << s << " at " << px << ", " << py);
            renderer::ZoomFrame(fast, px, py, s);
            renderer::plain::ZoomFrame(plain, px, py, s);
            ASSERT_EQ(fast.FrameBuffer, plain.FrameBuffer);
          }
        }
      }
    }
  });
}

}  // namespace
