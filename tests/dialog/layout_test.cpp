// Button slice geometry, the dialog's gradients and the save conversions.
#include <gtest/gtest.h>

#include "gradient.h"
#include "settings_form.h"
#include "slices.h"

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

TEST(Gradient, DialogWorkedValues) {
  using dialog::LineColour;
  using dialog::Rgb;
  using dialog::Surface;
  const double H = 3780;
  EXPECT_EQ(LineColour(Surface::Dialog, 0, H), (Rgb{0, 0, 30}));
  EXPECT_EQ(LineColour(Surface::Dialog, 14, H), (Rgb{3, 3, 33}));
  EXPECT_EQ(LineColour(Surface::Dialog, H / 2, H), (Rgb{220, 220, 250}));
  EXPECT_EQ(LineColour(Surface::Dialog, 2940, H), (Rgb{141, 141, 171}));
  EXPECT_EQ(LineColour(Surface::Dialog, H, H), (Rgb{0, 0, 30}));
  EXPECT_EQ(LineColour(Surface::Panel, 0, 2535), (Rgb{30, 30, 30}));
  EXPECT_EQ(LineColour(Surface::Panel, 2535 / 2.0, 2535), (Rgb{250, 250, 250}));
  EXPECT_EQ(LineColour(Surface::Panel, 2535, 2535), (Rgb{30, 30, 30}));
}

TEST(Gradient, LastLineInARowGivesItsColour) {
  const auto rows = dialog::GradientRows(dialog::Surface::Dialog, 3780, 252, 15);
  ASSERT_EQ(rows.size(), 252u);
  EXPECT_EQ(rows[0], (dialog::Rgb{3, 3, 33}));  // lines 0 ... 14, the last is 14
  EXPECT_EQ(rows[126], dialog::LineColour(dialog::Surface::Dialog, 1904, 3780));
  EXPECT_EQ(rows[251], dialog::LineColour(dialog::Surface::Dialog, 3779, 3780));
  // Symmetric arch: light in the middle, dark at both edges.
  EXPECT_GT(rows[126].red, 215);
  EXPECT_LT(rows[251].red, 5);
}

TEST(Gradient, NothingForAnEmptySurface) {
  EXPECT_TRUE(dialog::GradientRows(dialog::Surface::Dialog, 0, 0, 15).empty());
  EXPECT_TRUE(dialog::GradientRows(dialog::Surface::Panel, -15, 10, 15).empty());
}

TEST(Gradient, CoarserScreensStillColourEveryRow) {
  // At 120 dots per inch a row is 12 twips; at 72, 20.
  for (double tpp : {12.0, 20.0, 7.5}) {
    const int rows = static_cast<int>(3780 / tpp);
    const auto r = dialog::GradientRows(dialog::Surface::Dialog, 3780, rows, tpp);
    ASSERT_EQ(static_cast<int>(r.size()), rows);
    EXPECT_GT(r[rows / 2].red, 215) << tpp;
  }
}

TEST(SettingsForm, TrackTextAsSaved) {
  EXPECT_EQ(dialog::TrackFromText(""), 0);
  EXPECT_EQ(dialog::TrackFromText("abc"), 0);
  EXPECT_EQ(dialog::TrackFromText("12"), 12);
  EXPECT_EQ(dialog::TrackFromText("2.5"), 2);
  EXPECT_EQ(dialog::TrackFromText("3.5"), 4);
  EXPECT_EQ(dialog::TrackFromText(" 7 "), 7);
  EXPECT_EQ(dialog::TrackFromText("-3"), -3);
  EXPECT_EQ(dialog::TrackFromText("99999"), 0);
  EXPECT_EQ(dialog::TrackFromText("32767"), 32767);
  EXPECT_EQ(dialog::TrackFromText("32767.5"), 0);  // rounds to 32768
  EXPECT_EQ(dialog::TrackFromText("1e1"), 10);
  EXPECT_EQ(dialog::TrackText(0), "");
  EXPECT_EQ(dialog::TrackText(7), "7");
}

TEST(SettingsForm, EnablementByMode) {
  struct Row {
    int mode, mark;
    bool combo, file;
  };
  for (Row r : {Row{0, 0, false, false}, Row{1, 1, true, false}, Row{2, 2, false, true},
                Row{5, -1, false, false}, Row{-1, -1, false, false}}) {
    const dialog::Enablement e = dialog::EnablementFor(static_cast<std::int16_t>(r.mode));
    EXPECT_EQ(e.selectedMark, r.mark) << r.mode;
    EXPECT_EQ(e.repeatCombo, r.combo) << r.mode;
    EXPECT_EQ(e.fileButton, r.file) << r.mode;
  }
}

}  // namespace
