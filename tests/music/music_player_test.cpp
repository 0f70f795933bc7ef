// The music player: every command it sends, in order, with its buffer
// length, and what it makes of the replies.
#include "music/music_player.h"

#include <gtest/gtest.h>

#include "music/fake_multimedia.h"

namespace {

using Cmds = std::vector<std::string>;
using music::Nimbrel_BGM;

constexpr char CurTrack[] = "status cdaudio current track";
constexpr char Tracks[] = "status cdaudio number of tracks";
constexpr char CdMode[] = "status cdaudio mode";
constexpr char Mp3Mode[] = "status MP3Play mode";

class Bgm : public ::testing::Test {
 protected:
  // Drive state for one CD poll.
  void Drive(const std::string& track, const std::string& mode) {
    mm.Answer(CurTrack, 0, track);
    mm.Answer(Tracks, 0, "12");
    mm.Answer(CdMode, 0, mode);
  }

  FakeMultimedia mm;
  settings::BgmSettings bgm;
  Nimbrel_BGM player{mm, bgm};
};

TEST_F(Bgm, OpenCdSendsOpenAndTimeFormatWithoutBuffers) {
  player.OpenCd();
  EXPECT_EQ(mm.sent,
            (std::vector<SentCommand>{{"open cdaudio", 0}, {"set cdaudio time format tmsf", 0}}));
  EXPECT_FALSE(mm.bufferMismatch);
}

TEST_F(Bgm, CdPollWithoutRepeatPlaysTheDiscOnlyWhenStopped) {
  Drive("1", "stopped");
  player.CheckCd();
  EXPECT_TRUE(player.CdPollFlag());
  EXPECT_EQ(mm.sent, (std::vector<SentCommand>{
                         {CurTrack, 512}, {Tracks, 512}, {CdMode, 255}, {"play cdaudio", 512}}));
  mm.sent.clear();
  Drive("3", "playing");
  player.CheckCd();
  EXPECT_TRUE(player.CdPollFlag());
  EXPECT_EQ(mm.Commands(), (Cmds{CurTrack, Tracks, CdMode}));
  EXPECT_FALSE(mm.bufferMismatch);
}

TEST_F(Bgm, CdPollWithRepeatGoesBackToThatTrack) {
  bgm.BgmRepeat = 3;
  // Another track playing: back to the start of track 3.
  Drive("4", "playing");
  mm.Answer("status cdaudio position track 3", 0, "03:00:00:00");
  player.CheckCd();
  EXPECT_TRUE(player.CdPollFlag());
  EXPECT_EQ(mm.sent, (std::vector<SentCommand>{{CurTrack, 512},
                                               {Tracks, 512},
                                               {CdMode, 255},
                                               {"status cdaudio position track 3", 512},
                                               {"play cdaudio from 03:00:00:00", 512}}));
  // On track 3 and playing: nothing more.
  mm.sent.clear();
  Drive("3", "playing");
  player.CheckCd();
  EXPECT_EQ(mm.Commands(), (Cmds{CurTrack, Tracks, CdMode}));
  // On track 3 but stopped: started again.
  mm.sent.clear();
  Drive("3", "stopped");
  mm.Answer("status cdaudio position track 3", 0, "03:00:00:00");
  player.CheckCd();
  EXPECT_EQ(mm.Commands(), (Cmds{CurTrack, Tracks, CdMode, "status cdaudio position track 3",
                                 "play cdaudio from 03:00:00:00"}));
}

TEST_F(Bgm, CdErrorsEndThePolling) {
  mm.errorTexts[266] = "There is an undetectable problem";
  // No disc: the track query fails.
  mm.Answer(CurTrack, 266);
  player.CheckCd();
  EXPECT_FALSE(player.CdPollFlag());
  EXPECT_EQ(mm.Commands(), (Cmds{CurTrack}));
  // The track count fails.
  mm.sent.clear();
  mm.Answer(CurTrack, 0, "1");
  mm.Answer(Tracks, 263);
  player.CheckCd();
  EXPECT_FALSE(player.CdPollFlag());
  EXPECT_EQ(mm.Commands(), (Cmds{CurTrack, Tracks}));
  // A reply that merely says "err" in any case counts as an error too.
  mm.sent.clear();
  mm.Answer(CurTrack, 0, "tErRible");
  player.CheckCd();
  EXPECT_FALSE(player.CdPollFlag());
  // A good poll sets the flag again.
  Drive("1", "playing");
  player.CheckCd();
  EXPECT_TRUE(player.CdPollFlag());
}

TEST_F(Bgm, CdTrackThatIsNoNumberEndsThePollingWhenRepeating) {
  bgm.BgmRepeat = 2;
  Drive("two", "stopped");
  player.CheckCd();
  EXPECT_FALSE(player.CdPollFlag());
  EXPECT_EQ(mm.Commands(), (Cmds{CurTrack, Tracks, CdMode}));
}

TEST_F(Bgm, CdModeQueryThatFailsIsNotTakenAsTheLastReply) {
  Drive("1", "stopped");
  player.CheckCd();
  mm.sent.clear();
  mm.Answer(CurTrack, 0, "1");
  mm.Answer(Tracks, 0, "12");
  mm.Answer(CdMode, 263);
  player.CheckCd();
  EXPECT_EQ(mm.Commands(), (Cmds{CurTrack, Tracks, CdMode}));
  EXPECT_TRUE(player.CdPollFlag());
}

TEST_F(Bgm, CloseCdStopsThenCloses) {
  player.CloseCd();
  EXPECT_EQ(mm.sent, (std::vector<SentCommand>{{"stop cdaudio", 0}, {"close cdaudio", 0}}));
}

TEST_F(Bgm, Mp3OpensQuotedAndPlaysOnlyWhenTheOpenWorked) {
  bgm.BgmFile = "C:\\My Music\\song.Mp3";
  player.PlayMp3();
  const std::string open = "open \"C:\\My Music\\song.Mp3\" type MPEGVideo Alias MP3Play";
  EXPECT_EQ(mm.sent, (std::vector<SentCommand>{{open, 0}, {"play MP3Play", 0}}));
  mm.sent.clear();
  mm.Answer(open, 277);
  player.PlayMp3();
  EXPECT_EQ(mm.Commands(), (Cmds{open}));
}

TEST_F(Bgm, Mp3IsRestartedFromTheStartWheneverItIsNotPlaying) {
  struct Row {
    std::uint32_t code;
    const char* mode;
    bool playing;
  };
  const Row rows[] = {{0, "playing", true}, {0, "stopped", false}, {0, "paused", false},
                      {0, "", false},       {0, "play", false},    {281, "", false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.mode);
    // An earlier "playing" must not linger in the buffer.
    mm.Answer(Mp3Mode, 0, "playing");
    EXPECT_TRUE(player.IsMp3Playing());
    mm.sent.clear();
    mm.Answer(Mp3Mode, r.code, r.mode);
    player.CheckMp3();
    if (r.playing)
      EXPECT_EQ(mm.sent, (std::vector<SentCommand>{{Mp3Mode, 30}}));
    else
      EXPECT_EQ(mm.sent, (std::vector<SentCommand>{
                             {Mp3Mode, 30}, {"stop MP3Play", 0}, {"play MP3Play from 0", 0}}));
  }
}

TEST_F(Bgm, CloseMp3StopsThenCloses) {
  player.CloseMp3();
  EXPECT_EQ(mm.sent, (std::vector<SentCommand>{{"stop MP3Play", 0}, {"close MP3Play", 0}}));
}

TEST_F(Bgm, WavePlaysLoopedOnlyWithAWaveDevice) {
  bgm.BgmFile = "C:\\a b\\tone.wav";
  mm.waveDevices = 0;
  player.PlayWave();
  EXPECT_TRUE(mm.sounds.empty());
  mm.waveDevices = 2;
  player.PlayWave();
  player.StopWave();
  using S = FakeMultimedia::Sound;
  EXPECT_EQ(mm.sounds, (std::vector<S>{{"C:\\a b\\tone.wav", 9}, {"<stop>", 0}}));
  EXPECT_TRUE(mm.sent.empty());
}

TEST_F(Bgm, SendMciRepliesAndErrors) {
  std::string reply = "old";
  // An empty command is never sent.
  EXPECT_EQ(player.SendMci("", reply), -1);
  EXPECT_EQ(reply, music::NoCommandReply);
  EXPECT_TRUE(mm.sent.empty());
  EXPECT_EQ(player.MciStatus(""), "Error:-1");
  EXPECT_TRUE(mm.sent.empty());
  // A reply.
  mm.Answer("status x", 0, "hello");
  EXPECT_EQ(player.SendMci("status x", reply), 0);
  EXPECT_EQ(reply, "hello");
  // An error with its text, and one without.
  mm.errorTexts[263] = "not open";
  mm.Answer("status y", 263);
  EXPECT_EQ(player.SendMci("status y", reply), 263);
  EXPECT_EQ(reply, "not open");
  mm.Answer("status z", 999);
  EXPECT_EQ(player.SendMci("status z", reply), 999);
  EXPECT_EQ(reply, music::NoErrorTextReply);
  EXPECT_EQ(mm.errorLengths, (std::vector<std::uint32_t>{256, 256}));
  mm.Answer("status z", 999);
  EXPECT_EQ(player.MciStatus("status z"), "Error:999");
  // A reply that fills the whole buffer, with no NUL, ends at the buffer's end.
  mm.Answer("status w", 0, std::string(600, 'r'));
  EXPECT_EQ(player.SendMci("status w", reply), 0);
  EXPECT_EQ(reply, std::string(512, 'r'));
  mm.Answer(Mp3Mode, 0, std::string(40, 'p'));
  EXPECT_FALSE(player.IsMp3Playing());
}

TEST_F(Bgm, MciPlayHasFourForms) {
  player.MciPlay("cdaudio", "", "");
  player.MciPlay("cdaudio", "P", "");
  player.MciPlay("cdaudio", "", "Q");
  player.MciPlay("cdaudio", "P", "Q");
  EXPECT_EQ(mm.Commands(), (Cmds{"play cdaudio", "play cdaudio from P", "play cdaudio to Q",
                                 "play cdaudio from P to Q"}));
}

}  // namespace
