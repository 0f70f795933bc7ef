// A run from load to end: what starts, which timers tick, what the end stops,
// and when the renderer is taken to have gone.
#include "shell/run_logic.h"

#include <gtest/gtest.h>

#include "music/fake_multimedia.h"

namespace {

using run_logic::Timer;

std::string Join(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& s : items) out += (out.empty() ? "" : ", ") + s;
  return out;
}

class FakeHost : public run_logic::RunHost {
 public:
  bool StartRenderer(const std::string& path) override {
    log.push_back("start " + path);
    return true;
  }
  bool RendererWindowExists() override { return window; }
  bool RendererProcessRunning() override { return running; }
  std::uint32_t NowMs() override { return now; }
  void SetTimerEnabled(Timer t, bool on) override {
    log.push_back(std::string(t == Timer::Mp3  ? "mp3"
                              : t == Timer::Cd ? "cd"
                                               : "watch") +
                  (on ? " on" : " off"));
  }
  void EndProgram() override { log.push_back("end"); }

  bool window = false, running = true;
  std::uint32_t now = 1000;
  std::vector<std::string> log;
};

// Until its window has been seen, a renderer process that is still alive is
// given the grace time to open it; once seen, the first tick without it ends
// the run.
TEST(RunSession, MusicTimersAndWatchFromLoadToEnd) {
  struct Row {
    std::int16_t mode;
    const char* file;
    std::uint32_t cdError;  // of the first CD poll
    std::string host, music;
    bool seen = true, running = true;  // the window before, the process at the last tick
    std::uint32_t elapsed = 0;         // from the load to the last tick
  };
  const Row rows[] = {
      {0, "D:\\a.wav", 0, "watch on, start, watch off, end", ""},
      {2, "D:\\a.mid", 0, "watch on, start, watch off, end", ""},
      {2, "av", 0, "watch on, start, watch off, end", ""},
      {2, "wav", 0, "watch on, start, watch off, end", "sound wav 9, sound (none) 0"},
      {2, "D:\\awav", 0, "watch on, start, watch off, end", "sound D:\\awav 9, sound (none) 0"},
      {2, "D:\\s.mP3", 0, "watch on, start, mp3 on, watch off, end",
       "open \"D:\\s.mP3\" type MPEGVideo Alias MP3Play, play MP3Play, status MP3Play mode, "
       "stop MP3Play, play MP3Play from 0, stop MP3Play, close MP3Play"},
      {1, "D:\\a.wav", 0, "watch on, start, cd on, cd on, watch off, cd off, end",
       "open cdaudio, set cdaudio time format tmsf, status cdaudio current track, "
       "status cdaudio number of tracks, status cdaudio mode, stop cdaudio, close cdaudio"},
      {1, "", 266, "watch on, start, cd on, cd off, watch off, end",
       "open cdaudio, set cdaudio time format tmsf, status cdaudio current track"},
      {0, "", 0, "watch on, start", "", false, true, 29999},
      {0, "", 0, "watch on, start, watch off, end", "", false, true, 30000},
      {0, "", 0, "watch on, start, watch off, end", "", false, false, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.mode << " " << r.file);
    FakeHost host;
    FakeMultimedia mm;
    mm.Script({{"status cdaudio current track", r.cdError, "1"}});
    const settings::BgmSettings bgm{r.mode, 0, r.file};
    music::Nimbrel_BGM player(mm, bgm);
    run_logic::RunSession run(host, player, bgm);
    run.Form_Load("C:\\Program Files\\Saver");
    EXPECT_EQ(host.log[1], "start C:\\Program Files\\Saver\\Vorrasin.dll");
    host.log[1] = "start";
    // Each timer ticks once while it is on; the renderer comes, then goes.
    if (run.TimerEnabled(Timer::Cd)) run.PollCd();
    if (run.TimerEnabled(Timer::Mp3)) run.KeepMp3Playing();
    host.window = r.seen;
    run.WatchRenderer();
    host.window = false;
    host.running = r.running;
    host.now += r.elapsed;
    run.WatchRenderer();
    EXPECT_EQ(Join(host.log), r.host);
    EXPECT_EQ(Join(mm.sent), r.music);
  }
}

}  // namespace
