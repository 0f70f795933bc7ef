// The music player's calls, made to the real multimedia library (winmm).
#pragma once

#include "music/music_player.h"

namespace music {

class WinmmMultimedia : public Multimedia {
 public:
  std::uint32_t SendString(const char* command, char* reply, std::uint32_t length) override;
  bool GetErrorString(std::uint32_t code, char* text, std::uint32_t length) override;
  std::uint32_t WaveOutDeviceCount() override;
  void SoundCall(const char* sound, std::uint32_t flags) override;
};

}  // namespace music
