// The music player: background music from an audio CD, an MP3 file or a WAV file,
// through the multimedia library's command strings and its sound call. The
// run form calls the start procedures when it loads, the check procedures
// from its timers and the stop procedures when it ends.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "music/bgm_settings.h"

namespace music {

// The few calls of the multimedia library the player uses.
class Multimedia {
 public:
  virtual ~Multimedia() = default;
  // mciSendStringA(command, reply, length, no callback window): 0 or an MCI
  // error code. reply is null exactly when length is 0.
  virtual std::uint32_t SendString(const char* command, char* reply, std::uint32_t length) = 0;
  // mciGetErrorStringA: false when there is no text for the code.
  virtual bool GetErrorString(std::uint32_t code, char* text, std::uint32_t length) = 0;
  virtual std::uint32_t WaveOutDeviceCount() = 0;
  // PlaySoundA(sound, no module, flags); a null sound stops what is playing.
  virtual void SoundCall(const char* sound, std::uint32_t flags) = 0;
};

inline constexpr std::uint32_t SndAsync = 0x0001;
inline constexpr std::uint32_t SndLoop = 0x0008;

// Replies made up by the player itself (Shift-JIS bytes).
// "コマンド文字列が指定されていません"
inline constexpr char NoCommandReply[] =
    "\x83\x52\x83\x7d\x83\x93\x83\x68\x95\xb6\x8e\x9a\x97\xf1\x82\xaa\x8e\x77\x92\xe8\x82\xb3\x82"
    "\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1";
// "Error (文字列が取れません)"
inline constexpr char NoErrorTextReply[] =
    "Error (\x95\xb6\x8e\x9a\x97\xf1\x82\xaa\x8e\xe6\x82\xea\x82\xdc\x82\xb9\x82\xf1)";

class MusicPlayer {
 public:
  MusicPlayer(Multimedia& mm, const music::BgmSettings& bgm) : mm_(mm), bgm_(bgm) {}

  // Audio CD: opened at the start, started and kept playing by the polls.
  void OpenCd();
  void CheckCd();
  void CloseCd();
  // True while the CD polls should go on; false after an error.
  bool CdPollFlag() const { return cdPollFlag_; }

  // MP3 file: always looped, restarted from 0 by the checks.
  void PlayMp3();
  void CheckMp3();
  bool IsMp3Playing();
  void CloseMp3();

  // WAV file: looped by the sound call itself.
  void PlayWave();
  void StopWave();

  // Sends a command with the reply buffer; reply gets the reply or the error
  // text. 0 or the error code; -1 for an empty command.
  std::int32_t SendMci(const std::string& command, std::string& reply);
  // The reply, or "Error:" and the code.
  std::string MciStatus(const std::string& command);
  // "play DEVICE [from FROM] [to TO]".
  std::int32_t MciPlay(const std::string& device, const std::string& from, const std::string& to);

 private:
  void Send(const std::string& command);
  // The reply of a status query into one of the mode buffers; empty when
  // the query failed, so that an old reply is never taken for a new one.
  std::string Query(const std::string& command, char* buffer, std::uint32_t length);

  Multimedia& mm_;
  const music::BgmSettings& bgm_;
  std::array<char, 512> returnBuffer_{};
  std::array<char, 256> errorBuffer_{};
  std::array<char, 256> cdModeBuffer_{};
  std::array<char, 30> mp3ModeBuffer_{};
  std::string replyText_;
  bool cdPollFlag_ = false;
};

}  // namespace music
