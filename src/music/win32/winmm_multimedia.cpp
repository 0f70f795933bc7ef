#include "music/win32/winmm_multimedia.h"

#include <windows.h>
// after windows.h
#include <mmsystem.h>

namespace music {

std::uint32_t WinmmMultimedia::SendString(const char* command, char* reply, std::uint32_t length) {
  return mciSendStringA(command, reply, length, nullptr);
}

bool WinmmMultimedia::GetErrorString(std::uint32_t code, char* text, std::uint32_t length) {
  return mciGetErrorStringA(code, text, length) != FALSE;
}

std::uint32_t WinmmMultimedia::WaveOutDeviceCount() { return waveOutGetNumDevs(); }

void WinmmMultimedia::SoundCall(const char* sound, std::uint32_t flags) {
  ::PlaySoundA(sound, nullptr, flags);
}

}  // namespace music
