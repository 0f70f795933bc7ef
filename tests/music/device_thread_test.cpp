// Every multimedia call on the one device thread, whoever asks; replies come
// back to the caller; a hung call holds only its caller, never the end.
#include "music/device_thread.h"

#include <gtest/gtest.h>

#include <future>

#include "music/fake_multimedia.h"

namespace {

// Each kind of call, from this thread and from another: the answer (code and
// text) comes back, and the call ran on the device thread.
TEST(DeviceThread, EveryCallRunsOnTheOneThreadWithItsReply) {
  FakeMultimedia device;
  for (int twice = 0; twice < 2; ++twice)
    device.Script({{"status x mode", 0, "playing"}, {"open y", 277, ""}});
  device.waveDevices = 2;
  music::DeviceThread thread(device);
  using Call = std::function<std::string(music::Multimedia&)>;
  const std::pair<Call, std::string> rows[] = {
      {[](auto& m) {
         char reply[16] = "";
         return std::to_string(m.SendString("status x mode", reply, 16)) + reply;
       },
       "0playing"},
      {[](auto& m) { return std::to_string(m.SendString("open y", nullptr, 0)); }, "277"},
      {[](auto& m) {
         char text[16] = "";
         return std::to_string(m.GetErrorString(263, text, 16)) + text;
       },
       "1not open"},
      {[](auto& m) { return std::to_string(m.WaveOutDeviceCount()); }, "2"},
      {[](auto& m) { return m.SoundCall("a.wav", 9), std::string(); }, ""},
  };
  for (const auto& [call, result] : rows) {
    SCOPED_TRACE(result);
    EXPECT_EQ(call(thread), result);
    EXPECT_EQ(std::async(std::launch::async, call, std::ref(thread)).get(), result);
  }
  EXPECT_EQ(device.threads, std::set{thread.Id()});
  EXPECT_NE(thread.Id(), std::this_thread::get_id());
  EXPECT_EQ(device.sent.back(), "sound a.wav 9");
}

TEST(DeviceThread, AHungCallHoldsItsCallerButNotTheEnd) {
  FakeMultimedia device;
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
