// Every code path this processor has draws the very bytes of the plain
// version. A path added to renderer::AllCodePaths joins these tables by itself.
#include "renderer/code_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "renderer/frame.h"
#include "renderer/kernels.h"
#include "renderer/plain.h"
#include "renderer/resampler.h"
#include "renderer/texture.h"

namespace {

using renderer::Buffers;
using renderer::CodePath;
constexpr int TW = renderer::TexWidth, TH = renderer::TexHeight;

// Runs check once per path this machine has, with that path chosen.
void OnEveryPath(const std::function<void()>& check) {
  for (CodePath p : renderer::AllCodePaths) {
    if (!renderer::CodePathAvailable(p)) continue;
    SCOPED_TRACE(renderer::CodePathName(p));
    ASSERT_TRUE(renderer::SetCodePath(p));
    check();
  }
  renderer::SetCodePath(renderer::BestCodePath());
}

std::uint32_t Random(std::uint32_t& seed, std::uint32_t below) {
  seed = seed * 1664525u + 1013904223u;
  return (seed >> 8) % below;
}

TEST(CodePaths, WholeFramesAndTexturesFromTheClock) {
  const renderer::PathTable path = renderer::MakePathTable();
  struct Row {
    int w, h, clocks, every;
  };
  // Clocks from 1000 ms on cover the scale's 8 s cycle and the pan at many
  // phases; the last row runs across the clock's wrap.
  const Row rows[] = {{1920, 1080, 12, 750}, {1031, 777, 8, 2000}, {333, 211, 40, 5250},
                      {17, 5, 40, 5250},     {1, 1, 40, 5250},     {101, 77, 8, 613566757}};
  OnEveryPath([&] {
    for (const Row& r : rows) {
      Buffers fast, plain;
      ASSERT_EQ(renderer::Allocate(fast, r.w, r.h), renderer::AllocResult::Ok);
      ASSERT_EQ(renderer::Allocate(plain, r.w, r.h), renderer::AllocResult::Ok);
      for (std::uint32_t n = 0, t = 1000; n < std::uint32_t(r.clocks); ++n, t += r.every) {
        SCOPED_TRACE(::testing::Message() << r.w << "x" << r.h << " clock " << t);
        renderer::FixedClock a(t), b(t);
        renderer::DrawFrame(fast, path, a);
        renderer::plain::DrawFrame(plain, path, b);
        ASSERT_EQ(fast.FrameBuffer, plain.FrameBuffer);
        ASSERT_EQ(fast.Texture, plain.Texture);
      }
    }
  });
}

TEST(CodePaths, TexturesForAnyIterationLimitAndParameter) {
  // Far parameters make the products wrap around 32 bits.
  const double params[][2] = {{-0.75, 0.1}, {0.0, 0.0},     {0.28, -0.01},
                              {2.5, -3.0},  {1000.0, -7e5}, {-1.9e6, 1.9e6}};
  OnEveryPath([&] {
    std::vector<std::uint8_t> fast(TW * TH), plain(TW * TH);
    for (const auto& c : params) {
      for (int maxIter : {-3, 0, 1, 2, 7, 64, 300}) {
        SCOPED_TRACE(::testing::Message() << c[0] << ", " << c[1] << " maxIter " << maxIter);
        renderer::RenderJulia(fast.data(), c[0], c[1], maxIter);
        renderer::plain::RenderJulia(plain.data(), c[0], c[1], maxIter);
        ASSERT_EQ(fast, plain);
      }
    }
  });
}

TEST(CodePaths, ResamplerAtOddAndTinySizes) {
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

TEST(CodePaths, PortableEverywhereAndSse2OnX86) {
  EXPECT_TRUE(renderer::CodePathAvailable(CodePath::Portable));
#if defined(__i386__) || defined(__x86_64__)
  EXPECT_TRUE(renderer::CodePathAvailable(CodePath::Sse2));  // the shipped program's least
  // The wider sets exactly when the compiler's own check (CPUID and XGETBV) finds them.
  EXPECT_EQ(renderer::CodePathAvailable(CodePath::Avx2), __builtin_cpu_supports("avx2") != 0);
  EXPECT_EQ(renderer::CodePathAvailable(CodePath::Avx512),
            __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("bmi2"));
#endif
}

// The inner loops one by one on random data, including those a path's
// ZoomFrame does not choose for itself: each path's table against the
// portable one. A new path needs its table named here.
TEST(CodePaths, KernelsOnRandomData) {
  namespace k = renderer::kernels;
  const k::Kernels& want = k::Portable();
  std::uint32_t seed = 99;
  std::vector<std::uint8_t> tex(TW * (TH + 2));
  for (auto& t : tex) t = static_cast<std::uint8_t>(Random(seed, 256));
  auto stored = [&] { return static_cast<std::int16_t>(int(Random(seed, 65281)) - k::RowBias); };
  for (CodePath p : renderer::AllCodePaths) {
    if (p == CodePath::Portable || !renderer::CodePathAvailable(p)) continue;
    const k::Kernels* table = nullptr;
#if defined(__i386__) || defined(__x86_64__)
    table = p == CodePath::Sse2     ? &k::Sse2()
            : p == CodePath::Avx2   ? &k::Avx2()
            : p == CodePath::Avx512 ? &k::Avx512()
                                    : nullptr;
#endif
    ASSERT_NE(table, nullptr) << "no kernel table for " << renderer::CodePathName(p);
    const k::Kernels& got = *table;
    for (int n : {0, 1, 7, 15, 16, 17, 31, 32, 33, 47, 64, 100, 321, 1000}) {
      SCOPED_TRACE(::testing::Message() << renderer::CodePathName(p) << " n " << n);
      std::vector<std::int32_t> idx(n);
      std::vector<std::uint32_t> w(n);
      std::vector<std::uint16_t> fx(n);
      std::vector<std::uint8_t> shuffle(n, k::ShuffleNone);
      std::vector<std::int16_t> a(n + 2), b(n), v(TW + 1);
      // Points next to the 32-bit wrap: x * x wraps to almost nothing and
      // x * y to near -2^31, where division by 512 must still truncate. With
      // y = 1 and c = (-13, -4194305), found by search, x = -2^31 +- 1 escape
      // after two steps, and after one if that division rounds the wrong way.
      std::vector<std::int32_t> xs(n);
      for (int c = 0; c < n; ++c) {
        xs[c] = static_cast<std::int32_t>(0x80000000u + c - 512u);
        idx[c] = static_cast<std::int32_t>(Random(seed, TW));
        fx[c] = static_cast<std::uint16_t>(Random(seed, 256));
        w[c] = (256u - fx[c]) | static_cast<std::uint32_t>(fx[c]) << 16;
        a[c] = stored();
        b[c] = stored();
      }
      for (auto& x : v) x = stored();
      const k::Columns cols{idx.data(), w.data(), fx.data(), shuffle.data()};
      const auto fy = static_cast<std::int32_t>(Random(seed, 256));
      const std::uint8_t* t = tex.data() + Random(seed, TH + 1) * TW;
      std::vector<std::uint8_t> wantVals(n + 1, 7), gotVals(n + 1, 7);
      want.JuliaRow(xs.data(), 1, -13, -4194305, 8, wantVals.data(), n);
      got.JuliaRow(xs.data(), 1, -13, -4194305, 8, gotVals.data(), n);
      ASSERT_EQ(gotVals, wantVals) << "JuliaRow";
      // What lies past the end stays as it was.
      std::vector<std::int16_t> w16(n + 64, 7), g16(n + 64, 7);
      want.BlendBytes(t, t + TW, fy, w16.data(), n);
      got.BlendBytes(t, t + TW, fy, g16.data(), n);
      ASSERT_EQ(g16, w16) << "BlendBytes";
      want.GatherBytes(t, cols, w16.data(), n);
      got.GatherBytes(t, cols, g16.data(), n);
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

}  // namespace
