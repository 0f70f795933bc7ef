// The escape-time texture.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "renderer/julia_zoom.h"
#include "renderer/reference.h"

namespace {

constexpr int N = uzoom::TexWidth * uzoom::TexHeight;

std::vector<std::uint8_t> Render(double cx, double cy, int maxIter = 64) {
  std::vector<std::uint8_t> t(N, 0xA5);
  uzoom::RenderJulia(t.data(), cx, cy, maxIter);
  return t;
}

// Parameters the path visits, and a few beyond it.
const double Params[][2] = {{0.252431, 0.025583}, {-0.75, 0.1},  {-1.796875, -0.007362},
                            {0.28, -0.01},        {-0.12, 0.75}, {0.0, 0.0},
                            {-0.4, -0.6},         {0.45, 0.5}};

TEST(Texture, ValuesAreEscapeStepsTimesFourOrInside) {
  for (const auto& c : Params) {
    const std::vector<std::uint8_t> t = Render(c[0], c[1]);
    for (int i = 0; i < N; ++i) {
      ASSERT_TRUE(t[i] == 255 || (t[i] % 4 == 0 && t[i] <= 252)) << i << ": " << int(t[i]);
    }
    // The corners start outside |z|^2 > 2.
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[N - 1], 0);
  }
}

TEST(Texture, LowerHalfIsUpperHalfTurnedRound) {
  for (const auto& c : Params) {
    const std::vector<std::uint8_t> t = Render(c[0], c[1]);
    for (int i = 0; i < N; ++i) ASSERT_EQ(t[i], t[N - 1 - i]) << i;
  }
}

TEST(Texture, MatchesThePlainVersion) {
  for (const auto& c : Params) {
    SCOPED_TRACE(c[0]);
    EXPECT_EQ(Render(c[0], c[1]), reference::Texture(c[0], c[1], 64));
  }
}

TEST(Texture, CentreOfTheCardioidNeverEscapes) {
  // c = 0: the unit disc's inside is the filled set; the centre texel is
  // z = (x of col 160, y of row 120) = (0, 0) in the lower half.
  const std::vector<std::uint8_t> t = Render(0.0, 0.0);
  EXPECT_EQ(t[120 * 320 + 159], 255);
  int inside = 0;
  for (std::uint8_t v : t) inside += v == 255;
  EXPECT_GT(inside, 1000);
}

TEST(Texture, NoIterationsMeansInside) {
  const std::vector<std::uint8_t> t = Render(-0.75, 0.1, 0);
  for (std::uint8_t v : t) ASSERT_EQ(v, 255);
}

TEST(Texture, WritesOnlyTheImageRows) {
  std::vector<std::uint8_t> t(N + 2 * uzoom::TexWidth, 0x5A);
  uzoom::RenderJulia(t.data(), -0.75, 0.1, 64);
  for (int i = N; i < N + 2 * uzoom::TexWidth; ++i) ASSERT_EQ(t[i], 0x5A);
}

}  // namespace
