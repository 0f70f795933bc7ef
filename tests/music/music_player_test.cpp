// The music player: the commands it sends, in order, and what it makes of
// the replies.
#include "music/music_player.h"

#include <gtest/gtest.h>

#include <tuple>

#include "music/fake_multimedia.h"

namespace {

using Cmds = std::vector<std::string>;
using Rs = std::vector<FakeMultimedia::Reply>;
using music::MusicPlayer;

constexpr char Cur[] = "status cdaudio current track", Tracks[] = "status cdaudio number of tracks",
               CdMode[] = "status cdaudio mode", Pos3[] = "status cdaudio position track 3",
               Mp3Mode[] = "status MP3Play mode", Song[] = "C:\\My Music\\song.Mp3",
               Open[] = "open \"C:\\My Music\\song.Mp3\" type MPEGVideo Alias MP3Play";
const Cmds Restart = {Mp3Mode, "stop MP3Play", "play MP3Play from 0"};

// A drive on this track in this mode, for one poll; where track 3 starts.
Rs Drive(const char* track, const char* mode, const char* start3 = "3:0") {
  return {{Cur, 0, track}, {Tracks, 0, "12"}, {CdMode, 0, mode}, {Pos3, 0, start3}};
}
Cmds operator+(Cmds a, const Cmds& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
const Cmds Poll = {Cur, Tracks, CdMode}, Back3 = Poll + Cmds{Pos3, "play cdaudio from 3:0"};

TEST(MusicPlayer, CommandsAndDecisions) {
  using B = MusicPlayer;
  struct Row {
    const char* what;
    void (B::*call)();
    std::int16_t repeat;
    Rs replies;
    Cmds sent;
    bool pollFlag = false;
  };
  const Row rows[] = {
      {"open", &B::OpenCd, 0, {}, {"open cdaudio", "set cdaudio time format tmsf"}},
      {"disc stopped", &B::CheckCd, 0, Drive("1", "stopped"), Poll + Cmds{"play cdaudio"}, true},
      {"7 characters", &B::CheckCd, 0, Drive("3", "stoppedX"), Poll + Cmds{"play cdaudio"}, true},
      {"disc playing", &B::CheckCd, 0, Drive("3", "playing"), Poll, true},
      {"track 4", &B::CheckCd, 3, Drive("4", "playing"), Back3, true},
      {"track 2", &B::CheckCd, 3, Drive("2", "playing"), Back3, true},
      {"track 3 stopped", &B::CheckCd, 3, Drive("3", "stopped"), Back3, true},
      {"track 3", &B::CheckCd, 3, Drive("3", "playing"), Poll, true},
      {"no disc", &B::CheckCd, 0, {{Cur, 266, ""}}, {Cur}, false},
      {"err reply", &B::CheckCd, 0, {{Cur, 0, "tErRible"}}, {Cur}, false},
      {"count fails", &B::CheckCd, 0, {{Cur, 0, "1"}, {Tracks, 263, ""}}, {Cur, Tracks}, false},
      {"count err", &B::CheckCd, 0, {{Cur, 0, "1"}, {Tracks, 0, "xerr"}}, {Cur, Tracks}, false},
      {"track no number", &B::CheckCd, 2, Drive("two", "stopped"), Poll, false},
      {"close", &B::CloseCd, 0, {}, {"stop cdaudio", "close cdaudio"}},
      {"mp3", &B::PlayMp3, 0, {}, {Open, "play MP3Play"}},
      {"mp3 missing", &B::PlayMp3, 0, {{Open, 277, ""}}, {Open}},
      {"playing", &B::CheckMp3, 0, {{Mp3Mode, 0, "playing"}}, {Mp3Mode}},
      {"paused", &B::CheckMp3, 0, {{Mp3Mode, 0, "paused"}}, Restart},
      {"mp3 error", &B::CheckMp3, 0, {{Mp3Mode, 281, "playing"}}, Restart},
      {"close mp3", &B::CloseMp3, 0, {}, {"stop MP3Play", "close MP3Play"}},
      {"wav", &B::PlayWave, 0, {}, {"sound C:\\My Music\\song.Mp3 9"}},
      {"stop wav", &B::StopWave, 0, {}, {"sound (none) 0"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    FakeMultimedia mm;
    mm.Script(r.replies);
    const music::BgmSettings bgm{0, r.repeat, Song};
    MusicPlayer player(mm, bgm);
    (player.*r.call)();
    EXPECT_EQ(mm.sent, r.sent);
    EXPECT_EQ(player.CdPollFlag(), r.pollFlag);
  }
}

// A failed status query never passes for the reply an earlier one left in
// its buffer; a good poll after a failed one polls on; no wave device, no
// sound. Each buffer's length as the library is told it (0 without one).
TEST(MusicPlayer, RepliesInTheirBuffers) {
  FakeMultimedia mm;
  const music::BgmSettings bgm{0, 3, Song};
  MusicPlayer player(mm, bgm);
  mm.Script({{Mp3Mode, 0, "playing"}, {Mp3Mode, 281, ""}, {Cur, 266, ""}});
  mm.Script(Drive("1", "stopped"));
  mm.Script({{Cur, 0, "3"}, {CdMode, 263, ""}});
  mm.waveDevices = 0;
  for (auto call : {&MusicPlayer::PlayWave, &MusicPlayer::PlayMp3, &MusicPlayer::CheckMp3,
                    &MusicPlayer::CheckMp3, &MusicPlayer::CheckCd})
    (player.*call)();
  EXPECT_FALSE(player.CdPollFlag());
  player.CheckCd();
  player.CheckCd();
  EXPECT_TRUE(player.CdPollFlag());
  EXPECT_EQ(mm.sent, (Cmds{Open, "play MP3Play", Mp3Mode} + Restart + Cmds{Cur} + Back3 + Poll));
  EXPECT_EQ(mm.lengths, (std::vector<std::uint32_t>{0, 0, 30, 30, 0, 0, 512, 512, 512, 255, 512,
                                                    512, 512, 512, 255}));
  EXPECT_EQ(mm.errorLengths, (std::vector<std::uint32_t>{256}));
}

TEST(MusicPlayer, SendMciMciStatusAndMciPlay) {
  const std::string noCommand = music::NoCommandReply, noText = music::NoErrorTextReply;
  // The command and the library's answer; SendMci's result and reply, MciStatus's text.
  const std::tuple<std::string, std::uint32_t, std::string, std::int32_t, std::string, std::string>
      rows[] = {
          {"", 0, "", -1, noCommand, "Error:-1"},
          {"status e", 0, "", 0, "", ""},
          {"status y", 263, "", 263, "not open", "Error:263"},
          {"status z", 999, "", 999, noText, "Error:999"},
          {"status w", 0, std::string(600, 'r'), 0, std::string(512, 'r'), std::string(512, 'r')},
      };
  const music::BgmSettings bgm;
  for (const auto& [command, code, text, result, reply, status] : rows) {
    SCOPED_TRACE(command);
    FakeMultimedia mm;
    mm.Script({{command, code, text}, {command, code, text}});
    MusicPlayer player(mm, bgm);
    std::string got = "old";
    EXPECT_EQ(player.SendMci(command, got), result);
    EXPECT_EQ(got, reply);
    EXPECT_EQ(player.MciStatus(command), status);
    EXPECT_EQ(mm.sent.size(), command.empty() ? 0u : 2u);
  }
  FakeMultimedia mm;
  MusicPlayer player(mm, bgm);
  for (const char* from : {"", "P"})
    for (const char* to : {"", "Q"}) player.MciPlay("cdaudio", from, to);
  EXPECT_EQ(mm.sent, (Cmds{"play cdaudio", "play cdaudio to Q", "play cdaudio from P",
                           "play cdaudio from P to Q"}));
}

}  // namespace
