// The button face's slice geometry and caption place.
#include "button/slices.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <vector>

namespace {

TEST(Slices, NoneWithoutRoom) {
  // Slices left out: without room (121 twips leave the edges one twip, 100
  // none), or beyond 16 bits (W - 60 = 32767 still fits).
  // An edge of exactly zero twips is left out too (W or H = 120).
  const std::tuple<int, int, const char*> rows[] = {
      {32827, 121, "11111111"}, {100, 100, "10101010"}, {32888, 375, "10000011"},
      {375, 32828, "11110001"}, {120, 375, "10111011"}, {375, 120, "11101110"},
  };
  for (const auto& [w, h, present] : rows) {
    const auto slices = button::SliceGeometry(w, h);
    for (int i = 0; i < 8; ++i)
      EXPECT_EQ(slices[i].has_value(), present[i] == '1') << w << " x " << h << ", slice " << i;
  }
}

TEST(Slices, PiecesFrameTheButtonFromTheSamePlacesOfThePicture) {
  // The 1095 x 375 twip button at 15 twips a pixel is 73 x 25 pixels, the
  // picture 64 x 25: on each, the pieces cover the 4-pixel border once and
  // leave the middle, and each piece lies on the same sides of both.
  const auto slices = button::SliceGeometry(1095, 375);
  for (const bool source : {false, true}) {
    const int w = source ? 64 : 73;
    std::vector<int> cover(w * 25);
    for (const auto& s : slices) {
      const button::PixelRect r = button::ToPixels(source ? s->Source : s->Destination, 15, 15);
      ASSERT_TRUE(r.X >= 0 && r.Y >= 0 && r.X + r.Width <= w && r.Y + r.Height <= 25);
      for (int y = r.Y; y < r.Y + r.Height; ++y)
        for (int x = r.X; x < r.X + r.Width; ++x) ++cover[y * w + x];
    }
    for (int y = 0; y < 25; ++y)
      for (int x = 0; x < w; ++x)
        EXPECT_EQ(cover[y * w + x], x < 4 || x >= w - 4 || y < 4 || y >= 21)
            << (source ? "picture " : "button ") << x << ", " << y;
  }
  for (const auto& s : slices) {
    const button::PixelRect d = button::ToPixels(s->Destination, 15, 15);
    const button::PixelRect p = button::ToPixels(s->Source, 15, 15);
    EXPECT_EQ(std::tuple(d.X == 0, d.X + d.Width == 73, d.Y, d.Height),
              std::tuple(p.X == 0, p.X + p.Width == 64, p.Y, p.Height));
  }  // At any scale the pieces of a side line up: left, top, right and bottom.
  for (const int t : {1, 12, 15}) {
    std::array<button::PixelRect, 8> d;
    for (int i = 0; i < 8; ++i) d[i] = button::ToPixels(slices[i]->Destination, t, t);
    const auto right = [&](int i) { return d[i].X + d[i].Width; };
    const auto bottom = [&](int i) { return d[i].Y + d[i].Height; };
    EXPECT_EQ(std::tuple(d[0].X, d[7].X, d[0].Y, d[1].Y, right(2), right(3), bottom(4), bottom(5)),
              std::tuple(d[6].X, d[6].X, d[2].Y, d[2].Y, right(4), right(4), bottom(6), bottom(6)))
        << t << " twips a pixel";
  }
}

TEST(Slices, CaptionBoxTopOn375And315TwipButtons) {
  EXPECT_EQ(button::CaptionTop(375, 195), 80);
  EXPECT_EQ(button::CaptionTop(315, 195), 50);
  EXPECT_EQ(button::CaptionTop(376, 195), 80);  // 80.5, truncated
}

}  // namespace
