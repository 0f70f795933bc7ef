// The button face's slice geometry and caption place.
#include "button/slices.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::array<int, 4> Xywh(const command::PixelRect& r) { return {r.X, r.Y, r.Width, r.Height}; }

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
    const auto slices = command::SliceGeometry(w, h);
    for (int i = 0; i < 8; ++i)
      EXPECT_EQ(slices[i].has_value(), present[k][i] == '1') << w << " x " << h << ", slice " << i;
  }
}

TEST(Slices, TwipRectanglesOfThe1095By375Button) {
  // The slice table in twips (x, y, width, height), destination then source.
  const int want[8][8] = {
      {1, 1, 60, 60, 0, 0, 60, 60},          {60, 1, 975, 60, 60, 1, 840, 60},
      {1035, 1, 60, 60, 900, 1, 60, 60},     {1035, 60, 60, 255, 900, 60, 60, 255},
      {1035, 315, 60, 60, 900, 315, 60, 60}, {60, 315, 975, 60, 60, 315, 840, 60},
      {1, 315, 60, 60, 0, 315, 60, 60},      {1, 60, 60, 255, 1, 60, 60, 255}};
  const auto slices = command::SliceGeometry(1095, 375);
  for (int i = 0; i < 8; ++i) {
    const auto& d = slices[i]->Destination;
    const auto& s = slices[i]->Source;
    const std::array<int, 8> got = {d.X, d.Y, d.Width, d.Height, s.X, s.Y, s.Width, s.Height};
    EXPECT_EQ(got, std::to_array(want[i])) << "slice " << i;
  }
  // In pixels at 15 twips a pixel: the top band, 73 - 8 wide, from the
  // picture's 56.
  EXPECT_EQ(Xywh(command::ToPixels(slices[1]->Destination, 15, 15)), (std::array{4, 0, 65, 4}));
  EXPECT_EQ(Xywh(command::ToPixels(slices[1]->Source, 15, 15)), (std::array{4, 0, 56, 4}));
  EXPECT_EQ(Xywh(command::ToPixels(slices[4]->Destination, 15, 15)), (std::array{69, 21, 4, 4}));
}

TEST(Slices, CaptionBoxTopOn375And315TwipButtons) {
  EXPECT_EQ(command::CaptionTop(375, 195), 80);
  EXPECT_EQ(command::CaptionTop(315, 195), 50);
  EXPECT_EQ(command::CaptionTop(376, 195), 80);  // 80.5, truncated
}

}  // namespace
