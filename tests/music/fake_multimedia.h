// A multimedia library that records every call (and the threads it came on)
// and answers from a script; the command `hang` waits until `released`.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <future>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "music/music_player.h"

class FakeMultimedia : public music::Multimedia {
 public:
  struct Reply {
    std::string command;
    std::uint32_t code;
    std::string text;
  };
  void Script(const std::vector<Reply>& replies) {
    for (const Reply& r : replies) script[r.command].push_back(r);
  }

  // The next scripted reply, else 0 and ""; NUL-terminated if there is room.
  std::uint32_t SendString(const char* command, char* reply, std::uint32_t length) override {
    threads.insert(std::this_thread::get_id());
    if (command == hang) released.get_future().wait();
    sent.push_back(command);
    lengths.push_back(reply != nullptr || length == 0 ? length : ~0u);  // no buffer, length 0
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
    threads.insert(std::this_thread::get_id());
    errorLengths.push_back(length);
    if (code == 263) std::strncpy(text, "not open", length);
    return code == 263;
  }
  std::uint32_t WaveOutDeviceCount() override {
    threads.insert(std::this_thread::get_id());
    return waveDevices;
  }
  void SoundCall(const char* sound, std::uint32_t flags) override {
    threads.insert(std::this_thread::get_id());
    sent.push_back("sound " + std::string(sound ? sound : "(none)") + " " + std::to_string(flags));
  }

  std::map<std::string, std::deque<Reply>> script;
  std::vector<std::string> sent;  // commands and sound calls, in order
  std::vector<std::uint32_t> lengths, errorLengths;
  std::uint32_t waveDevices = 1;
  std::set<std::thread::id> threads;
  std::string hang;
  std::promise<void> released;
};
