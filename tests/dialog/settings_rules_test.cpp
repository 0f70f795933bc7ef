// What a mode from a hand-edited file enables, and how the dialog's track
// text and choices save.
#include "dialog/settings_rules.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(SettingsRules, AModeOfAHandEditedFileSelectsAndEnablesNothing) {
  for (const std::int16_t mode : {-1, 3, 5}) {
    const dialog::Enablement e = dialog::EnablementFor(mode);
    EXPECT_EQ(std::tuple(e.SelectedMark, e.RepeatCombo, e.FileButton), std::tuple(-1, false, false))
        << mode;
  }
}

TEST(SettingsRules, TrackTextAsSavedAndShown) {
  const struct {
    const char* text;
    int track;
  } rows[] = {{"", 0},          {"abc", 0},   {"12", 12},         {"2.5", 2},   {"3.5", 4},
              {"32767", 32767}, {"32768", 0}, {"-32768", -32768}, {"-32769", 0}};
  for (const auto& r : rows) EXPECT_EQ(dialog::TrackFromText(r.text), r.track) << r.text;
  EXPECT_EQ(dialog::TrackText(0), "");
  EXPECT_EQ(dialog::TrackText(7), "7");
}

TEST(SettingsRules, SaveKeepsTheStoredModeAndFileUntilChosen) {
  const music::BgmSettings edited{1, 7, "new"}, stored{2, 3, "gone"};
  for (auto [mode, file, expected] : {std::tuple{false, false, "27gone"},
                                      {true, false, "17gone"},
                                      {false, true, "27new"},
                                      {true, true, "17new"}}) {
    const music::BgmSettings s = dialog::SettingsToSave(edited, stored, mode, file);
    EXPECT_EQ(std::to_string(s.BgmMode * 10 + s.BgmRepeat) + s.BgmFile, expected) << mode << file;
  }
}

}  // namespace
