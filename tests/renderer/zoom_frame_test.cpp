// The resampler and whole frames.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <vector>

#include "renderer/julia_zoom.h"
#include "renderer/reference.h"

namespace {

using uzoom::Buffers;

constexpr int TW = uzoom::TexWidth, TH = uzoom::TexHeight;

// The frame's visible pixels, rows packed.
std::vector<std::uint8_t> Visible(const Buffers& b) {
  std::vector<std::uint8_t> out;
  for (int r = 0; r < b.ScreenHeight; ++r)
    out.insert(out.end(), b.FrameBuffer.begin() + r * b.Stride,
               b.FrameBuffer.begin() + r * b.Stride + b.ScreenWidth);
  return out;
}

// A texture whose every texel is different enough to tell places apart.
Buffers WithPatternTexture(int w, int h) {
  Buffers b;
  EXPECT_EQ(uzoom::Allocate(b, w, h), uzoom::AllocResult::Ok);
  for (int i = 0; i < TW * TH; ++i)
    b.Texture[i] = static_cast<std::uint8_t>((i * 7 + i / TW) & 0xFF);
  return b;
}

std::vector<std::uint8_t> Image(const Buffers& b) {
  return {b.Texture.begin(), b.Texture.begin() + TW * TH};
}

TEST(ZoomFrame, ScaleOneAtTheCentreMapsTheTextureOnce) {
  Buffers b = WithPatternTexture(TW, TH);
  uzoom::ZoomFrame(b, 160, 120, 1.0);
  EXPECT_EQ(Visible(b), Image(b));
}

TEST(ZoomFrame, ScaleSevenTilesSevenTimesEachWay) {
  Buffers b = WithPatternTexture(7 * TW, 7 * TH);
  uzoom::ZoomFrame(b, 160, 120, 7.0);
  for (int r = 0; r < b.ScreenHeight; ++r)
    for (int c = 0; c < b.ScreenWidth; ++c)
      ASSERT_EQ(b.FrameBuffer[r * b.Stride + c], b.Texture[(r % TH) * TW + c % TW])
          << r << "," << c;
}

TEST(ZoomFrame, NegativeLeftEdgeWrapsToTheRightSide) {
  Buffers b = WithPatternTexture(TW, TH);
  uzoom::ZoomFrame(b, 0, 0, 1.0);
  // The top-left pixel shows texel (160, 120); the left half of the screen
  // shows the right half of the texture.
  EXPECT_EQ(b.FrameBuffer[0], b.Texture[120 * TW + 160]);
  EXPECT_EQ(b.FrameBuffer[5 * b.Stride + 3], b.Texture[125 * TW + 163]);
  EXPECT_EQ(b.FrameBuffer[130 * b.Stride + 170], b.Texture[10 * TW + 10]);
}

TEST(ZoomFrame, BlendsFourNeighboursAcrossTheWrap) {
  // Half a texel off in both directions: each pixel is the mean of four
  // texels, and the last column's right neighbour is the next row's first.
  Buffers b = WithPatternTexture(2 * TW, 2 * TH);
  uzoom::ZoomFrame(b, 160, 120, 1.0);
  EXPECT_EQ(Visible(b), reference::Frame(Image(b), 2 * TW, 2 * TH, 160, 120, 1.0));
  const int i = 10 * TW + 20;
  const int mean =
      (b.Texture[i] + b.Texture[i + 1] + b.Texture[i + TW] + b.Texture[i + TW + 1]) / 4;
  EXPECT_EQ(b.FrameBuffer[21 * b.Stride + 41], mean);
}

TEST(ZoomFrame, ScaleIsClamped) {
  Buffers a = WithPatternTexture(97, 61), b = WithPatternTexture(97, 61);
  uzoom::ZoomFrame(a, 100, 80, 0.0001);
  uzoom::ZoomFrame(b, 100, 80, 0.01);
  EXPECT_EQ(Visible(a), Visible(b));
  uzoom::ZoomFrame(a, 100, 80, 1e9);
  uzoom::ZoomFrame(b, 100, 80, 100);
  EXPECT_EQ(Visible(a), Visible(b));
  EXPECT_EQ(Visible(b), reference::Frame(Image(b), 97, 61, 100, 80, 100));
}

TEST(ZoomFrame, TinySurfacesAtTheLargestScaleStayInsideTheTexture) {
  // One pixel across at s = 100 steps 100 texture widths per pixel.
  for (auto [w, h] : {std::pair{1, 1}, {1, 300}, {300, 1}, {2, 3}, {63, 2}}) {
    SCOPED_TRACE(::testing::Message() << w << "x" << h);
    Buffers b = WithPatternTexture(w, h);
    for (double s : {100.0, 57.3, 7.0, 0.01}) {
      uzoom::ZoomFrame(b, 64, 191, s);
      ASSERT_EQ(Visible(b), reference::Frame(Image(b), w, h, 64, 191, s)) << s;
    }
  }
}

TEST(ZoomFrame, OddWidthsUseTheRowStrideAndLeaveThePaddingAlone) {
  for (int w : {1, 2, 3, 5, 321, 1023}) {
    SCOPED_TRACE(w);
    Buffers b = WithPatternTexture(w, 7);
    EXPECT_EQ(b.Stride % 4, 0);
    EXPECT_LT(b.Stride - w, 4);
    std::memset(b.FrameBuffer.data(), 0xEE, b.FrameBuffer.size());
    uzoom::ZoomFrame(b, 200, 50, 2.5);
    for (int r = 0; r < 7; ++r)
      for (std::int64_t c = w; c < b.Stride; ++c) ASSERT_EQ(b.FrameBuffer[r * b.Stride + c], 0xEE);
    EXPECT_EQ(Visible(b), reference::Frame(Image(b), w, 7, 200, 50, 2.5));
  }
}

TEST(Allocate, RefusesSizesOfZeroOrLessAndAbsurdOnes) {
  Buffers b;
  EXPECT_EQ(uzoom::Allocate(b, 0, 768), uzoom::AllocResult::BadSize);
  EXPECT_EQ(uzoom::Allocate(b, 1024, -1), uzoom::AllocResult::BadSize);
  EXPECT_EQ(uzoom::Allocate(b, uzoom::MaxSurfaceSide + 1, 10), uzoom::AllocResult::BadSize);
  EXPECT_TRUE(b.FrameBuffer.empty());
  uzoom::ZoomFrame(b, 160, 120, 1.0);  // nothing to draw into: no effect
  ASSERT_EQ(uzoom::Allocate(b, 5, 3), uzoom::AllocResult::Ok);
  EXPECT_EQ(b.FrameBuffer.size(), 24u);
  EXPECT_EQ(b.Texture.size(), static_cast<std::size_t>(TW * (TH + 2)));
}

// Whole frames from the clock, against the plain version.
struct FrameCase {
  std::uint32_t t;
  int w, h;
};

class WholeFrame : public ::testing::TestWithParam<FrameCase> {};

TEST_P(WholeFrame, MatchesThePlainVersion) {
  const FrameCase fc = GetParam();
  Buffers b;
  ASSERT_EQ(uzoom::Allocate(b, fc.w, fc.h), uzoom::AllocResult::Ok);
  const uzoom::PathTable path = uzoom::MakePathTable();
  uzoom::FixedClock clock(fc.t);
  uzoom::DrawFrame(b, path, clock);
  EXPECT_EQ(Visible(b), reference::FrameAt(fc.t, fc.w, fc.h));
}

INSTANTIATE_TEST_SUITE_P(ClockAndSize, WholeFrame,
                         ::testing::Values(FrameCase{0, 320, 240}, FrameCase{1000, 640, 480},
                                           FrameCase{2000, 1031, 777},  // s = 7, odd width
                                           FrameCase{6000, 333, 211},   // s = 1/8
                                           FrameCase{123456, 1920, 1080},
                                           FrameCase{4294967295u, 101, 77},
                                           FrameCase{77777777, 17, 5}, FrameCase{3500, 1, 1}),
                         [](const ::testing::TestParamInfo<FrameCase>& i) {
                           std::ostringstream name;
                           name << "t" << i.param.t << "_" << i.param.w << "x" << i.param.h;
                           return name.str();
                         });

TEST(DrawFrame, DependsOnlyOnTheClock) {
  const uzoom::PathTable path = uzoom::MakePathTable();
  Buffers a, b;
  ASSERT_EQ(uzoom::Allocate(a, 203, 151), uzoom::AllocResult::Ok);
  ASSERT_EQ(uzoom::Allocate(b, 203, 151), uzoom::AllocResult::Ok);
  for (std::uint32_t t : {5000u, 999999u, 42u}) {
    uzoom::FixedClock c(t);
    uzoom::DrawFrame(a, path, c);
  }
  uzoom::FixedClock c(42);
  uzoom::DrawFrame(b, path, c);
  EXPECT_EQ(a.FrameBuffer, b.FrameBuffer);
  EXPECT_EQ(a.Texture, b.Texture);
}

TEST(DrawFrame, ClockWrapJumpsElsewhereAndGoesOn) {
  const uzoom::PathTable path = uzoom::MakePathTable();
  Buffers before, after;
  ASSERT_EQ(uzoom::Allocate(before, 160, 120), uzoom::AllocResult::Ok);
  ASSERT_EQ(uzoom::Allocate(after, 160, 120), uzoom::AllocResult::Ok);
  uzoom::FixedClock last(0xFFFFFFFFu), first(0);
  uzoom::DrawFrame(before, path, last);
  uzoom::DrawFrame(after, path, first);
  EXPECT_NE(before.FrameBuffer, after.FrameBuffer);
  EXPECT_EQ(Visible(after), reference::FrameAt(0, 160, 120));
}

}  // namespace
