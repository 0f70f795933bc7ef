// The choice of the wider register sets, and the AVX-512 tables called
// directly: both variants (with and without VBMI) against the portable one,
// at the edges of the 16-bit texture and with every kind of column plan.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "renderer/code_path.h"
#include "renderer/kernels.h"

namespace {

namespace k = renderer::kernels;

TEST(CpuState, WiderRegistersNeedTheSystemToSaveThem) {
  struct Row {
    const char* what;
    bool osxsave, avx512;
    std::uint64_t xcr0;
    bool avx2, all;
  };
  const Row rows[] = {
      {"everything", true, true, 0xE7, true, true},
      {"no XSAVE for programs", false, true, 0xE7, false, false},
      {"YMM state not saved", true, true, 0xE3, false, false},
      {"SSE state not saved", true, true, 0xE5, false, false},
      {"opmask not saved", true, true, 0xC7, true, false},
      {"upper ZMM0-15 not saved", true, true, 0xA7, true, false},
      {"ZMM16-31 not saved", true, true, 0x67, true, false},
      {"no AVX-512 in the processor", true, false, 0xE7, true, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const k::CpuState s{true,     r.osxsave, true,     true,     true,
                        r.avx512, r.avx512,  r.avx512, r.avx512, r.xcr0};
    EXPECT_TRUE(k::HasSse2(s));
    EXPECT_EQ(k::HasAvx2(s), r.avx2);
    EXPECT_EQ(k::HasAvx512(s), r.all);
  }
  k::CpuState partial{true, true, true, true, true, true, true, true, false, 0xE7};
  for (bool* missing : {&partial.Avx, &partial.Avx2, &partial.Bmi2, &partial.Avx512F,
                        &partial.Avx512Bw, &partial.Avx512Vl}) {
    *missing = false;
    EXPECT_FALSE(k::HasAvx512(partial));
    *missing = true;
  }
  EXPECT_TRUE(k::HasAvx512(partial)) << "VBMI is optional";
}

#if defined(__i386__) || defined(__x86_64__)
std::vector<const k::Kernels*> Tables() {
  if (!renderer::CodePathAvailable(renderer::CodePath::Avx512)) return {};
  if (!__builtin_cpu_supports("avx512vbmi")) return {&k::Avx512()};
  return {&k::Avx512(), &k::Avx512Vbmi()};
}

TEST(Avx512Kernels, TextureRowsAtTheEdgesOfSixteenBitLanes) {
  // Several whole texture rows with the widest 16-bit start values among
  // them, and the same with values one beyond.
  std::vector<std::int32_t> inside, outside;
  for (int i = 0; i < 700; ++i) inside.push_back(-1953 + 39 * (i % 101));
  inside[100] = 4095, inside[101] = -4095, inside[650] = 4095;
  outside = inside;
  outside[101] = -4096, outside[660] = 4096;
  for (const k::Kernels* t : Tables()) {
    // |cx| 2047 and |cy| 2046 are the widest 16-bit parameters, one more is not.
    const std::int32_t cases[][3] = {{-1464, 2047, 2046}, {-1464, -2047, -2046}, {12, 2048, 5},
                                     {12, 5, 2047},       {-4095, 300, -900},    {-4096, 300, -900},
                                     {4095, -1800, 100},  {0, -763, 102}};
    for (const auto& c : cases) {
      for (int n : {7, 64, 107, 320, 650, 700}) {
        SCOPED_TRACE(::testing::Message() << c[0] << " " << c[1] << " " << c[2] << " n " << n);
        for (const auto* xs : {&inside, &outside}) {
          std::vector<std::uint8_t> want(n, 1), got(n, 2);
          k::Portable().JuliaRow(xs->data(), c[0], c[1], c[2], 64, want.data(), n);
          t->JuliaRow(xs->data(), c[0], c[1], c[2], 64, got.data(), n);
          ASSERT_EQ(got, want);
        }
      }
    }
  }
}

TEST(Avx512Kernels, TextureHalvesAcrossSlicesBlocksAndRows) {
  // Whole halves and their mirror: the texture's own grid, grids of several
  // column slices and row blocks with scattered start values (some at the
  // edges of 16-bit lanes), tails shorter than a vector, and the same with
  // one row, the first column or the last column beyond 16-bit lanes (where
  // 8x or 8y would wrap to 0), or with rows where only the first column
  // passes the first check.
  std::uint32_t seed = 11;
  auto next = [&](std::int32_t lo, std::int32_t hi) {
    seed = seed * 1664525u + 1013904223u;
    return lo + static_cast<std::int32_t>((seed >> 8) % static_cast<std::uint32_t>(hi - lo + 1));
  };
  struct Case {
    int n, rows;
    bool scattered;
    std::int32_t cx, cy;
    int maxIter;
  };
  const Case cases[] = {{320, 120, false, 300, -600, 64},
                        {320, 120, false, -2047, 2046, 300},
                        {320, 120, false, 2047, -2046, 7},
                        {1000, 70, true, -700, 150, 64},
                        {33, 3, true, 100, 900, 16},
                        {65, 2, true, -1800, 40, 1},
                        {40, 5, true, 0, 0, 2}};
  for (const k::Kernels* t : Tables()) {
    for (const Case& c : cases) {
      for (int variant : {0, 1, 2, 3, 4}) {
        SCOPED_TRACE(::testing::Message() << c.n << "x" << c.rows << " c " << c.cx << ", " << c.cy
                                          << " maxIter " << c.maxIter << " variant " << variant);
        std::vector<std::int32_t> xs(c.n), ys(c.rows);
        for (int i = 0; i < c.n; ++i)
          xs[i] = c.scattered ? next(-1600, 1600) : ((i - 160) * 12500) / 1024;
        for (int r = 0; r < c.rows; ++r)
          ys[r] = c.scattered ? next(-1600, 1600) : ((-1 - r) * 12500) / 1024;
        if (c.scattered) xs[0] = -4095, xs[c.n - 1] = 4095, ys[0] = 4095;
        if (variant == 1) ys[c.rows / 2] = 8192;
        if (variant == 2) xs[0] = -8192;
        if (variant == 3) xs[c.n - 1] = 8192;
        for (int i = 0; i < c.n && variant == 4; ++i)
          xs[i] = i == 0 ? 0 : 1500;  // 1500^2 >> 10 > 2048
        const std::size_t total = static_cast<std::size_t>(c.n) * c.rows;
        // One byte past the mirror stays as it was.
        std::vector<std::uint8_t> want(total), got(total, 1), mirror(total + 1, 2);
        for (int r = 0; r < c.rows; ++r)
          k::Portable().JuliaRow(xs.data(), ys[r], c.cx, c.cy, c.maxIter, &want[r * c.n], c.n);
        t->JuliaHalf(xs.data(), c.n, ys.data(), c.rows, c.cx, c.cy, c.maxIter, got.data(),
                     mirror.data());
        ASSERT_EQ(got, want);
        std::vector<std::uint8_t> reversed(want.rbegin(), want.rend());
        reversed.push_back(2);
        ASSERT_EQ(mirror, reversed);
      }
    }
  }
}

TEST(Avx512Kernels, GatherOutWithEveryKindOfColumnPlan) {
  std::uint32_t seed = 7;
  auto next = [&](std::uint32_t m) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<std::int32_t>((seed >> 8) % m);
  };
  for (const k::Kernels* t : Tables()) {
    for (int n : {1, 16, 48, 64, 100, 200, 333}) {
      // Columns that step slowly (one window per 64), fast (one per 16),
      // wrap around, or jump: every group kind and the tails.
      for (int step : {37, 200, 500, 1500, 20000}) {
        SCOPED_TRACE(::testing::Message() << "n " << n << " step " << step);
        std::vector<std::int32_t> idx(n), from(n / 16 + 1, -1);
        std::vector<std::uint32_t> w(n);
        std::vector<std::uint8_t> picks(4 * n);
        std::int32_t u = next(320 * 256);
        for (int c = 0; c < n; ++c, u = (u + step) % (320 * 256)) {
          idx[c] = u >> 8;
          w[c] = (256u - (u & 255)) | static_cast<std::uint32_t>(u & 255) << 16;
        }
        for (int g = 0; g < n; g += 16) {
          bool fits = true;
          for (int j = g; j < std::min(g + 16, n); ++j)
            fits = fits && idx[j] >= idx[g] && idx[j] + 1 - idx[g] < k::PicksWindow;
          from[g / 16] = fits ? idx[g] : -1;
          for (int j = g; j < std::min(g + 16, n) && fits; ++j)
            for (int b = 0; b < 4; ++b) picks[4 * j + b] = 2 * (idx[j] - idx[g]) + b;
        }
        std::vector<std::int16_t> v0(320 + 64), v1(320 + 64);
        for (auto* v : {&v0, &v1})
          for (auto& x : *v) x = static_cast<std::int16_t>(next(65281) - k::RowBias);
        const k::Columns cols{idx.data(), w.data(), nullptr, nullptr, from.data(), picks.data()};
        std::vector<std::uint8_t> want0(n), want1(n), got0(n, 1), got1(n, 1), alone(n, 2);
        k::Portable().GatherOut(v0.data(), cols, want0.data(), n);
        k::Portable().GatherOut(v1.data(), cols, want1.data(), n);
        const std::int16_t* in[] = {v0.data(), v1.data()};
        std::uint8_t* out[] = {got0.data(), got1.data()};
        t->GatherOutRows(in, out, 2, cols, n);
        EXPECT_EQ(got0, want0);
        EXPECT_EQ(got1, want1);
        t->GatherOut(v1.data(), cols, alone.data(), n);
        EXPECT_EQ(alone, want1);
        const k::Columns unplanned{idx.data(), w.data(), nullptr, nullptr};
        t->GatherOut(v0.data(), unplanned, alone.data(), n);
        EXPECT_EQ(alone, want0);
      }
    }
  }
}
#endif

}  // namespace
