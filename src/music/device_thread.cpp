#include "music/device_thread.h"

#include <chrono>

namespace music {

DeviceThread::DeviceThread(Multimedia& device, unsigned endWaitMs)
    : device_(device),
      endWaitMs_(endWaitMs),
      box_(std::make_shared<Mailbox>()),
      thread_(Serve, box_) {}

DeviceThread::~DeviceThread() {
  std::unique_lock lock(box_->mutex);
  box_->quit = true;
  box_->changed.notify_all();
  const bool ended = box_->changed.wait_for(lock, std::chrono::milliseconds(endWaitMs_),
                                            [&] { return box_->finished; });
  lock.unlock();
  if (ended)
    thread_.join();
  else
    thread_.detach();
}

void DeviceThread::Serve(const std::shared_ptr<Mailbox>& box) {
  std::unique_lock lock(box->mutex);
  for (;;) {
    box->changed.wait(lock, [&] { return box->job || box->quit; });
    if (!box->job) break;
    const std::function<void()> job = std::move(box->job);
    box->job = nullptr;
    lock.unlock();
    job();
    lock.lock();
    ++box->served;
    box->changed.notify_all();
  }
  box->finished = true;
  box->changed.notify_all();
}

void DeviceThread::Call(const std::function<void()>& work) {
  // Everything touched after the wait is shared: a caller held by a hung call
  // may come back after this object has gone.
  const std::shared_ptr<Mailbox> box = box_;
  const std::lock_guard one(box->callers);
  std::unique_lock lock(box->mutex);
  const std::uint64_t ticket = box->served;
  box->job = work;
  box->changed.notify_all();
  box->changed.wait(lock, [&] { return box->served != ticket; });
}

std::uint32_t DeviceThread::SendString(const char* command, char* reply, std::uint32_t length) {
  std::uint32_t result = 0;
  Call([&] { result = device_.SendString(command, reply, length); });
  return result;
}

bool DeviceThread::GetErrorString(std::uint32_t code, char* text, std::uint32_t length) {
  bool result = false;
  Call([&] { result = device_.GetErrorString(code, text, length); });
  return result;
}

std::uint32_t DeviceThread::WaveOutDeviceCount() {
  std::uint32_t result = 0;
  Call([&] { result = device_.WaveOutDeviceCount(); });
  return result;
}

void DeviceThread::SoundCall(const char* sound, std::uint32_t flags) {
  Call([&] { device_.SoundCall(sound, flags); });
}

}  // namespace music
