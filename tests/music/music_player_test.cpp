// The music player: the commands it sends, in order, and what it makes of
// the replies.
#include "music/music_player.h"

#include <gtest/gtest.h>

#include "music/fake_multimedia.h"

namespace {

using Cmds = std::vector<std::string>;
using music::Nimbrel_BGM;

constexpr char Cur[] = "status cdaudio current track";
constexpr char Tracks[] = "status cdaudio number of tracks";
constexpr char CdMode[] = "status cdaudio mode";
constexpr char Pos3[] = "status cdaudio position track 3";
constexpr char Mp3Mode[] = "status MP3Play mode";
constexpr char Open[] = "open \"C:\\My Music\\song.Mp3\" type MPEGVideo Alias MP3Play";
const Cmds Restart = {Mp3Mode, "stop MP3Play", "play MP3Play from 0"};

using Rs = std::vector<FakeMultimedia::Reply>;

// A drive on this track in this mode, for one poll; where track 3 starts.
Rs Drive(const char* track, const char* mode, const char* start3 = "") {
  return {{Cur, 0, track}, {Tracks, 0, "12"}, {CdMode, 0, mode}, {Pos3, 0, start3}};
}
Cmds Poll(Cmds more = {}) {
  Cmds c{Cur, Tracks, CdMode};
  c.insert(c.end(), more.begin(), more.end());
  return c;
}
Cmds operator+(Cmds a, const Cmds& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(Nimbrel_BGM, CommandsAndDecisions) {
  using B = Nimbrel_BGM;
  struct Row {
    const char* what;
    void (B::*call)();
    std::int16_t repeat;
    Rs replies;
    Cmds sent;
    bool pollFlag = false;
    std::uint32_t waveDevices = 1;
    std::vector<FakeMultimedia::Sound> sounds = {};
  };
  const Row rows[] = {
      {"open", &B::OpenCd, 0, {}, {"open cdaudio", "set cdaudio time format tmsf"}},
      {"disc stopped", &B::CheckCd, 0, Drive("1", "stopped"), Poll({"play cdaudio"}), true},
      {"disc playing", &B::CheckCd, 0, Drive("3", "playing"), Poll(), true},
      {"7 characters", &B::CheckCd, 0, Drive("3", "stoppedX"), Poll({"play cdaudio"}), true},
      {"stopp", &B::CheckCd, 0, Drive("3", "stopp"), Poll(), true},
      {"track 4", &B::CheckCd, 3, Drive("4", "playing", "3:0"),
       Poll({Pos3, "play cdaudio from 3:0"}), true},
      {"track 2", &B::CheckCd, 3, Drive("2", "playing", "3:0"),
       Poll({Pos3, "play cdaudio from 3:0"}), true},
      {"track 3", &B::CheckCd, 3, Drive("3", "playing"), Poll(), true},
      {"track 3 stopped", &B::CheckCd, 3, Drive("3", "stopped", "3:0"),
       Poll({Pos3, "play cdaudio from 3:0"}), true},
      {"no disc", &B::CheckCd, 0, {{Cur, 266, ""}}, {Cur}, false},
      {"err reply", &B::CheckCd, 0, {{Cur, 0, "tErRible"}}, {Cur}, false},
      {"count fails", &B::CheckCd, 0, {{Cur, 0, "1"}, {Tracks, 263, ""}}, {Cur, Tracks}, false},
      {"count err", &B::CheckCd, 0, {{Cur, 0, "1"}, {Tracks, 0, "xerr"}}, {Cur, Tracks}, false},
      {"track no number", &B::CheckCd, 2, Drive("two", "stopped"), Poll(), false},
      {"close", &B::CloseCd, 0, {}, {"stop cdaudio", "close cdaudio"}},
      {"mp3", &B::PlayMp3, 0, {}, {Open, "play MP3Play"}},
      {"mp3 missing", &B::PlayMp3, 0, {{Open, 277, ""}}, {Open}},
      {"playing", &B::CheckMp3, 0, {{Mp3Mode, 0, "playing"}}, {Mp3Mode}},
      {"playing2", &B::CheckMp3, 0, {{Mp3Mode, 0, "playing2"}}, {Mp3Mode}},
      {"stopped", &B::CheckMp3, 0, {{Mp3Mode, 0, "stopped"}}, Restart},
      {"paused", &B::CheckMp3, 0, {{Mp3Mode, 0, "paused"}}, Restart},
      {"playin", &B::CheckMp3, 0, {{Mp3Mode, 0, "playin"}}, Restart},
      {"mp3 error", &B::CheckMp3, 0, {{Mp3Mode, 281, ""}}, Restart},
      {"close mp3", &B::CloseMp3, 0, {}, {"stop MP3Play", "close MP3Play"}},
      {"wav", &B::PlayWave, 0, {}, {}, false, 2, {{"C:\\My Music\\song.Mp3", 9}}},
      {"wav, no device", &B::PlayWave, 0, {}, {}, false, 0, {}},
      {"stop wav", &B::StopWave, 0, {}, {}, false, 0, {{"<stop>", 0}}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    FakeMultimedia mm;
    mm.Script(r.replies);
    mm.waveDevices = r.waveDevices;
    const settings::BgmSettings bgm{0, r.repeat, "C:\\My Music\\song.Mp3"};
    Nimbrel_BGM player(mm, bgm);
    (player.*r.call)();
    EXPECT_EQ(mm.sent, r.sent);
    EXPECT_EQ(player.CdPollFlag(), r.pollFlag);
    EXPECT_EQ(mm.sounds, r.sounds);
  }
}

// A status query that fails never passes for the reply an earlier one left
// in the buffer; a good poll after a failed one polls on.
TEST(Nimbrel_BGM, FailedQueriesAfterGoodOnes) {
  FakeMultimedia mm;
  const settings::BgmSettings bgm;
  Nimbrel_BGM player(mm, bgm);
  mm.Script({{Mp3Mode, 0, "playing"}, {Mp3Mode, 281, ""}, {Cur, 266, ""}});
  mm.Script(Drive("1", "stopped"));
  mm.Script({{Cur, 0, "1"}, {CdMode, 263, ""}});
  player.CheckMp3();
  player.CheckMp3();
  player.CheckCd();
  EXPECT_FALSE(player.CdPollFlag());
  player.CheckCd();
  player.CheckCd();
  EXPECT_TRUE(player.CdPollFlag());
  EXPECT_EQ(mm.sent, Cmds{Mp3Mode} + Restart + Cmds{Cur} + Poll({"play cdaudio"}) + Poll());
}

// Each reply buffer's length as the library is told it; no buffer, length 0.
TEST(Nimbrel_BGM, ReplyBufferLengths) {
  FakeMultimedia mm;
  const settings::BgmSettings bgm{1, 3, "C:\\a.mp3"};
  Nimbrel_BGM player(mm, bgm);
  mm.Script(Drive("4", "stopped"));
  player.OpenCd();
  player.CheckCd();
  player.CheckMp3();
  EXPECT_EQ(mm.lengths, (std::vector<std::uint32_t>{0, 0, 512, 512, 255, 512, 512, 30, 0, 0}));
  EXPECT_FALSE(mm.bufferMismatch);
}

TEST(Nimbrel_BGM, SendMciAndMciStatusReplies) {
  // "コマンド文字列が指定されていません" and "Error (文字列が取れません)" in Shift-JIS
  // (python3: '...'.encode('shift_jis')).
  const std::string noCommand =
      "\x83\x52\x83\x7d\x83\x93\x83\x68\x95\xb6\x8e\x9a\x97\xf1\x82\xaa\x8e\x77\x92\xe8\x82\xb3"
      "\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1";
  const std::string noText =
      "Error (\x95\xb6\x8e\x9a\x97\xf1\x82\xaa\x8e\xe6\x82\xea\x82\xdc\x82\xb9\x82\xf1)";
  struct Row {
    std::string command;
    std::uint32_t code;
    std::string text;
    std::int32_t result;
    std::string reply, status;
  };
  const Row rows[] = {
      {"", 0, "", -1, noCommand, "Error:-1"},
      {"status x", 0, "hello", 0, "hello", "hello"},
      {"status y", 263, "", 263, "not open", "Error:263"},
      {"status z", 999, "", 999, noText, "Error:999"},
      {"status w", 0, std::string(600, 'r'), 0, std::string(512, 'r'), std::string(512, 'r')},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.command);
    FakeMultimedia mm;
    mm.errorTexts[263] = "not open";
    mm.Script({{r.command, r.code, r.text}, {r.command, r.code, r.text}});
    const settings::BgmSettings bgm;
    Nimbrel_BGM player(mm, bgm);
    std::string reply = "old";
    EXPECT_EQ(player.SendMci(r.command, reply), r.result);
    EXPECT_EQ(reply, r.reply);
    EXPECT_EQ(player.MciStatus(r.command), r.status);
    EXPECT_EQ(mm.sent.size(), r.command.empty() ? 0u : 2u);
    for (std::uint32_t n : mm.errorLengths) EXPECT_EQ(n, 256u);
  }
}

TEST(Nimbrel_BGM, MciPlayHasFourForms) {
  FakeMultimedia mm;
  const settings::BgmSettings bgm;
  Nimbrel_BGM player(mm, bgm);
  player.MciPlay("cdaudio", "", "");
  player.MciPlay("cdaudio", "P", "");
  player.MciPlay("cdaudio", "", "Q");
  player.MciPlay("cdaudio", "P", "Q");
  EXPECT_EQ(mm.sent, (Cmds{"play cdaudio", "play cdaudio from P", "play cdaudio to Q",
                           "play cdaudio from P to Q"}));
}

}  // namespace
