// Reading and writing the settings: the numbers, the sound file, the names.
#include "shell/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "common/text_number.h"

namespace {

using settings::BgmSettings;

// An INI file in memory, with the truncation of the real read call.
class FakeStore : public settings::ProfileStore {
 public:
  std::string Read(const std::string& section, const std::string& key, const std::string& path,
                   std::size_t bufferSize) override {
    reads.push_back({section, key, path});
    const auto it = values.find({section, key});
    if (it == values.end() || path != file) return {};
    return it->second.substr(0, bufferSize - 1);
  }
  void Write(const std::string& section, const std::string& key, const std::string& value,
             const std::string& path) override {
    writes.push_back({section, key, value, path});
  }
  bool CanOpen(const std::string& path) override {
    opened.push_back(path);
    return openable.count(path) != 0;
  }

  std::string file = "C:\\Saver Dir\\Vorrasin.ini";
  std::map<std::pair<std::string, std::string>, std::string> values;
  std::set<std::string> openable;
  std::vector<std::tuple<std::string, std::string, std::string>> reads;
  std::vector<std::tuple<std::string, std::string, std::string, std::string>> writes;
  std::vector<std::string> opened;
};

constexpr char Folder[] = "C:\\Saver Dir";

BgmSettings Load(FakeStore& store, BgmSettings start = {}) {
  settings::LoadSettings(store, Folder, start);
  return start;
}

TEST(TextNumber, WholeTextNumbers) {
  EXPECT_EQ(text_number::Parse("12"), 12.0);
  EXPECT_EQ(text_number::Parse(" -0.5 "), -0.5);
  EXPECT_EQ(text_number::Parse("1e3"), 1000.0);
  EXPECT_EQ(text_number::Parse("+.5"), 0.5);
  EXPECT_EQ(text_number::Parse("7."), 7.0);
  for (const char* bad : {"", " ", "abc", "1,5", "1 000", "0x10", "&H10", "1e", "--1", ".", "e5",
                          "1e999", "nan", "inf", "1.2.3", "\xef\xbc\x91"})
    EXPECT_FALSE(text_number::Parse(bad).has_value()) << bad;
}

TEST(TextNumber, RoundingIntoIntegers) {
  EXPECT_EQ(text_number::FloorToInt16(1.9), 1);
  EXPECT_EQ(text_number::FloorToInt16(-0.5), -1);
  EXPECT_EQ(text_number::FloorToInt16(32767.99), 32767);
  EXPECT_EQ(text_number::FloorToInt16(-32768.0), -32768);
  EXPECT_FALSE(text_number::FloorToInt16(-32768.5).has_value());
  EXPECT_FALSE(text_number::FloorToInt16(32768.0).has_value());
  EXPECT_EQ(text_number::RoundToInt32(2.5), 2);
  EXPECT_EQ(text_number::RoundToInt32(3.5), 4);
  EXPECT_FALSE(text_number::RoundToInt32(2147483647.5).has_value());
}

TEST(LoadSettings, NoFileGivesTheDefaults) {
  FakeStore store;
  store.file = "elsewhere";
  const BgmSettings s = Load(store);
  EXPECT_EQ(s.BgmMode, 0);
  EXPECT_EQ(s.BgmRepeat, 0);
  EXPECT_EQ(s.BgmFile, "");
}

TEST(LoadSettings, ReadsTheThreeShiftJisKeysFromSectionBesideTheProgram) {
  FakeStore store;
  store.values[{"Section", "BGM\x8b\xe6\x95\xaa"}] = "1";
  store.values[{"Section", "BGM\xd8\xcb\xdf\xb0\xc4"}] = "7";
  store.values[{"Section", "BGM\xcc\xa7\xb2\xd9"}] = "D:\\m\\a.mp3";
  store.openable.insert("D:\\m\\a.mp3");
  const BgmSettings s = Load(store);
  EXPECT_EQ(s.BgmMode, 1);
  EXPECT_EQ(s.BgmRepeat, 7);
  EXPECT_EQ(s.BgmFile, "D:\\m\\a.mp3");
  ASSERT_EQ(store.reads.size(), 3u);
  for (const auto& r : store.reads) EXPECT_EQ(std::get<2>(r), "C:\\Saver Dir\\Vorrasin.ini");
}

TEST(LoadSettings, NumbersRoundDownAndBadOnesKeepTheFieldsValue) {
  struct Row {
    const char* text;
    std::int16_t from, expect;
  };
  const Row rows[] = {
      {"1.9", 0, 1},
      {"-0.5", 0, -1},
      {"abc", 0, 0},
      {"abc", 5, 5},
      {"", 5, 0},
      {"2", 0, 2},
      {" 2 ", 0, 2},
      {"1e3", 0, 1000},
      {"32767", 0, 32767},
      {"32768", 4, 4},
      {"-32768", 0, -32768},
      {"-32769", 4, 4},
      {"99999999999999999999", 3, 3},
      {"1e400", 3, 3},
      {"1,5", 3, 3},
      {"2,000", 3, 3},
      {"\x01\x02\xff", 3, 3},
      {"\x82\x50", 3, 3},
      {"1\t", 0, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    FakeStore store;
    store.values[{"Section", settings::KeyMode}] = r.text;
    store.values[{"Section", settings::KeyRepeat}] = r.text;
    BgmSettings start;
    start.BgmMode = r.from;
    start.BgmRepeat = r.from;
    const BgmSettings s = Load(store, start);
    EXPECT_EQ(s.BgmRepeat, r.expect);
    // Mode 2 falls back to 0 here: there is no sound file.
    EXPECT_EQ(s.BgmMode, r.expect == 2 ? 0 : r.expect);
  }
}

TEST(LoadSettings, SoundFileIsKeptOnlyWhenItCanBeOpened) {
  struct Row {
    const char* mode;
    const char* file;
    bool openable;
    std::int16_t expectMode;
    const char* expectFile;
  };
  const Row rows[] = {
      {"2", "", false, 0, ""},
      {"2", "C:\\gone.wav", false, 0, ""},
      {"2", "C:\\here.wav", true, 2, "C:\\here.wav"},
      {"1", "", false, 1, ""},
      {"1", "C:\\gone.wav", false, 1, ""},
      {"0", "C:\\here.wav", true, 0, "C:\\here.wav"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.mode) + " " + r.file);
    FakeStore store;
    store.values[{"Section", settings::KeyMode}] = r.mode;
    store.values[{"Section", settings::KeyFile}] = r.file;
    if (r.openable) store.openable.insert(r.file);
    const BgmSettings s = Load(store);
    EXPECT_EQ(s.BgmMode, r.expectMode);
    EXPECT_EQ(s.BgmFile, r.expectFile);
  }
}

TEST(LoadSettings, LongValuesComeBackAsTheirFirst255Bytes) {
  FakeStore store;
  const std::string longPath = "C:\\" + std::string(297, 'x');
  ASSERT_EQ(longPath.size(), 300u);
  store.values[{"Section", settings::KeyMode}] = "2";
  store.values[{"Section", settings::KeyFile}] = longPath;
  store.openable.insert(longPath.substr(0, 255));
  const BgmSettings s = Load(store);
  EXPECT_EQ(s.BgmFile, longPath.substr(0, 255));
  EXPECT_EQ(s.BgmMode, 2);
  EXPECT_EQ(settings::ReadIni(store, "Section", settings::KeyFile, store.file).size(), 255u);
}

TEST(FileExists, DropsOneTrailingBackslash) {
  FakeStore store;
  store.openable = {"C:\\a.wav", "C:\\dir"};
  EXPECT_TRUE(settings::FileExists(store, "C:\\a.wav"));
  EXPECT_TRUE(settings::FileExists(store, "C:\\a.wav\\"));
  EXPECT_FALSE(settings::FileExists(store, "C:\\a.wav\\\\"));
  EXPECT_FALSE(settings::FileExists(store, "C:\\b.wav"));
  EXPECT_FALSE(settings::FileExists(store, ""));
  EXPECT_FALSE(settings::FileExists(store, "\\"));
  EXPECT_EQ(store.opened,
            (std::vector<std::string>{"C:\\a.wav", "C:\\a.wav", "C:\\a.wav\\", "C:\\b.wav"}));
}

TEST(WriteIni, NamesAreCutTo128CharactersAndValuesGoUnchanged) {
  FakeStore store;
  const std::string longKey(200, 'k');
  const std::string longValue(300, 'v');
  settings::WriteIni(store, "Section", settings::KeyMode, "2", "C:\\x.ini");
  settings::WriteIni(store, std::string(130, 's'), longKey, longValue, "C:\\y.ini");
  settings::WriteIni(store, "Section", std::string("ab\0cd", 5), "", "C:\\x.ini");
  ASSERT_EQ(store.writes.size(), 3u);
  EXPECT_EQ(store.writes[0], std::make_tuple(std::string("Section"), std::string(settings::KeyMode),
                                             std::string("2"), std::string("C:\\x.ini")));
  EXPECT_EQ(std::get<0>(store.writes[1]), std::string(128, 's'));
  EXPECT_EQ(std::get<1>(store.writes[1]), std::string(128, 'k'));
  EXPECT_EQ(std::get<2>(store.writes[1]), longValue);
  EXPECT_EQ(std::get<1>(store.writes[2]), "ab");
}

TEST(WriteIni, WhatTheDialogWritesReadsBackUnchanged) {
  // The dialog writes the decimal text of each field and the path as it is.
  for (std::int16_t mode : {0, 1, 2})
    for (std::int16_t repeat : {0, 1, 30, -32768, 32767}) {
      FakeStore store;
      store.openable.insert("E:\\\x89\xb9\x8a\x79.wav");
      BgmSettings out{mode, repeat, "E:\\\x89\xb9\x8a\x79.wav"};
      settings::WriteIni(store, settings::Section, settings::KeyMode, std::to_string(out.BgmMode),
                         store.file);
      settings::WriteIni(store, settings::Section, settings::KeyRepeat,
                         std::to_string(out.BgmRepeat), store.file);
      settings::WriteIni(store, settings::Section, settings::KeyFile, out.BgmFile, store.file);
      for (const auto& w : store.writes)
        store.values[{std::get<0>(w), std::get<1>(w)}] = std::get<2>(w);
      const BgmSettings in = Load(store);
      EXPECT_EQ(in.BgmMode, mode);
      EXPECT_EQ(in.BgmRepeat, repeat);
      EXPECT_EQ(in.BgmFile, out.BgmFile);
    }
}

TEST(SoundKind, LastThreeCharactersInAnyCase) {
  using settings::SoundKind;
  struct Row {
    const char* file;
    SoundKind kind;
  };
  const Row rows[] = {{"C:\\song.mp3", SoundKind::Mp3},
                      {"C:\\song.Mp3", SoundKind::Mp3},
                      {"C:\\a.WAV", SoundKind::Wave},
                      {"C:\\awav", SoundKind::Wave},
                      {"C:\\a.mid", SoundKind::None},
                      {"av", SoundKind::None},
                      {"", SoundKind::None},
                      {"mp3", SoundKind::Mp3},
                      {"C:\\a.wav ", SoundKind::None},
                      {"C:\\a.mp4", SoundKind::None}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.file);
    EXPECT_EQ(settings::SoundKindOf(r.file), r.kind);
  }
}

}  // namespace
