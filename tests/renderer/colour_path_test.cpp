// Colour table, path table and the per-frame parameter formulas.
#include <gtest/gtest.h>

#include <cmath>

#include "renderer/julia_zoom.h"

namespace {

using uzoom::ColourTable;

TEST(ColourTable, TellingEntries) {
  struct Row {
    int i, red, green, blue;
  };
  const Row rows[] = {{0, 0, 5, 64},        {1, 0, 9, 64},        {15, 1, 37, 65},
                      {31, 5, 59, 68},      {63, 18, 97, 76},     {127, 68, 157, 103},
                      {191, 148, 208, 142}, {254, 253, 254, 190}, {255, 255, 255, 191}};
  const ColourTable t = uzoom::MakeColourTable();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.i);
    EXPECT_EQ(t[r.i].red, r.red);
    EXPECT_EQ(t[r.i].green, r.green);
    EXPECT_EQ(t[r.i].blue, r.blue);
    EXPECT_EQ(t[r.i].reserved, 0);
  }
}

TEST(ColourTable, ChannelsRiseFromDarkBlueToPaleYellow) {
  const ColourTable t = uzoom::MakeColourTable();
  for (int i = 1; i < 256; ++i) {
    SCOPED_TRACE(i);
    EXPECT_GE(t[i].red, t[i - 1].red);
    EXPECT_GE(t[i].green, t[i - 1].green);
    EXPECT_GE(t[i].blue, t[i - 1].blue);
    EXPECT_GE(t[i].blue, 64);
    EXPECT_LE(t[i].blue, 191);
  }
}

TEST(PowerOf, ZeroTakesNoLogarithm) {
  EXPECT_EQ(uzoom::PowerOf(0.0L, 1.7L), 0.0L);
  EXPECT_EQ(uzoom::PowerOf(1.0L, 1.9L), 1.0L);
  EXPECT_NEAR(static_cast<double>(uzoom::PowerOf(0.25L, 0.5L)), 0.5, 1e-15);
}

TEST(RoundToInt, NearestTiesToEven) {
  EXPECT_EQ(uzoom::RoundToInt(2.5L), 2);
  EXPECT_EQ(uzoom::RoundToInt(3.5L), 4);
  EXPECT_EQ(uzoom::RoundToInt(-2.5L), -2);
  EXPECT_EQ(uzoom::RoundToInt(-2.6L), -3);
  EXPECT_EQ(uzoom::RoundToInt(0.49999L), 0);
}

TEST(PathTable, MirroredHalfRunsBackwards) {
  const uzoom::PathTable p = uzoom::MakePathTable();
  EXPECT_DOUBLE_EQ(p[0].x, 0.252431);
  EXPECT_DOUBLE_EQ(p[0].y, -0.004417);
  EXPECT_DOUBLE_EQ(p[150].x, -1.796875);
  EXPECT_DOUBLE_EQ(p[150].y, -0.007362);
  for (int i = 0; i <= 150; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(p[301 - i].x, p[i].x);
    EXPECT_EQ(p[301 - i].y, -p[i].y);
  }
  // The lower half stays below the real axis but for one stored point.
  int above = 0;
  for (int i = 0; i <= 150; ++i) above += p[i].y > 0;
  EXPECT_EQ(above, 2);
}

TEST(JuliaParameter, FollowsThePathInTwentyStepsPerSegment) {
  const uzoom::PathTable p = uzoom::MakePathTable();
  // t = 0: on entry 0, wobble sin 0 = 0 and cos 0 = 1.
  uzoom::JuliaParameter c = uzoom::JuliaAt(p, 0);
  EXPECT_DOUBLE_EQ(c.cx, 0.252431);
  EXPECT_NEAR(c.cy, -0.004417 + 0.03, 1e-15);
  // Constant within one 25 ms tick.
  const uzoom::JuliaParameter c24 = uzoom::JuliaAt(p, 24);
  EXPECT_EQ(c24.cx, c.cx);
  EXPECT_EQ(c24.cy, c.cy);
  // Half-way along segment 7 (tick 150 = 7 * 20 + 10).
  c = uzoom::JuliaAt(p, 150 * 25);
  EXPECT_NEAR(c.cx, (p[7].x + p[8].x) / 2 + 0.04 * std::sin(0.0016 * 150), 1e-12);
  EXPECT_NEAR(c.cy, (p[7].y + p[8].y) / 2 + 0.03 * std::cos(0.0013 * 150), 1e-12);
  // Segment 299 heads for entry 300; then the lap starts again at entry 0.
  c = uzoom::JuliaAt(p, (299 * 20 + 19) * 25);
  const double tick = 299 * 20 + 19;
  EXPECT_NEAR(c.cx, (19 * p[300].x + p[299].x) / 20 + 0.04 * std::sin(0.0016 * tick), 1e-12);
  c = uzoom::JuliaAt(p, 300 * 20 * 25);
  EXPECT_NEAR(c.cx, p[0].x + 0.04 * std::sin(0.0016 * 6000), 1e-12);
}

TEST(JuliaParameter, ClockWrapStaysOnThePath) {
  const uzoom::PathTable p = uzoom::MakePathTable();
  for (std::uint32_t t : {0xFFFFFFFFu, 0xFFFFFFFFu - 25, 0u}) {
    const uzoom::JuliaParameter c = uzoom::JuliaAt(p, t);
    EXPECT_GT(c.cx, -1.9);
    EXPECT_LT(c.cx, 0.5);
    EXPECT_LT(std::fabs(c.cy), 0.95);
  }
}

TEST(PanAndScale, StayInTheirRanges) {
  for (std::uint32_t t = 0; t < 400000; t += 137) {
    const std::int32_t px = uzoom::PanX(t, t + 3);
    const std::int32_t py = uzoom::PanY(t, t + 5);
    ASSERT_GE(px, 64);
    ASSERT_LE(px, 256);
    ASSERT_GE(py, 48);
    ASSERT_LE(py, 192);
    const double s = uzoom::ScaleAt(t);
    ASSERT_GE(s, 0.125);
    ASSERT_LE(s, 7.0);
  }
  EXPECT_EQ(uzoom::PanX(0, 0), 160);
  EXPECT_EQ(uzoom::PanY(0, 0), 120);
}

TEST(PanAndScale, ScaleBreathesOverEightSeconds) {
  EXPECT_DOUBLE_EQ(uzoom::ScaleAt(0), 1.0);
  EXPECT_DOUBLE_EQ(uzoom::ScaleAt(2000), 7.0);
  EXPECT_NEAR(uzoom::ScaleAt(4000), 1.0, 1e-15);
  EXPECT_DOUBLE_EQ(uzoom::ScaleAt(6000), 0.125);
  EXPECT_DOUBLE_EQ(uzoom::ScaleAt(8000), 1.0);
  EXPECT_DOUBLE_EQ(uzoom::ScaleAt(8000 * 1000 + 2000), 7.0);
  // No jump at the turn of the cycle, nor at the middle.
  EXPECT_NEAR(uzoom::ScaleAt(7999), uzoom::ScaleAt(0), 1e-5);
  EXPECT_NEAR(uzoom::ScaleAt(3999), uzoom::ScaleAt(4000), 1e-4);
}

}  // namespace
