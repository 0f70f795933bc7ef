// Every multimedia call on the one device thread, whoever asks; replies come
// back to the caller; a hung call holds only its caller, never the end.
#include "music/device_thread.h"

#include <gtest/gtest.h>

#include <future>
#include <set>

#include "music/fake_multimedia.h"

namespace {

// Records on which thread each call ran; a call of the command `hang` waits
// until released.
class ThreadedDevice : public FakeMultimedia {
 public:
  std::uint32_t SendString(const char* command, char* reply, std::uint32_t length) override {
    Note();
    if (command == hang) released.get_future().wait();
    return FakeMultimedia::SendString(command, reply, length);
  }
  bool GetErrorString(std::uint32_t code, char* text, std::uint32_t length) override {
    Note();
    return FakeMultimedia::GetErrorString(code, text, length);
  }
  std::uint32_t WaveOutDeviceCount() override {
    Note();
    return FakeMultimedia::WaveOutDeviceCount();
  }
  void SoundCall(const char* sound, std::uint32_t flags) override {
    Note();
    FakeMultimedia::SoundCall(sound, flags);
  }
  void Note() { threads.insert(std::this_thread::get_id()); }

  std::set<std::thread::id> threads;
  std::string hang;
  std::promise<void> released;
};

TEST(DeviceThread, EveryCallRunsOnTheOneThreadWithItsReply) {
  ThreadedDevice device;
  for (int twice = 0; twice < 2; ++twice)
    device.Script({{"status x mode", 0, "playing"}, {"open y", 277, ""}});
  device.waveDevices = 2;
  music::DeviceThread thread(device);
  struct Row {
    const char* what;
    std::function<std::string(music::Multimedia&)> call;
    std::string result;
  };
  const Row rows[] = {
      {"reply",
       [](music::Multimedia& m) {
         char reply[16] = "";
         return std::to_string(m.SendString("status x mode", reply, 16)) + reply;
       },
       "0playing"},
      {"error code",
       [](music::Multimedia& m) { return std::to_string(m.SendString("open y", nullptr, 0)); },
       "277"},
      {"error text",
       [](music::Multimedia& m) {
         char text[16] = "";
         return std::to_string(m.GetErrorString(263, text, 16)) + text;
       },
       "1not open"},
      {"devices", [](music::Multimedia& m) { return std::to_string(m.WaveOutDeviceCount()); }, "2"},
      {"sound",
       [](music::Multimedia& m) {
         m.SoundCall("a.wav", 9);
         return std::string();
       },
       ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(r.call(thread), r.result);  // from this thread
    EXPECT_EQ(std::async(std::launch::async, r.call, std::ref(thread)).get(), r.result);  // another
  }
  EXPECT_EQ(device.threads, std::set{thread.Id()});
  EXPECT_NE(thread.Id(), std::this_thread::get_id());
  EXPECT_EQ(device.sent.back(), "sound a.wav 9");
}

TEST(DeviceThread, AHungCallHoldsItsCallerButNotTheEnd) {
  ThreadedDevice device;
  device.hang = "stop x";
  auto thread = std::make_unique<music::DeviceThread>(device, 50);
  std::future<std::uint32_t> stop =
      std::async(std::launch::async, [&] { return thread->SendString("stop x", nullptr, 0); });
  EXPECT_EQ(stop.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
  thread.reset();  // gives up on the hung call after its wait: the test does not hang here
  device.released.set_value();
  EXPECT_EQ(stop.get(), 0u);  // the caller gets its answer once the call returns
  EXPECT_EQ(device.sent, std::vector<std::string>{"stop x"});
}

}  // namespace
