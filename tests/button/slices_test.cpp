// The button face's slice geometry and caption place.
#include "button/slices.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::array<int, 4> Xywh(const command::PixelRect& r) { return {r.X, r.Y, r.Width, r.Height}; }

TEST(Slices, PixelRectanglesAsTheSliceTableGivesThemOrNoneWithoutRoom) {
  // 設定, "..." (side bands squeezed from 17 to 13) and その他の作品 (bands stretched from 56 to
  // 117). The slice table's pixel column: w, h the button's size; sources on the 64 x 25 picture.
  for (auto [wt, ht] : {std::pair{1095, 375}, {435, 315}, {1875, 375}}) {
    const int w = wt / 15, h = ht / 15;
    const int dest[8][4] = {{0, 0, 4, 4},         {4, 0, w - 8, 4},     {w - 4, 0, 4, 4},
                            {w - 4, 4, 4, h - 8}, {w - 4, h - 4, 4, 4}, {4, h - 4, w - 8, 4},
                            {0, h - 4, 4, 4},     {0, 4, 4, h - 8}};
    const int source[8][4] = {{0, 0, 4, 4},   {4, 0, 56, 4},  {60, 0, 4, 4}, {60, 4, 4, 17},
                              {60, 21, 4, 4}, {4, 21, 56, 4}, {0, 21, 4, 4}, {0, 4, 4, 17}};
    const auto slices = command::SliceGeometry(wt, ht);
    for (int i = 0; i < 8; ++i) {
      SCOPED_TRACE(::testing::Message() << wt << " x " << ht << ", slice " << i);
      ASSERT_TRUE(slices[i].has_value());
      EXPECT_EQ(Xywh(command::ToPixels(slices[i]->Destination, 15, 15)), std::to_array(dest[i]));
      EXPECT_EQ(Xywh(command::ToPixels(slices[i]->Source, 15, 15)), std::to_array(source[i]));
    }
  }
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
}

TEST(Slices, CaptionBoxTopOn375And315TwipButtons) {
  EXPECT_EQ(command::CaptionTop(375, 195), 80);
  EXPECT_EQ(command::CaptionTop(315, 195), 50);
  EXPECT_EQ(command::CaptionTop(376, 195), 80);  // 80.5, truncated
}

}  // namespace
