// The resampler on every code path this processor has: as pinned, and as
// the plain version resamples; and the column plans its kernels read.
#include "renderer/resampler.h"

#include <cstring>
#include <utility>
#include <vector>

#include "renderer/plain.h"
#include "renderer/support.h"

namespace {

using namespace renderer_test;
using renderer::Buffers;

TEST(Resampler, PinnedAndSameBytesAsThePlainVersion) {
  OnEveryPath([] {
    // Resamples both ways at (px, py) and scale s, and gives the frame's checksum.
    auto zoom = [](Buffers& fast, Buffers& plain, int px, int py, double s) {
      SCOPED_TRACE(::testing::Message() << fast.ScreenWidth << "x" << fast.ScreenHeight << " at "
                                        << px << ", " << py << " s " << s);
      renderer::ZoomFrame(fast, px, py, s);
      renderer::plain::ZoomFrame(plain, px, py, s);
      EXPECT_EQ(fast.FrameBuffer, plain.FrameBuffer);
      return FrameFnv(fast);
    };
    std::uint32_t seed = 12345;
    for (const auto& [w, h, px, py, s, fnv] : ZoomPins) {
      Buffers fast;
      ASSERT_EQ(renderer::Allocate(fast, w, h), renderer::AllocResult::Ok);
      for (int i = 0; i < renderer::TexWidth * renderer::TexHeight; ++i)
        fast.Texture[i] = static_cast<std::uint8_t>(i * 7 + i / renderer::TexWidth);
      Buffers plain = fast;
      EXPECT_EQ(zoom(fast, plain, px, py, s), fnv);
    }
    // Odd and tiny sizes, every scale and pan: every strategy of every table.
    for (int w : {1, 2, 3, 5, 7, 8, 15, 16, 17, 31, 33, 63, 321, 1023}) {
      for (int h : {1, 3, 250}) {
        Buffers fast;
        ASSERT_EQ(renderer::Allocate(fast, w, h), renderer::AllocResult::Ok);
        for (auto& t : fast.Texture) t = static_cast<std::uint8_t>(Random(seed, 256));
        // The padding past each row's width stays as it was.
        std::memset(fast.FrameBuffer.data(), 0xEE, fast.FrameBuffer.size());
        Buffers plain = fast;
        for (double s : {0.001, 0.01, 0.125, 0.5, 1.0, 3.3, 7.0, 57.3, 100.0})
          for (auto [px, py] : {std::pair{160, 120}, {64, 48}, {0, 0}, {319, 239}})
            zoom(fast, plain, px, py, s);
      }
    }
  });
}

// The column plans read as the vector kernels read them: a window's picked
// bytes are the column's own two values (texels), or the group is gathered.
TEST(Resampler, PlansPickEachColumnsValues) {
  namespace k = renderer::kernels;
  std::uint8_t bytes[2 * 512];  // values whose 64 bytes in any window differ
  for (int i = 0; i < 512; ++i)
    bytes[2 * i] = std::uint8_t(i + 1), bytes[2 * i + 1] = std::uint8_t(i + 129);
  std::uint32_t seed = 5;
  for (int n : {1, 17, 64, 100, 333}) {
    for (int step : {37, 200, 256, 500, 530, 1500, 20000}) {
      SCOPED_TRACE(::testing::Message() << "n " << n << " step " << step);
      const int blocks = (n + 63) / 64;
      std::vector<std::int32_t> idx(n), from(n / 16 + 1), pairFrom(blocks);
      std::vector<std::uint32_t> w(n), packed(64 * blocks, 7);
      std::vector<std::uint8_t> picks(4 * n), pairPicks(256 * blocks);
      for (int c = 0, u = int(Random(seed, 81920)); c < n; ++c, u = (u + step) % 81920)
        idx[c] = u >> 8, w[c] = Random(seed, 1u << 31);
      renderer::PlanPicks(idx.data(), from.data(), picks.data(), n);
      renderer::PlanPairs(idx.data(), w.data(), pairFrom.data(), pairPicks.data(), packed.data(),
                          n);
      for (int c = 0; c < n; ++c)
        for (int q = 0; q < 4 && from[c / 16] >= 0; ++q) {
          ASSERT_LT(picks[4 * c + q], 2 * k::PicksWindow);
          EXPECT_EQ(bytes[2 * from[c / 16] + picks[4 * c + q]], bytes[2 * idx[c] + q]) << c;
        }
      for (int p = 0; p < 64 * blocks; ++p) {
        const int col = p / 64 * 64 + k::PackedColumn(p % 64), at = pairFrom[p / 64];
        EXPECT_EQ(packed[p], col < n ? w[col] : 0u) << p;
        std::int32_t four;
        std::memcpy(&four, &pairPicks[4 * p], 4);
        if (col >= n) continue;
        EXPECT_TRUE(at >= 0 || four == idx[col]) << p;
        for (int q = 0; q < 2 && at >= 0; ++q) {
          ASSERT_LT(pairPicks[4 * p + 2 * q], k::PairWindow);
          EXPECT_EQ(at + pairPicks[4 * p + 2 * q], idx[col] + q) << p;
          EXPECT_EQ(pairPicks[4 * p + 2 * q + 1], 0) << p;
        }
      }
    }
  }
}

}  // namespace
