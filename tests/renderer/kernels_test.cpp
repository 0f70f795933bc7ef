// Every vector table, entry by entry, against the portable one: the texture
// at the edges of 16-bit lanes and of the 32-bit wrap, and the resampler's
// entries with every kind of column plan the planners make. Tables this
// processor cannot run are skipped.
#include "renderer/kernels.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "renderer/code_path.h"
#include "renderer/resampler.h"
#include "renderer/support.h"

// Tables by name in test names and messages.
namespace renderer::kernels {
void PrintTo(const Kernels* k, std::ostream* os) { *os << k->Name; }
}  // namespace renderer::kernels

namespace {

namespace k = renderer::kernels;
using renderer_test::Random;
constexpr int TW = renderer::TexWidth;

class Kernels : public ::testing::TestWithParam<const k::Kernels*> {
 protected:
  void SetUp() override {
    if (!renderer::ProcessorRuns(got))
      GTEST_SKIP() << "this processor cannot run the " << got.Name << " table";
  }
  const k::Kernels& got = *GetParam();
  const k::Kernels& want = k::Portable();
};

// Start values x, rows y, parameter and iteration limit.
using TextureCase = std::tuple<std::vector<std::int32_t>, std::vector<std::int32_t>, std::int32_t,
                               std::int32_t, int>;

std::vector<TextureCase> TextureCases() {
  std::vector<std::int32_t> grid, edge, wrap, scattered, ys;
  for (int i = 0; i < 320; ++i) grid.push_back(((i - 160) * 12500) / 1024);
  for (int r = 0; r < 120; ++r) ys.push_back(((-1 - r) * 12500) / 1024);
  // The widest 16-bit start values among others, and one beyond.
  for (int i = 0; i < 700; ++i) edge.push_back(-1953 + 39 * (i % 101));
  edge[100] = 4095, edge[101] = -4095, edge[650] = 4095;
  std::vector<std::int32_t> beyond = edge;
  beyond[101] = -4096, beyond[660] = 4096;
  // Next to the 32-bit wrap: x * x wraps to almost nothing and x * y to near
  // -2^31, where division by 512 must still truncate. With y = 1 and c =
  // (-13, -4194305), x = -2^31 +- 1 escape after two steps, and after one if
  // that division rounds the wrong way.
  for (int c = 0; c < 100; ++c) wrap.push_back(static_cast<std::int32_t>(0x80000000u + c - 512u));
  std::uint32_t seed = 11;
  for (int i = 0; i < 1000; ++i) scattered.push_back(int(Random(seed, 3201)) - 1600);
  std::vector<std::int32_t> pass = {0};  // rows where only the first column passes the first check
  pass.resize(40, 1500);
  const std::vector<std::int32_t> edgeYs = {-1464, 12, -4095, 4095, 0, -4096, 8192};
  // |cx| 2047 and |cy| 2046 are the widest 16-bit parameters, one more is not.
  return {{grid, ys, -2047, 2046, 300},    {grid, ys, 2047, -2046, 7},
          {grid, ys, 2048, 5, 64},         {grid, ys, 5, 2047, 64},
          {edge, edgeYs, -763, 102, 64},   {beyond, edgeYs, 300, -900, 64},
          {wrap, {1}, -13, -4194305, 8},   {scattered, ys, -700, 150, 64},
          {pass, {4095, 0, -300}, 0, 0, 2}};
}

TEST_P(Kernels, Texture) {
  for (const auto& [xs, ys, cx, cy, maxIter] : TextureCases()) {
    for (int n : {1, 7, 16, 17, 47, 64, 107, 320, 650, 1000}) {
      if (n > int(xs.size())) continue;
      const int rows = int(ys.size());
      SCOPED_TRACE(::testing::Message() << "x " << xs[0] << " n " << n << " rows " << rows << " c "
                                        << cx << ", " << cy << " maxIter " << maxIter);
      std::vector<std::uint8_t> plain(n * rows), vals(n * rows + 1, 1), mirror(n * rows + 1, 2);
      for (int r = 0; r < rows; ++r)
        want.JuliaRow(xs.data(), ys[r], cx, cy, maxIter, &plain[r * n], n);
      if (got.JuliaRow != nullptr)
        for (int r = 0; r < rows; ++r)
          got.JuliaRow(xs.data(), ys[r], cx, cy, maxIter, &vals[r * n], n);
      else
        got.JuliaHalf(xs.data(), n, ys.data(), rows, cx, cy, maxIter, vals.data(), mirror.data());
      // What lies past the end stays as it was; the mirror holds the bytes reversed.
      plain.push_back(1);
      ASSERT_EQ(vals, plain);
      if (got.JuliaHalf == nullptr) continue;
      std::vector<std::uint8_t> reversed(plain.rbegin() + 1, plain.rend());
      reversed.push_back(2);
      ASSERT_EQ(mirror, reversed);
    }
  }
}

TEST_P(Kernels, Resampler) {
  std::uint32_t seed = 99;
  std::vector<std::uint8_t> tex(TW * (renderer::TexHeight + 2));
  for (auto& t : tex) t = static_cast<std::uint8_t>(Random(seed, 256));
  auto stored = [&] { return static_cast<std::int16_t>(int(Random(seed, 65281)) - k::RowBias); };
  for (int n : {1, 7, 15, 16, 17, 31, 33, 47, 64, 100, 200, 333, 1000}) {
    // Columns that step slowly (one window per 64), fast (one per 16), wrap
    // around, jump, or lie anywhere: every shuffle, window and pair plan.
    for (int step : {37, 200, 256, 500, 530, 1500, 20000, -1}) {
      SCOPED_TRACE(::testing::Message() << "n " << n << " step " << step);
      const int blocks = (n + 63) / 64;
      std::vector<std::int32_t> idx(n), from(n / 16 + 1), pairFrom(blocks);
      std::vector<std::uint32_t> w(n), packedW(64 * blocks);
      std::vector<std::uint16_t> fx(n);
      std::vector<std::uint8_t> shuffle(n), picks(4 * n), pairPicks(256 * blocks);
      for (int c = 0, u = int(Random(seed, 256 * TW)); c < n; ++c) {
        u = step < 0 ? int(Random(seed, 256 * TW)) : (u + step) % (256 * TW);
        idx[c] = u >> 8, fx[c] = static_cast<std::uint16_t>(u & 255);
        w[c] = (256u - fx[c]) | std::uint32_t(fx[c]) << 16;
      }
      renderer::PlanShuffles(idx.data(), shuffle.data(), n);
      renderer::PlanPicks(idx.data(), from.data(), picks.data(), n);
      renderer::PlanPairs(idx.data(), w.data(), pairFrom.data(), pairPicks.data(), packedW.data(),
                          n);
      const k::Columns cols{idx.data(), w.data(), fx.data(), shuffle.data()};
      const k::Columns pickCols{idx.data(), w.data(),    fx.data(),
                                nullptr,    from.data(), picks.data()};
      const auto fy = std::int32_t(Random(seed, 256));
      const std::uint8_t* t = tex.data() + Random(seed, renderer::TexHeight - 3) * TW;
      std::vector<std::int16_t> a(n), b(n), v0(TW + 64), v1(TW + 64);
      for (auto* row : {&a, &b, &v0, &v1})
        for (auto& x : *row) x = stored();
      // What lies past the end stays as it was.
      std::vector<std::int16_t> w16(n + 64, 7), g16(n + 64, 7);
      std::vector<std::uint8_t> w8(n + 1, 7), g8(n + 1, 7), g8b(n + 1, 7), w8b(n + 1, 7);
      want.BlendBytes(t, t + TW, fy, w16.data(), n);
      got.BlendBytes(t, t + TW, fy, g16.data(), n);
      ASSERT_EQ(g16, w16) << "BlendBytes";
      want.GatherOut(v0.data(), cols, w8.data(), n);
      want.GatherOut(v1.data(), cols, w8b.data(), n);
      for (const k::Columns* c : {&cols, &pickCols}) {
        got.GatherOut(v0.data(), *c, g8.data(), n);
        ASSERT_EQ(g8, w8) << "GatherOut";
      }
      if (got.GatherOutRows != nullptr) {
        const std::int16_t* in[] = {v0.data(), v1.data()};
        std::uint8_t* out[] = {g8.data(), g8b.data()};
        got.GatherOutRows(in, out, 2, pickCols, n);
        ASSERT_EQ(g8, w8) << "GatherOutRows";
        ASSERT_EQ(g8b, w8b) << "GatherOutRows";
      }
      // Gathered rows, blended: as the reused rows and as pair rows.
      std::vector<std::int16_t> top(n), bottom(n);
      want.GatherBytes(t, cols, top.data(), n);
      want.GatherBytes(t + TW, cols, bottom.data(), n);
      want.BlendRowsOut(top.data(), bottom.data(), fy, w8.data(), n);
      if (got.GatherBytes != nullptr) {
        got.GatherBytes(t, cols, g16.data(), n);
        ASSERT_EQ(std::vector(g16.begin(), g16.begin() + n), top) << "GatherBytes";
        ASSERT_EQ(g16[n], 7) << "GatherBytes";
        got.BlendRowsOut(a.data(), b.data(), fy, g8.data(), n);
        want.BlendRowsOut(a.data(), b.data(), fy, w8b.data(), n);
        ASSERT_EQ(g8, w8b) << "BlendRowsOut";
      }
      if (got.WeighRow != nullptr) {
        std::vector<std::int16_t, renderer::CacheLineAllocator<std::int16_t>> pairs(128 * blocks);
        const k::PairPlan plan{pairFrom.data(), pairPicks.data(), packedW.data()};
        got.WeighRow(t + TW, plan, pairs.data(), 1, n);
        got.WeighRow(t, plan, pairs.data(), 0, n);
        got.BlendPairsOut(pairs.data(), std::uint32_t(256 - fy) | std::uint32_t(fy) << 16,
                          g8.data(), n);
        ASSERT_EQ(g8, w8) << "pair rows";
      }
    }
  }
}

// Every vector table this build has (the portable one is the yardstick).
INSTANTIATE_TEST_SUITE_P(Tables, Kernels,
                         ::testing::ValuesIn(renderer::AllKernelTables().subspan(1)),
                         [](const auto& info) { return std::string(info.param->Name); });

}  // namespace
