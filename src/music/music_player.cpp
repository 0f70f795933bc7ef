#include "music/music_player.h"

#include <cstring>

#include "common/ascii.h"
#include "common/text_number.h"

namespace music {
namespace {

constexpr char Cd[] = "cdaudio";
constexpr std::uint32_t CdModeLength = 255;

// Text before the first NUL, never past the buffer's end.
std::string TextOf(const char* buffer, std::size_t size) {
  std::size_t n = 0;
  while (n < size && buffer[n] != '\0') ++n;
  return std::string(buffer, n);
}

bool HasErr(const std::string& reply) {
  return common::ascii::Upper(reply).find("ERR") != std::string::npos;
}

bool Begins(const std::string& reply, const char* word) {
  return reply.compare(0, std::strlen(word), word) == 0;
}

}  // namespace

void MusicPlayer::Send(const std::string& command) { mm_.SendString(command.c_str(), nullptr, 0); }

std::string MusicPlayer::Query(const std::string& command, char* buffer, std::uint32_t length) {
  if (mm_.SendString(command.c_str(), buffer, length) != 0) return {};
  return TextOf(buffer, length);
}

void MusicPlayer::OpenCd() {
  Send("open cdaudio");
  Send("set cdaudio time format tmsf");
}

void MusicPlayer::CheckCd() {
  cdPollFlag_ = true;
  const std::string cur = MciStatus("status cdaudio current track");
  if (HasErr(cur)) {
    cdPollFlag_ = false;
    return;
  }
  const std::string tracks = MciStatus("status cdaudio number of tracks");
  if (HasErr(tracks)) {
    cdPollFlag_ = false;
    return;
  }
  const std::string mode =
      Query("status cdaudio mode", cdModeBuffer_.data(), CdModeLength).substr(0, 7);
  const bool stopped = mode == "stopped";
  if (bgm_.BgmRepeat != 0) {
    // The track is compared as a number; a reply that is none ends the polls.
    const auto track = common::text_number::Parse(cur);
    if (!track) {
      cdPollFlag_ = false;
      return;
    }
    if (stopped || *track != bgm_.BgmRepeat) {
      const std::string start =
          MciStatus("status cdaudio position track " + std::to_string(bgm_.BgmRepeat));
      MciPlay(Cd, start, "");
    }
    return;
  }
  if (stopped) MciPlay(Cd, "", "");
}

void MusicPlayer::CloseCd() {
  Send("stop cdaudio");
  Send("close cdaudio");
}

void MusicPlayer::PlayMp3() {
  const std::string open = "open \"" + bgm_.BgmFile + "\" type MPEGVideo Alias MP3Play";
  if (mm_.SendString(open.c_str(), nullptr, 0) == 0) Send("play MP3Play");
}

bool MusicPlayer::IsMp3Playing() {
  return Begins(Query("status MP3Play mode", mp3ModeBuffer_.data(), mp3ModeBuffer_.size()),
                "playing");
}

void MusicPlayer::CheckMp3() {
  if (IsMp3Playing()) return;
  Send("stop MP3Play");
  Send("play MP3Play from 0");
}

void MusicPlayer::CloseMp3() {
  Send("stop MP3Play");
  Send("close MP3Play");
}

void MusicPlayer::PlayWave() {
  if (mm_.WaveOutDeviceCount() > 0) mm_.SoundCall(bgm_.BgmFile.c_str(), SndAsync | SndLoop);
}

void MusicPlayer::StopWave() { mm_.SoundCall(nullptr, 0); }

std::int32_t MusicPlayer::SendMci(const std::string& command, std::string& reply) {
  if (command.empty()) {
    reply = NoCommandReply;
    return -1;
  }
  const auto code = static_cast<std::int32_t>(
      mm_.SendString(command.c_str(), returnBuffer_.data(), returnBuffer_.size()));
  if (code != 0) {
    if (mm_.GetErrorString(static_cast<std::uint32_t>(code), errorBuffer_.data(),
                           errorBuffer_.size()))
      reply = TextOf(errorBuffer_.data(), errorBuffer_.size());
    else
      reply = NoErrorTextReply;
    return code;
  }
  reply = TextOf(returnBuffer_.data(), returnBuffer_.size());
  return 0;
}

std::string MusicPlayer::MciStatus(const std::string& command) {
  const std::int32_t code = SendMci(command, replyText_);
  if (code != 0) return "Error:" + std::to_string(code);
  return replyText_;
}

std::int32_t MusicPlayer::MciPlay(const std::string& device, const std::string& from,
                                  const std::string& to) {
  std::string command = "play " + device;
  if (!from.empty()) command += " from " + from;
  if (!to.empty()) command += " to " + to;
  return SendMci(command, replyText_);
}

}  // namespace music
