// Every call of the multimedia library made on one thread of its own. The
// library ties an opened device to the thread that opened it: a command from
// another thread is refused (under Wine with MCIERR_INVALID_DEVICE_NAME), so
// a device opened by one thread and stopped from another is never stopped or
// closed, and may still be playing while the process ends. Calls from any
// thread are handed to this one, one at a time, and wait for its answer; a
// caller that must not wait long bounds the wait itself (the run's end does).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "music/music_player.h"

namespace music {

class DeviceThread : public Multimedia {
 public:
  // Starts the thread; the calls go to device, which must outlive every call.
  explicit DeviceThread(Multimedia& device, unsigned endWaitMs = 2000);
  DeviceThread(const DeviceThread&) = delete;
  DeviceThread& operator=(const DeviceThread&) = delete;
  // Ends the thread once the call in hand is done. A call that has not
  // returned within endWaitMs leaves the thread behind, detached, to end with
  // the process: a hung device cannot hold it.
  ~DeviceThread() override;

  std::uint32_t SendString(const char* command, char* reply, std::uint32_t length) override;
  bool GetErrorString(std::uint32_t code, char* text, std::uint32_t length) override;
  std::uint32_t WaveOutDeviceCount() override;
  void SoundCall(const char* sound, std::uint32_t flags) override;

  // The thread the calls run on.
  std::thread::id Id() const { return thread_.get_id(); }

 private:
  // What the caller and the thread share; the thread keeps it alive, so that
  // a thread left behind never touches freed memory.
  struct Mailbox {
    std::mutex callers;  // one caller at a time
    std::mutex mutex;
    std::condition_variable changed;
    std::function<void()> job;  // the call handed over, until the thread takes it
    std::uint64_t served = 0;   // calls done
    bool quit = false;
    bool finished = false;  // the thread has left its loop
  };
  static void Serve(const std::shared_ptr<Mailbox>& box);
  // Runs work on the thread and waits for it.
  void Call(const std::function<void()>& work);

  Multimedia& device_;
  const unsigned endWaitMs_;
  std::shared_ptr<Mailbox> box_;
  std::thread thread_;
};

}  // namespace music
