// The dialog's gradients and the save conversions.
#include "dialog/settings_rules.h"

#include <gtest/gtest.h>

#include "dialog/gradient.h"

namespace {

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
