// A run from load to end: what starts, which timers tick, what the end stops,
// and when the renderer is taken to have gone.
#include "shell/run_logic.h"

#include <gtest/gtest.h>

#include "music/fake_multimedia.h"

namespace {

using run_logic::Timer;
using Log = std::vector<std::string>;

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
    const char* name[] = {"mp3", "cd", "watch"};
    log.push_back(std::string(name[static_cast<int>(t)]) + (on ? " on" : " off"));
  }
  void EndProgram() override { log.push_back("end"); }

  bool window = false, running = true;
  std::uint32_t now = 1000;
  Log log;
};

constexpr char Start[] = "start C:\\Program Files\\Saver\\Vorrasin.dll";

TEST(RunSession, MusicAndTimersFromLoadToEnd) {
  const std::string open = "open \"D:\\s.mP3\" type MPEGVideo Alias MP3Play";
  struct Row {
    std::int16_t mode;
    const char* file;
    std::uint32_t cdError;  // of the first CD poll
    Log host, sent;
    std::vector<FakeMultimedia::Sound> sounds;
  };
  const Row rows[] = {
      {0, "D:\\a.wav", 0, {"watch on", Start, "watch off", "end"}, {}, {}},
      {7, "D:\\a.wav", 0, {"watch on", Start, "watch off", "end"}, {}, {}},
      {2, "D:\\a.mid", 0, {"watch on", Start, "watch off", "end"}, {}, {}},
      {2,
       "D:\\a.WAV",
       0,
       {"watch on", Start, "watch off", "end"},
       {},
       {{"D:\\a.WAV", 9}, {"<stop>", 0}}},
      {2,
       "D:\\s.mP3",
       0,
       {"watch on", Start, "mp3 on", "watch off", "end"},
       {open, "play MP3Play", "status MP3Play mode", "stop MP3Play", "play MP3Play from 0",
        "stop MP3Play", "close MP3Play"},
       {}},
      {1,
       "D:\\a.wav",
       0,
       {"watch on", Start, "cd on", "cd on", "watch off", "cd off", "end"},
       {"open cdaudio", "set cdaudio time format tmsf", "status cdaudio current track",
        "status cdaudio number of tracks", "status cdaudio mode", "stop cdaudio", "close cdaudio"},
       {}},
      {1,
       "",
       266,
       {"watch on", Start, "cd on", "cd off", "watch off", "end"},
       {"open cdaudio", "set cdaudio time format tmsf", "status cdaudio current track"},
       {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.mode << " " << r.file);
    FakeHost host;
    FakeMultimedia mm;
    mm.Script(
        {{"status cdaudio current track", r.cdError, "1"}, {"status cdaudio mode", 0, "playing"}});
    const settings::BgmSettings bgm{r.mode, 0, r.file};
    music::Nimbrel_BGM player(mm, bgm);
    run_logic::RunSession run(host, player, bgm);
    run.Form_Load("C:\\Program Files\\Saver");
    // Each timer ticks once while it is on; the renderer comes, then goes.
    if (run.TimerEnabled(Timer::Cd)) run.PollCd();
    if (run.TimerEnabled(Timer::Mp3)) run.KeepMp3Playing();
    host.window = true;
    run.WatchRenderer();
    host.window = false;
    run.WatchRenderer();
    EXPECT_EQ(host.log, r.host);
    EXPECT_EQ(mm.sent, r.sent);
    EXPECT_EQ(mm.sounds, r.sounds);
  }
}

// Until its window has been seen, a renderer process that is still alive is
// given the grace time to open it.
TEST(RunSession, RendererWatch) {
  struct Row {
    bool seen, running;
    std::uint32_t elapsed;
    bool ends;
  };
  const Row rows[] = {{false, true, 0, false},    {false, true, 29999, false},
                      {false, true, 30000, true}, {false, false, 0, true},
                      {true, true, 0, true},      {true, true, 40000, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.seen << r.running << " " << r.elapsed);
    FakeHost host;
    FakeMultimedia mm;
    const settings::BgmSettings bgm;
    music::Nimbrel_BGM player(mm, bgm);
    run_logic::RunSession run(host, player, bgm);
    run.Form_Load("C:");
    host.window = r.seen;
    if (r.seen) run.WatchRenderer();
    host.window = false;
    host.running = r.running;
    host.now += r.elapsed;
    run.WatchRenderer();
    EXPECT_EQ(host.log.back() == "end", r.ends);
    EXPECT_EQ(run.TimerEnabled(Timer::Watch), !r.ends);
  }
}

}  // namespace
