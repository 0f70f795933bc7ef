#include "dialog/settings_rules.h"

#include "common/text_number.h"

namespace dialog {

Enablement EnablementFor(std::int16_t mode) {
  switch (mode) {
    case 0:
      return {0, false, false};
    case 1:
      return {1, true, false};
    case 2:
      return {2, false, true};
    default:
      return {-1, false, false};
  }
}

std::int16_t TrackFromText(const std::string& text) {
  const auto v = common::text_number::RoundWithin(text, -32768, 32767);
  return v ? static_cast<std::int16_t>(*v) : 0;
}

std::string TrackText(std::int16_t track) { return track == 0 ? "" : std::to_string(track); }

music::BgmSettings SettingsToSave(const music::BgmSettings& edited,
                                  const music::BgmSettings& stored, bool modeChosen,
                                  bool fileChosen) {
  music::BgmSettings out = edited;
  if (!modeChosen) out.BgmMode = stored.BgmMode;
  if (!fileChosen) out.BgmFile = stored.BgmFile;
  return out;
}

}  // namespace dialog
