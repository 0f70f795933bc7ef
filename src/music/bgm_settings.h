// The background-music choice the settings file keeps and a run plays: the
// shell reads and writes it, the dialog edits it, the music player plays it.
#pragma once

#include <cstdint>
#include <string>

namespace music {

struct BgmSettings {
  std::int16_t BgmMode = 0;    // 0 no music, 1 audio CD, 2 sound file
  std::int16_t BgmRepeat = 0;  // audio-CD track to repeat, 0 for none
  std::string BgmFile;         // full path of the sound file, empty for none
};

inline constexpr std::int16_t ModeNone = 0;
inline constexpr std::int16_t ModeCd = 1;
inline constexpr std::int16_t ModeFile = 2;

}  // namespace music
