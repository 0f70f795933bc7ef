// A multimedia library that records every call and answers from a script.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "music/music_player.h"

class FakeMultimedia : public music::Multimedia {
 public:
  struct Reply {
    std::string command;
    std::uint32_t code;
    std::string text;
  };
  struct Sound {
    std::string sound;  // "<stop>" for a null sound
    std::uint32_t flags;
    bool operator==(const Sound&) const = default;
  };

  void Script(const std::vector<Reply>& replies) {
    for (const Reply& r : replies) script[r.command].push_back(r);
  }

  // Answers the next scripted reply to the command, else 0 and an empty
  // reply. A reply is NUL-terminated only when there is room for it.
  std::uint32_t SendString(const char* command, char* reply, std::uint32_t length) override {
    sent.push_back(command);
    lengths.push_back(length);
    bufferMismatch |= (reply == nullptr) != (length == 0);
    auto& queue = script[command];
    const Reply r = queue.empty() ? Reply{command, 0, ""} : queue.front();
    if (!queue.empty()) queue.pop_front();
    if (r.code == 0 && reply != nullptr) {
      const std::size_t n = std::min<std::size_t>(r.text.size(), length);
      std::memcpy(reply, r.text.data(), n);
      if (n < length) reply[n] = '\0';
    }
    return r.code;
  }
  bool GetErrorString(std::uint32_t code, char* text, std::uint32_t length) override {
    errorLengths.push_back(length);
    const auto it = errorTexts.find(code);
    if (it == errorTexts.end()) return false;
    std::strncpy(text, it->second.c_str(), length);
    return true;
  }
  std::uint32_t WaveOutDeviceCount() override { return waveDevices; }
  void SoundCall(const char* sound, std::uint32_t flags) override {
    sounds.push_back({sound == nullptr ? "<stop>" : sound, flags});
  }

  std::map<std::string, std::deque<Reply>> script;
  std::map<std::uint32_t, std::string> errorTexts;
  std::vector<std::string> sent;
  std::vector<std::uint32_t> lengths, errorLengths;
  bool bufferMismatch = false;
  std::uint32_t waveDevices = 1;
  std::vector<Sound> sounds;
};
