// What the settings dialog decides, without its window: which controls a
// music mode enables, and how the track text is saved.
#pragma once

#include <cstdint>
#include <string>

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

}  // namespace dialog
