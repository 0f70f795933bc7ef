// The settings file's rules: what a start reads from it and what the
// dialog's save writes to it.
#include "shell/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "shell/fake_store.h"

namespace {

using music::BgmSettings;

constexpr char Ini[] = "C:\\Saver Dir\\Vorrasin.ini";
const std::string Mode = "BGM\x8b\xe6\x95\xaa", Repeat = "BGM\xd8\xcb\xdf\xb0\xc4",
                  File = "BGM\xcc\xa7\xb2\xd9";

TEST(LoadSettings, ReadsTheThreeKeysBesideTheProgram) {
  const char* missing = nullptr;
  // The three keys' texts and the values before; the three values after.
  using Row = std::tuple<const char*, const char*, const char*, std::int16_t, std::int16_t,
                         std::int16_t, std::string>;
  const std::string longFile = "C:\\" + std::string(297, 'x'), cutFile = longFile.substr(0, 255);
  const Row rows[] = {
      {missing, missing, missing, 5, 0, 0, ""},
      {"1", "7", "C:\\a.wav", 0, 1, 7, "C:\\a.wav"},
      {"1.9", "-0.5", "", 0, 1, -1, ""},
      {"abc", "32768", "", 5, 5, 5, ""},
      {"2", "0", "C:\\a.wav", 0, 2, 0, "C:\\a.wav"},
      {"2", "0", "C:\\a.wav\\", 0, 2, 0, "C:\\a.wav\\"},
      {"2", "0", "C:\\a.wav\\\\", 0, 0, 0, ""},
      {"2", "0", "\\", 0, 0, 0, ""},
      {"2", "0", "", 0, 0, 0, ""},
      {"1", "0", "C:\\gone.wav", 0, 1, 0, ""},
      {"2", "0", longFile.c_str(), 0, 2, 0, longFile},
      {"2", "0", cutFile.c_str(), 0, 0, 0, ""},
  };
  for (const auto& [mode, repeat, file, before, modeAfter, repeatAfter, fileAfter] : rows) {
    SCOPED_TRACE(testing::PrintToString(fileAfter) + " " + std::to_string(modeAfter));
    FakeStore store;
    for (const auto& [key, text] : {std::pair{Mode, mode}, {Repeat, repeat}, {File, file}})
      if (text != nullptr) store.values.emplace(std::tuple{Ini, "Section", key}, text);
    // The same keys elsewhere are never read.
    store.values.emplace(std::tuple{"C:\\Other\\Vorrasin.ini", "Section", Mode}, "1");
    store.values.emplace(std::tuple{Ini, "Other", Repeat}, "1");
    music::BgmSettings s;
    s.BgmMode = s.BgmRepeat = before;
    shell::settings::LoadSettings(store, Ini, s);
    EXPECT_EQ(std::tie(s.BgmMode, s.BgmRepeat, s.BgmFile),
              std::tie(modeAfter, repeatAfter, fileAfter));
  }
}

TEST(SaveSettings, WritesModeTrackFileInTheFormsThatReadBack) {
  const music::BgmSettings rows[] = {
      {0, 0, ""}, {1, 30, ""}, {2, -32768, "C:\\a.wav"}, {2, 32767, "C:\\a.wav"}};
  for (const music::BgmSettings& saved : rows) {
    SCOPED_TRACE(saved.BgmRepeat);
    FakeStore store;
    EXPECT_TRUE(shell::settings::SaveSettings(store, Ini, saved));
    const std::vector<Written> writes = {{"Section", Mode, std::to_string(saved.BgmMode), Ini},
                                         {"Section", Repeat, std::to_string(saved.BgmRepeat), Ini},
                                         {"Section", File, saved.BgmFile, Ini}};
    EXPECT_EQ(store.writes, writes);
    music::BgmSettings read{9, 9, "old"};
    shell::settings::LoadSettings(store, Ini, read);
    EXPECT_EQ(std::tie(read.BgmMode, read.BgmRepeat, read.BgmFile),
              std::tie(saved.BgmMode, saved.BgmRepeat, saved.BgmFile));
  }
}

TEST(SaveSettings, AFailedKeyIsToldAndTheKeysBeforeItGetTheirValuesBack) {
  // A key refused, or kept other than written: the file keeps mode 2, track 5, a.wav.
  for (const auto& [refused, garbled] :
       {std::pair<std::string, std::string>{Mode, ""}, {File, ""}, {"", Repeat}}) {
    SCOPED_TRACE(refused + garbled);
    FakeStore store;
    for (const auto& [key, text] : {std::pair{Mode, "2"}, {Repeat, "5"}, {File, "C:\\a.wav"}})
      store.values.emplace(std::tuple{Ini, "Section", key}, text);
    store.refused = {refused};
    store.garbled = {garbled};
    EXPECT_FALSE(shell::settings::SaveSettings(store, Ini, {0, 7, ""}));
    music::BgmSettings read;
    shell::settings::ReadSettings(store, Ini, read);
    EXPECT_EQ(std::to_string(read.BgmMode * 10 + read.BgmRepeat) + read.BgmFile, "25C:\\a.wav");
  }
}

// A value that fills the read buffer is read again with more room, so that no
// value is ever taken cut (and then written back cut by the dialog).
TEST(ReadIni, AValueComesBackWhole) {
  // The longest value read whole is 65535 characters; past that it is cut there.
  for (std::size_t stored : {0, 254, 255, 256, 259, 511, 512, 65535, 70000}) {
    FakeStore store;
    store.values.emplace(std::tuple{Ini, "Section", File}, std::string(stored, 'v'));
    EXPECT_EQ(shell::settings::ReadIni(store, "Section", File, Ini),
              std::string(std::min(stored, std::size_t{65535}), 'v'))
        << stored;
  }
}

TEST(WriteIni, NamesAreCutTo128CharactersBeforeTheFirstNul) {
  FakeStore store;
  const std::string value(300, 'v');
  shell::settings::WriteIni(store, std::string(129, 's'), std::string(200, 'k'), value,
                            "C:\\y.ini");
  store.refused.insert("ab");
  EXPECT_FALSE(
      shell::settings::WriteIni(store, "Section", std::string("ab\0cd", 5), "", "C:\\y.ini"));
  EXPECT_EQ(store.writes, (std::vector<Written>{
                              {std::string(128, 's'), std::string(128, 'k'), value, "C:\\y.ini"},
                              {"Section", "ab", "", "C:\\y.ini"}}));
}

}  // namespace
