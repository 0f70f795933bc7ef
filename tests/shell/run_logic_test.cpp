// A run's decisions: music and timers at the start, the renderer watch, and
// what the end undoes.
#include "shell/run_logic.h"

#include <gtest/gtest.h>

#include "music/fake_multimedia.h"

namespace {

using run_logic::Timer;
using Cmds = std::vector<std::string>;

class FakeHost : public run_logic::RunHost {
 public:
  bool StartRenderer(const std::string& path) override {
    log.push_back("start " + path);
    return processRunning = startWorks;
  }
  bool RendererWindowExists() override { return window; }
  bool RendererProcessRunning() override { return processRunning; }
  std::uint32_t NowMs() override { return now; }
  void SetTimerEnabled(Timer t, bool on) override {
    log.push_back("timer" + std::to_string(static_cast<int>(t)) + (on ? " on" : " off"));
  }
  void ShowCursorAgain() override { log.push_back("cursor"); }
  void EndProgram() override {
    log.push_back("end");
    ended = true;
  }

  bool startWorks = true, window = false, processRunning = false, ended = false;
  std::uint32_t now = 1000;
  std::vector<std::string> log;
};

class Run : public ::testing::Test {
 protected:
  void Load(bool hidesCursor = true) {
    session = std::make_unique<run_logic::RunSession>(host, player, bgm, hidesCursor);
    session->Form_Load("C:\\Program Files\\Saver");
  }
  // The renderer window appears, then goes.
  void RendererComesAndGoes() {
    host.window = true;
    session->Timer3_Timer();
    host.window = false;
    host.processRunning = false;
  }

  FakeHost host;
  FakeMultimedia mm;
  settings::BgmSettings bgm;
  music::Nimbrel_BGM player{mm, bgm};
  std::unique_ptr<run_logic::RunSession> session;
};

TEST_F(Run, NoMusicStartsTheRendererAndOnlyTheWatch) {
  Load();
  EXPECT_EQ(host.log, (Cmds{"timer3 on", "start C:\\Program Files\\Saver\\Vorrasin.dll"}));
  EXPECT_TRUE(mm.sent.empty());
  EXPECT_TRUE(mm.sounds.empty());
  RendererComesAndGoes();
  host.log.clear();
  session->Timer3_Timer();
  EXPECT_EQ(host.log, (Cmds{"timer3 off", "cursor", "end"}));
  EXPECT_TRUE(mm.sent.empty());
}

TEST_F(Run, WithoutArgumentsTheCursorIsLeftAlone) {
  Load(false);
  RendererComesAndGoes();
  host.log.clear();
  session->Timer3_Timer();
  EXPECT_EQ(host.log, (Cmds{"timer3 off", "end"}));
}

TEST_F(Run, CdRunOpensTheDrivePollsAndClosesAtTheEnd) {
  bgm.BgmMode = 1;
  bgm.BgmFile = "C:\\x.wav";  // not played in CD mode
  Load();
  EXPECT_EQ(mm.Commands(), (Cmds{"open cdaudio", "set cdaudio time format tmsf"}));
  EXPECT_TRUE(session->TimerEnabled(Timer::Cd));
  EXPECT_FALSE(session->TimerEnabled(Timer::Mp3));
  EXPECT_TRUE(mm.sounds.empty());
  mm.Answer("status cdaudio current track", 0, "1");
  mm.Answer("status cdaudio mode", 0, "playing");
  session->Timer2_Timer();
  EXPECT_TRUE(session->TimerEnabled(Timer::Cd));
  RendererComesAndGoes();
  mm.sent.clear();
  host.log.clear();
  session->Timer3_Timer();
  EXPECT_EQ(mm.Commands(), (Cmds{"stop cdaudio", "close cdaudio"}));
  EXPECT_EQ(host.log, (Cmds{"timer3 off", "timer2 off", "cursor", "end"}));
}

TEST_F(Run, CdPollingThatEndedItselfLeavesTheDriveAtTheEnd) {
  bgm.BgmMode = 1;
  Load();
  mm.Answer("status cdaudio current track", 266);
  session->Timer2_Timer();
  EXPECT_FALSE(session->TimerEnabled(Timer::Cd));
  RendererComesAndGoes();
  mm.sent.clear();
  host.log.clear();
  session->Timer3_Timer();
  EXPECT_TRUE(mm.sent.empty());
  EXPECT_EQ(host.log, (Cmds{"timer3 off", "cursor", "end"}));
}

TEST_F(Run, SoundFilesByTheirLastThreeCharacters) {
  struct Row {
    std::int16_t mode;
    const char* file;
    Cmds startCommands;
    bool waveStarted, mp3Timer;
    Cmds endCommands;
    bool waveStopped;
  };
  const std::string open = "open \"D:\\song.mP3\" type MPEGVideo Alias MP3Play";
  const Row rows[] = {
      {2,
       "D:\\song.mP3",
       {open, "play MP3Play"},
       false,
       true,
       {"stop MP3Play", "close MP3Play"},
       false},
      {2, "D:\\tone.WAV", {}, true, false, {}, true},
      {2, "D:\\tonewav", {}, true, false, {}, true},
      {2, "D:\\tune.mid", {}, false, false, {}, false},
      {0, "D:\\tone.wav", {}, false, false, {}, false},
      {7, "D:\\tone.wav", {}, false, false, {}, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.file);
    mm = FakeMultimedia{};
    host = FakeHost{};
    bgm.BgmMode = r.mode;
    bgm.BgmFile = r.file;
    Load();
    EXPECT_EQ(mm.Commands(), r.startCommands);
    EXPECT_EQ(!mm.sounds.empty(), r.waveStarted);
    EXPECT_EQ(session->TimerEnabled(Timer::Mp3), r.mp3Timer);
    EXPECT_FALSE(session->TimerEnabled(Timer::Cd));
    RendererComesAndGoes();
    mm.sent.clear();
    mm.sounds.clear();
    session->Form_QueryUnload();
    EXPECT_EQ(mm.Commands(), r.endCommands);
    EXPECT_EQ(mm.sounds.size() == 1 && mm.sounds[0].sound == "<stop>", r.waveStopped);
  }
}

TEST_F(Run, Mp3TimerChecksThePlayer) {
  bgm.BgmMode = 2;
  bgm.BgmFile = "D:\\a.mp3";
  Load();
  mm.sent.clear();
  mm.Answer("status MP3Play mode", 0, "stopped");
  session->Timer1_Timer();
  EXPECT_EQ(mm.Commands(), (Cmds{"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}));
}

TEST_F(Run, WatchWaitsForARendererThatIsStillStarting) {
  Load();
  ASSERT_TRUE(host.processRunning);
  // No window yet, process alive: the run goes on through the grace time.
  for (std::uint32_t t = 0; t < run_logic::StartGraceMs; t += 50) {
    host.now = 1000 + t;
    session->Timer3_Timer();
  }
  EXPECT_FALSE(host.ended);
  // A window that never comes ends the run after the grace time.
  host.now = 1000 + run_logic::StartGraceMs;
  session->Timer3_Timer();
  EXPECT_TRUE(host.ended);
}

TEST_F(Run, WatchEndsAtOnceWhenTheRendererCouldNotStartOrHasEnded) {
  host.startWorks = false;
  Load();
  session->Timer3_Timer();
  EXPECT_TRUE(host.ended);

  host = FakeHost{};
  Load();
  host.processRunning = false;  // ended before it made a window
  session->Timer3_Timer();
  EXPECT_TRUE(host.ended);
}

TEST_F(Run, WatchEndsOnTheFirstTickWithoutTheWindowOnceItWasSeen) {
  Load();
  host.window = true;
  session->Timer3_Timer();
  session->Timer3_Timer();
  EXPECT_FALSE(host.ended);
  host.window = false;  // the process may still be closing down
  session->Timer3_Timer();
  EXPECT_TRUE(host.ended);
}

}  // namespace
