// What the settings dialog decides, without its window: which controls a
// music mode enables, how the track text is saved, and what "設定" writes.
#pragma once

#include <cstdint>
#include <string>

#include "music/bgm_settings.h"

namespace dialog {

struct Enablement {
  int SelectedMark;  // index of the mark shown selected, -1 for none
  bool RepeatCombo;  // the track combo box
  bool FileButton;   // the "..." button
};

Enablement EnablementFor(std::int16_t mode);

// The track combo box's text as the number saved under the repeat key:
// numeric text rounded to the nearest whole number (ties to even); 0 for
// any other text, and for a number outside the 16-bit range.
std::int16_t TrackFromText(const std::string& text);

// The combo box's text for a stored track: empty for 0, else the number.
std::string TrackText(std::int16_t track);

// What "設定" writes: the edited settings, except that a mode no choice was
// clicked for and a sound file that was not chosen keep what the settings
// file holds (a sound file missing today shows as no music, and must not
// erase the stored choice).
music::BgmSettings SettingsToSave(const music::BgmSettings& edited,
                                  const music::BgmSettings& stored, bool modeChosen,
                                  bool fileChosen);

}  // namespace dialog
