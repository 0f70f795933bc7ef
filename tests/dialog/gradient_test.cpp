// The dialog's backgrounds: the colour of each pixel row.
#include "dialog/gradient.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using dialog::Surface;

int Hex(forms::Rgb c) { return c.Red << 16 | c.Green << 8 | c.Blue; }

TEST(Gradient, PixelRows) {
  // Levels from a few lines of Python written from the formula:
  //   c(y, H) = round(abs(220 * sin(y / (H / 3.142))))   (round: ties to even)
  //   row r of a surface drawn at t twips a pixel: c(y) of the last y <= H
  //   with floor(y / t) = r; a row that no line reaches takes the row above.
  for (auto [s, height, rows, twips, row, rgb] :
       {std::tuple{Surface::Dialog, 3780, 252, 15.0, 0, 0x030321},
        {Surface::Dialog, 3780, 252, 15.0, 126, 0xDCDCFA},
        {Surface::Dialog, 3780, 252, 15.0, 251, 0x00001E},
        {Surface::Panel, 2535, 169, 15.0, 0, 0x222222},
        {Surface::Dialog, 3780, 315, 12.0, 0, 0x020220},
        {Surface::Dialog, 10, 21, 0.5, 3, 0x444462},
        {Surface::Dialog, 10, 21, 0.5, 20, 0x00001E},
        {Surface::Dialog, 10, 1, 15.0, 0, 0x00001E}}) {
    SCOPED_TRACE(::testing::Message() << height << " high, row " << row << " of " << rows);
    const auto colours = dialog::GradientRows(s, height, rows, twips);
    ASSERT_EQ(static_cast<int>(colours.size()), rows);
    EXPECT_EQ(Hex(colours[row]), rgb);
  }
  EXPECT_TRUE(dialog::GradientRows(Surface::Dialog, 0, 1, 15).empty());
  EXPECT_TRUE(dialog::GradientRows(Surface::Panel, 15, 1, 0).empty());
}

}  // namespace
