// The button face's slice geometry.
#include "button/slices.h"

#include <gtest/gtest.h>
namespace {

using command::PixelRect;
using command::SliceGeometry;
using command::ToPixels;

PixelRect Dest(int w, int h, int i) {
  return ToPixels(SliceGeometry(w, h)[i]->destination, 15, 15);
}
PixelRect Src(int w, int h, int i) { return ToPixels(SliceGeometry(w, h)[i]->source, 15, 15); }

bool Same(PixelRect a, PixelRect b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

TEST(Slices, DialogHeightButtonUsesTheMiddleBandUnstretched) {
  // 1095 x 375 twips = 73 x 25 pixels.
  const PixelRect expectDest[] = {{0, 0, 4, 4},   {4, 0, 65, 4},  {69, 0, 4, 4}, {69, 4, 4, 17},
                                  {69, 21, 4, 4}, {4, 21, 65, 4}, {0, 21, 4, 4}, {0, 4, 4, 17}};
  const PixelRect expectSrc[] = {{0, 0, 4, 4},   {4, 0, 56, 4},  {60, 0, 4, 4}, {60, 4, 4, 17},
                                 {60, 21, 4, 4}, {4, 21, 56, 4}, {0, 21, 4, 4}, {0, 4, 4, 17}};
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(Same(Dest(1095, 375, i), expectDest[i]));
    EXPECT_TRUE(Same(Src(1095, 375, i), expectSrc[i]));
  }
}

TEST(Slices, LowButtonSqueezesTheSideBands) {
  // Cmd_BGM: 435 x 315 twips; the 17-pixel band becomes 13 pixels.
  EXPECT_EQ(Dest(435, 315, 3).height, 13);
  EXPECT_EQ(Dest(435, 315, 7).height, 13);
  EXPECT_EQ(Src(435, 315, 7).height, 17);
  EXPECT_EQ(Dest(435, 315, 4).y, 17);
}

TEST(Slices, WideButtonStretchesTheTopAndBottomBands) {
  EXPECT_EQ(Dest(1875, 375, 1).width, 117);
  EXPECT_EQ(Dest(1875, 375, 5).width, 117);
  EXPECT_EQ(Src(1875, 375, 1).width, 56);
  EXPECT_EQ(Dest(1875, 375, 2).x, 121);
}

TEST(Slices, TinyOrHugeButtonsLeaveSlicesOut) {
  const auto tiny = SliceGeometry(100, 100);  // edges would be negative
  EXPECT_FALSE(tiny[1].has_value());
  EXPECT_FALSE(tiny[3].has_value());
  EXPECT_TRUE(tiny[0].has_value());
  const auto huge = SliceGeometry(40000, 375);
  EXPECT_FALSE(huge[1].has_value());  // 39880 twips do not fit 16 bits
  EXPECT_FALSE(huge[2].has_value());
  EXPECT_TRUE(huge[7].has_value());
}

TEST(Slices, CaptionSitsTenTwipsAboveTheCentre) {
  EXPECT_EQ(command::CaptionTop(375, 195), 80);
  EXPECT_EQ(command::CaptionTop(315, 195), 50);
}

}  // namespace
