// A run from load to end: what starts, which timers tick, what the end stops
// and restores, and when the renderer is taken to have gone or given up on.
#include "shell/run_logic.h"

#include <gtest/gtest.h>

#include "music/fake_multimedia.h"

namespace {

using shell::run_logic::Timer;

std::string Join(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& s : items) out += (out.empty() ? "" : ", ") + s;
  return out;
}

class FakeHost : public shell::run_logic::RunHost {
 public:
  bool ScreenSaverActive() override { return flag; }
  void SetScreenSaverActive(bool on) override { log.push_back(on ? "flag 1" : "flag 0"); }
  bool StartRenderer(const std::string& path) override {
    log.push_back("start " + path);
    return starts;
  }
  void ReportStartFailure(const std::string& path) override { log.push_back("report " + path); }
  bool RendererWindowExists() override { return window; }
  bool RendererProcessRunning() override { return running; }
  void CloseRendererWindow() override { log.push_back("close"); }
  bool WaitRendererExit(std::uint32_t ms) override {
    log.push_back("wait " + std::to_string(ms));
    return exits;
  }
  void TerminateRenderer() override { log.push_back("terminate"); }
  bool RunBounded(const std::function<void()>& work, std::uint32_t ms) override {
    log.push_back("bounded " + std::to_string(ms));
    work();
    return returns;
  }
  std::uint32_t NowMs() override { return now; }
  void SetTimerEnabled(Timer t, bool on) override {
    const char* const names[] = {"mp3", "cd", "watch"};  // in the order of Timer
    log.push_back(names[static_cast<int>(t)] + std::string(on ? " on" : " off"));
  }
  void RestoreCursor() override { log.push_back("cursor"); }
  void EndProgram(bool hard) override { log.push_back(hard ? "end hard" : "end"); }

  bool flag = true, starts = true, window = false, running = true, exits = true, returns = true;
  std::uint32_t now = 1000;
  std::vector<std::string> log;
};

const std::string End = "bounded 2000, wait 2000, flag 1, cursor, end";

// A run with its own host, multimedia library and player.
struct Session {
  explicit Session(music::BgmSettings settings,
                   std::uint32_t grace = shell::run_logic::StartGraceMs)
      : bgm(std::move(settings)), run(host, player, bgm, grace) {}
  FakeHost host;
  FakeMultimedia mm;
  const music::BgmSettings bgm;
  music::MusicPlayer player{mm, bgm};
  shell::run_logic::RunSession run;
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
      {0, "D:\\a.wav", 0, "start, watch on, watch off, " + End, ""},
      {2, "D:\\a.mid", 0, "start, watch on, watch off, " + End, ""},
      {2, "av", 0, "start, watch on, watch off, " + End, ""},
      {2, "wav", 0, "start, watch on, watch off, " + End, "sound wav 9, sound (none) 0"},
      {2, "D:\\awav", 0, "start, watch on, watch off, " + End, "sound D:\\awav 9, sound (none) 0"},
      {2, "D:\\s.mP3", 0, "start, watch on, mp3 on, watch off, " + End,
       "open \"D:\\s.mP3\" type MPEGVideo Alias MP3Play, play MP3Play, status MP3Play mode, "
       "stop MP3Play, play MP3Play from 0, stop MP3Play, close MP3Play"},
      {1, "D:\\a.wav", 0, "start, watch on, cd on, cd on, watch off, cd off, " + End,
       "open cdaudio, set cdaudio time format tmsf, status cdaudio current track, "
       "status cdaudio number of tracks, status cdaudio mode, stop cdaudio, close cdaudio"},
      {1, "", 266, "start, watch on, cd on, cd off, watch off, " + End,
       "open cdaudio, set cdaudio time format tmsf, status cdaudio current track"},
      {0, "", 0, "start, watch on", "", false, true, 29999},
      {0, "", 0, "start, watch on, watch off, bounded 2000, terminate, flag 1, cursor, end", "",
       false, true, 30000},
      {0, "", 0, "start, watch on, watch off, " + End, "", false, false, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.mode << " " << r.file << " " << r.elapsed);
    Session s({r.mode, 0, r.file});
    auto& [host, mm, bgm, player, run] = s;
    mm.Script({{"status cdaudio current track", r.cdError, "1"}});
    run.Start("C:\\Program Files\\Saver");
    EXPECT_EQ(host.log[0], "start C:\\Program Files\\Saver\\Vorrasin.dll");
    host.log[0] = "start";
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

// Every end restores the flag found before the renderer started, once, and
// ends even when the music or the renderer does not stop.
TEST(RunSession, EveryEndRestoresTheFlagAndEndsOnce) {
  enum class How { WindowGone, CloseRequest, GiveUp };
  struct Row {
    How how;
    bool flag, starts, exits, returns;
    std::string log;
  };
  const Row rows[] = {
      {How::WindowGone, false, true, true, true,
       "watch on, watch off, bounded 2000, wait 2000, flag 0, cursor, end"},
      {How::CloseRequest, true, true, true, true,
       "watch on, close, bounded 2000, wait 2000, flag 1, cursor, end"},
      {How::CloseRequest, false, true, false, true,
       "watch on, close, bounded 2000, wait 2000, terminate, flag 0, cursor, end"},
      {How::WindowGone, true, true, true, false,
       "watch on, watch off, bounded 2000, wait 2000, flag 1, cursor, end hard"},
      {How::GiveUp, false, true, true, true,
       "watch on, watch off, bounded 2000, terminate, flag 0, cursor, end"},
      {How::CloseRequest, true, false, true, true, "cursor, report C:\\S\\Vorrasin.dll, end"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.log);
    Session s({2, 0, "x.wav"}, 500);
    auto& [host, mm, bgm, player, run] = s;
    host.flag = r.flag, host.starts = r.starts, host.exits = r.exits, host.returns = r.returns;
    run.Start("C:\\S");
    host.flag = !r.flag;  // the renderer switched it
    host.log.erase(host.log.begin());
    host.window = r.how != How::GiveUp;
    run.WatchRenderer();
    host.window = r.how == How::CloseRequest;
    host.now += r.how == How::GiveUp ? 500 : 499;
    if (r.how == How::CloseRequest)
      run.End();
    else
      run.WatchRenderer();
    EXPECT_EQ(Join(host.log), r.log);
    EXPECT_EQ(Join(mm.sent), r.starts ? "sound x.wav 9, sound (none) 0" : "");
    const std::size_t ended = host.log.size();
    run.End();
    EXPECT_EQ(host.log.size(), ended);
  }
}

// The run lasts as long as the renderer it started, whatever window of that
// title another process shows; a start while a renderer already covers the
// screen starts nothing and leaves the flag alone.
TEST(RunSession, TheRunIsItsOwnRenderers) {
  // A window there at the load; the run's renderer process at the tick.
  const std::tuple<bool, bool, std::string, std::string> rows[] = {
      {true, true, "cursor, end", ""},
      {false, false, "start C:\\S\\Vorrasin.dll, watch on, watch off, " + End,
       "sound x.wav 9, sound (none) 0"},
      {false, true, "start C:\\S\\Vorrasin.dll, watch on", "sound x.wav 9"},
  };
  for (const auto& [windowAtLoad, running, log, music] : rows) {
    SCOPED_TRACE(log);
    Session s({2, 0, "x.wav"});
    auto& [host, mm, bgm, player, run] = s;
    host.window = windowAtLoad;
    run.Start("C:\\S");
    host.window = true;  // another's, once the run's own has ended
    host.running = running;
    windowAtLoad ? run.End() : run.WatchRenderer();  // ended once, at the load
    EXPECT_EQ(Join(host.log), log);
    EXPECT_EQ(Join(mm.sent), music);
  }
}

// Unset, empty or not a plain number below 10^9: the default grace.
TEST(RunSession, StartGraceFromTheTestVariable) {
  for (const char* text : {static_cast<const char*>(nullptr), "", "12a", "-5", " 5", "1000000000"})
    EXPECT_EQ(shell::run_logic::StartGraceFrom(text), 30000u) << (text ? text : "(unset)");
  for (const char* text : {"500", "0", "999999999"})
    EXPECT_EQ(shell::run_logic::StartGraceFrom(text), std::stoul(text)) << text;
}

}  // namespace
