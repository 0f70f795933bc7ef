// The button face's slice geometry and caption place.
#include "button/slices.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::array<int, 4> Xywh(const button::PixelRect& r) { return {r.X, r.Y, r.Width, r.Height}; }

TEST(Slices, NoneWithoutRoom) {
  // Slices left out: without room (121 twips leave the edges one twip, 100
  // none), or beyond 16 bits (W - 60 = 32767 still fits).
  // An edge of exactly zero twips is left out too (W or H = 120).
  const int sizes[][2] = {{32827, 121}, {100, 100}, {32888, 375},
                          {375, 32828}, {120, 375}, {375, 120}};
  const char* const present[] = {"11111111", "10101010", "10000011",
                                 "11110001", "10111011", "11101110"};
  for (int k = 0; k < 6; ++k) {
    const auto [w, h] = sizes[k];
    const auto slices = button::SliceGeometry(w, h);
    for (int i = 0; i < 8; ++i)
      EXPECT_EQ(slices[i].has_value(), present[k][i] == '1') << w << " x " << h << ", slice " << i;
  }
}

TEST(Slices, PiecesFrameThe73By25PixelButtonOnceEach) {
  // The 1095 x 375 twip button at 15 twips a pixel: the pieces cover its
  // 4-pixel border, each pixel once, and leave the body to the gradient.
  const auto slices = button::SliceGeometry(1095, 375);
  int cover[25][73] = {};
  for (const auto& s : slices) {
    const button::PixelRect d = button::ToPixels(s->Destination, 15, 15);
    ASSERT_TRUE(d.X >= 0 && d.Y >= 0 && d.X + d.Width <= 73 && d.Y + d.Height <= 25);
    for (int y = d.Y; y < d.Y + d.Height; ++y)
      for (int x = d.X; x < d.X + d.Width; ++x) ++cover[y][x];
  }
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 73; ++x)
      EXPECT_EQ(cover[y][x], x < 4 || x >= 69 || y < 4 || y >= 21) << x << ", " << y;
  // The top edge stretches the middle 56 pixels of the picture's top band.
  EXPECT_EQ(Xywh(button::ToPixels(slices[1]->Source, 15, 15)), (std::array{4, 0, 56, 4}));
}

TEST(Slices, CaptionBoxTopOn375And315TwipButtons) {
  EXPECT_EQ(button::CaptionTop(375, 195), 80);
  EXPECT_EQ(button::CaptionTop(315, 195), 50);
  EXPECT_EQ(button::CaptionTop(376, 195), 80);  // 80.5, truncated
}

}  // namespace
