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

struct SentCommand {
  std::string command;
  std::uint32_t length;  // 0 with no reply buffer
  bool operator==(const SentCommand&) const = default;
};

class FakeMultimedia : public music::Multimedia {
 public:
  struct Answer {
    std::uint32_t code;
    std::string reply;
  };

  // The next answers to a command, in order; afterwards 0 and no reply.
  void Answer(const std::string& command, std::uint32_t code, const std::string& reply = "") {
    script[command].push_back({code, reply});
  }

  std::uint32_t SendString(const char* command, char* reply, std::uint32_t length) override {
    sent.push_back({command, length});
    if ((reply == nullptr) != (length == 0)) bufferMismatch = true;
    auto& queue = script[command];
    if (queue.empty()) {
      if (reply != nullptr) reply[0] = '\0';
      return 0;
    }
    const struct Answer a = queue.front();
    queue.pop_front();
    // A reply, NUL-terminated when there is room (a driver that fills the
    // whole buffer leaves none), and nothing written on failure.
    if (a.code == 0 && reply != nullptr) {
      const std::size_t n = std::min<std::size_t>(a.reply.size(), length);
      std::memcpy(reply, a.reply.data(), n);
      if (n < length) reply[n] = '\0';
    }
    return a.code;
  }

  bool GetErrorString(std::uint32_t code, char* text, std::uint32_t length) override {
    errorLengths.push_back(length);
    const auto it = errorTexts.find(code);
    if (it == errorTexts.end()) return false;
    std::strncpy(text, it->second.c_str(), length - 1);
    text[length - 1] = '\0';
    return true;
  }

  std::uint32_t WaveOutDeviceCount() override { return waveDevices; }

  void SoundCall(const char* sound, std::uint32_t flags) override {
    sounds.push_back({sound == nullptr ? "<stop>" : sound, flags});
  }

  std::vector<std::string> Commands() const {
    std::vector<std::string> out;
    for (const SentCommand& s : sent) out.push_back(s.command);
    return out;
  }

  std::map<std::string, std::deque<struct Answer>> script;
  std::map<std::uint32_t, std::string> errorTexts;
  std::vector<SentCommand> sent;
  std::vector<std::uint32_t> errorLengths;
  bool bufferMismatch = false;
  std::uint32_t waveDevices = 1;
  struct Sound {
    std::string sound;
    std::uint32_t flags;
    bool operator==(const Sound&) const = default;
  };
  std::vector<Sound> sounds;
};
