// Every code path this processor has draws the very bytes of the plain
// version: textures, resampled frames and whole frames.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "renderer/julia_zoom.h"
#include "renderer/kernels.h"
#include "renderer/reference.h"

namespace {

using uzoom::Buffers;
using uzoom::CodePath;

constexpr int TW = uzoom::TexWidth, TH = uzoom::TexHeight;

class OnPath : public ::testing::TestWithParam<CodePath> {
 protected:
  void SetUp() override {
    if (!uzoom::CodePathAvailable(GetParam())) GTEST_SKIP() << "not on this processor";
    ASSERT_TRUE(uzoom::SetCodePath(GetParam()));
  }
  void TearDown() override { uzoom::SetCodePath(uzoom::BestCodePath()); }
};

// Whole frame buffer, padding included.
std::vector<std::uint8_t> Fast(Buffers b, std::int32_t px, std::int32_t py, double s) {
  uzoom::ZoomFrame(b, px, py, s);
  return b.FrameBuffer;
}
std::vector<std::uint8_t> Plain(Buffers b, std::int32_t px, std::int32_t py, double s) {
  uzoom::plain::ZoomFrame(b, px, py, s);
  return b.FrameBuffer;
}

// A texture with every byte value and no regular pattern, and padding that
// the resampler must not touch.
Buffers Scrambled(int w, int h) {
  Buffers b;
  EXPECT_EQ(uzoom::Allocate(b, w, h), uzoom::AllocResult::Ok);
  std::uint32_t x = 12345;
  for (int i = 0; i < TW * TH; ++i) {
    x = x * 1103515245u + 12345u;
    b.Texture[i] = static_cast<std::uint8_t>(x >> 23);
  }
  std::memset(b.FrameBuffer.data(), 0xEE, b.FrameBuffer.size());
  return b;
}

TEST_P(OnPath, TextureMatchesThePlainVersionAlongTheLap) {
  const uzoom::PathTable path = uzoom::MakePathTable();
  std::vector<std::uint8_t> fast(TW * (TH + 2), 0x5A), plain(TW * (TH + 2), 0x5A);
  // Two laps' worth of clock values, 1.7 s apart, and the clock's wrap.
  for (std::uint32_t t = 0; t < 300000; t += 1700) {
    const uzoom::JuliaParameter c = uzoom::JuliaAt(path, t);
    uzoom::RenderJulia(fast.data(), c.cx, c.cy, uzoom::MaxIter);
    uzoom::plain::RenderJulia(plain.data(), c.cx, c.cy, uzoom::MaxIter);
    ASSERT_EQ(fast, plain) << "clock " << t;
  }
}

TEST_P(OnPath, TextureMatchesForAnyIterationLimitAndParameter) {
  std::vector<std::uint8_t> fast(TW * TH), plain(TW * TH);
  // Far parameters make the products wrap around 32 bits.
  const double params[][2] = {{-0.75, 0.1}, {0.0, 0.0},     {0.28, -0.01},
                              {2.5, -3.0},  {1000.0, -7e5}, {-1.9e6, 1.9e6}};
  for (const auto& c : params) {
    for (int maxIter : {-3, 0, 1, 2, 7, 64, 300}) {
      uzoom::RenderJulia(fast.data(), c[0], c[1], maxIter);
      uzoom::plain::RenderJulia(plain.data(), c[0], c[1], maxIter);
      ASSERT_EQ(fast, plain) << c[0] << "," << c[1] << " maxIter " << maxIter;
    }
  }
  uzoom::RenderJulia(fast.data(), -0.4, -0.6, 64);
  EXPECT_EQ(fast, reference::Texture(-0.4, -0.6, 64));
}

TEST_P(OnPath, ResamplerMatchesAtOddAndTinySizes) {
  for (int w : {1, 2, 3, 5, 7, 8, 15, 16, 17, 31, 33, 63, 321, 1023}) {
    for (int h : {1, 2, 3, 9, 250}) {
      const Buffers b = Scrambled(w, h);
      for (double s : {0.001, 0.01, 0.125, 0.5, 1.0, 3.3, 7.0, 57.3, 100.0, 1e9}) {
        for (auto [px, py] : {std::pair{160, 120}, {64, 48}, {256, 192}, {0, 0}, {319, 239}}) {
          ASSERT_EQ(Fast(b, px, py, s), Plain(b, px, py, s))
              << w << "x" << h << " s " << s << " at " << px << "," << py;
        }
      }
    }
  }
}

TEST_P(OnPath, ResamplerMatchesOnLargeSurfaces) {
  for (auto [w, h] : {std::pair{1920, 1080}, {1366, 769}, {3840, 2160}, {240, 4000}}) {
    const Buffers b = Scrambled(w, h);
    for (double s : {0.01, 0.125, 0.7, 1.0, 2.5, 4.0, 7.0, 100.0}) {
      ASSERT_EQ(Fast(b, 201, 77, s), Plain(b, 201, 77, s)) << w << "x" << h << " s " << s;
    }
  }
}

TEST_P(OnPath, WholeFramesMatchThePlainVersion) {
  const uzoom::PathTable path = uzoom::MakePathTable();
  for (auto [w, h] : {std::pair{1920, 1080}, {333, 211}, {17, 5}, {1, 1}}) {
    Buffers fast, plain;
    ASSERT_EQ(uzoom::Allocate(fast, w, h), uzoom::AllocResult::Ok);
    ASSERT_EQ(uzoom::Allocate(plain, w, h), uzoom::AllocResult::Ok);
    // Every 750 ms covers the scale cycle (8 s) and the pan at many phases.
    for (std::uint32_t n = 0; n < 40; ++n) {
      const std::uint32_t t = 1000 + 750 * n * (w > 1000 ? 1 : 7);
      uzoom::FixedClock a(t), b(t);
      uzoom::DrawFrame(fast, path, a);
      uzoom::plain::DrawFrame(plain, path, b);
      ASSERT_EQ(fast.FrameBuffer, plain.FrameBuffer) << w << "x" << h << " clock " << t;
      ASSERT_EQ(fast.Texture, plain.Texture) << "clock " << t;
    }
  }
}

TEST_P(OnPath, FrameMatchesTheIndependentReference) {
  Buffers b;
  ASSERT_EQ(uzoom::Allocate(b, 641, 479), uzoom::AllocResult::Ok);
  const uzoom::PathTable path = uzoom::MakePathTable();
  for (std::uint32_t t : {1600u, 5000u, 7300u}) {
    uzoom::FixedClock clock(t);
    uzoom::DrawFrame(b, path, clock);
    std::vector<std::uint8_t> visible;
    for (int r = 0; r < b.ScreenHeight; ++r)
      visible.insert(visible.end(), b.FrameBuffer.begin() + r * b.Stride,
                     b.FrameBuffer.begin() + r * b.Stride + b.ScreenWidth);
    ASSERT_EQ(visible, reference::FrameAt(t, 641, 479)) << "clock " << t;
  }
}

INSTANTIATE_TEST_SUITE_P(AllCodePaths, OnPath, ::testing::ValuesIn(uzoom::AllCodePaths),
                         [](const ::testing::TestParamInfo<CodePath>& i) {
                           return std::string(uzoom::CodePathName(i.param));
                         });

TEST(CodePath, ChoosingOnlyTakesAvailablePaths) {
  EXPECT_TRUE(uzoom::CodePathAvailable(CodePath::Portable));
  EXPECT_TRUE(uzoom::CodePathAvailable(uzoom::BestCodePath()));
  EXPECT_EQ(uzoom::ActiveCodePath(), uzoom::BestCodePath());
#if defined(__i386__) || defined(__x86_64__)
  // The shipped program needs SSE2 at least.
  EXPECT_TRUE(uzoom::CodePathAvailable(CodePath::Sse2));
  EXPECT_NE(uzoom::BestCodePath(), CodePath::Portable);
#endif
  for (CodePath p : uzoom::AllCodePaths) {
    const CodePath before = uzoom::ActiveCodePath();
    const bool ok = uzoom::SetCodePath(p);
    EXPECT_EQ(ok, uzoom::CodePathAvailable(p));
    EXPECT_EQ(uzoom::ActiveCodePath(), ok ? p : before);
  }
  uzoom::SetCodePath(uzoom::BestCodePath());
  EXPECT_STREQ(uzoom::CodePathName(CodePath::Avx2), "avx2");
}

}  // namespace

// The inner loops one by one, on random data, including those a path's
// ZoomFrame does not choose for itself: each table against the portable one.
#if defined(__i386__) || defined(__x86_64__)
TEST(Kernels, EveryTableMatchesThePortableOne) {
  namespace k = uzoom::kernels;
  const k::Kernels& want = k::Portable();
  std::uint32_t seed = 99;
  auto next = [&](std::uint32_t m) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % m;
  };
  std::vector<std::uint8_t> tex(TW * (TH + 2));
  for (auto& t : tex) t = static_cast<std::uint8_t>(next(256));
  for (CodePath p : {CodePath::Sse2, CodePath::Avx2}) {
    if (!uzoom::CodePathAvailable(p)) continue;
    const k::Kernels& got = p == CodePath::Sse2 ? k::Sse2() : k::Avx2();
    for (int n : {0, 1, 7, 15, 16, 17, 31, 32, 33, 47, 64, 100, 321, 1000}) {
      SCOPED_TRACE(::testing::Message() << uzoom::CodePathName(p) << " n " << n);
      std::vector<std::int32_t> idx(n);
      std::vector<std::uint32_t> w(n);
      std::vector<std::uint16_t> fx(n);
      std::vector<std::uint8_t> shuffle(n, k::ShuffleNone);
      std::vector<std::int16_t> a(n + 2), b(n), v(TW + 1);
      for (int c = 0; c < n; ++c) {
        idx[c] = static_cast<std::int32_t>(next(TW));
        fx[c] = static_cast<std::uint16_t>(next(256));
        w[c] = (256u - fx[c]) | static_cast<std::uint32_t>(fx[c]) << 16;
        a[c] = static_cast<std::int16_t>(static_cast<int>(next(65281)) - k::RowBias);
        b[c] = static_cast<std::int16_t>(static_cast<int>(next(65281)) - k::RowBias);
      }
      for (auto& x : v) x = static_cast<std::int16_t>(static_cast<int>(next(65281)) - k::RowBias);
      const k::Columns cols{idx.data(), w.data(), fx.data(), shuffle.data()};
      const std::int32_t fy = static_cast<std::int32_t>(next(256));
      const std::uint8_t* row = tex.data() + next(TH + 1) * TW;

      std::vector<std::int16_t> w16(n + 1, 7), g16(n + 1, 7);
      want.BlendBytes(row, row + TW, fy, w16.data(), n);
      got.BlendBytes(row, row + TW, fy, g16.data(), n);
      ASSERT_EQ(g16, w16) << "BlendBytes";
      want.GatherBytes(row, cols, w16.data(), n);
      got.GatherBytes(row, cols, g16.data(), n);
      ASSERT_EQ(g16, w16) << "GatherBytes";

      std::vector<std::uint8_t> w8(n + 1, 7), g8(n + 1, 7);
      want.BlendRowsOut(a.data(), b.data(), fy, w8.data(), n);
      got.BlendRowsOut(a.data(), b.data(), fy, g8.data(), n);
      ASSERT_EQ(g8, w8) << "BlendRowsOut";
      want.GatherOut(v.data(), cols, w8.data(), n);
      got.GatherOut(v.data(), cols, g8.data(), n);
      ASSERT_EQ(g8, w8) << "GatherOut";
    }
  }
}
#endif
