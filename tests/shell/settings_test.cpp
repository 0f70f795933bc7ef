// The settings file's rules: what a start reads from it and what the
// dialog's save writes to it.
#include "shell/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using music::BgmSettings;
using Written = std::tuple<std::string, std::string, std::string, std::string>;

constexpr char Ini[] = "C:\\Saver Dir\\Vorrasin.ini";
const std::string Mode = "BGM\x8b\xe6\x95\xaa", Repeat = "BGM\xd8\xcb\xdf\xb0\xc4",
                  File = "BGM\xcc\xa7\xb2\xd9";

// Private-profile files in memory, with the truncation of the real read call;
// writes of the keys in refused fail; the next write of a key in garbled is kept with a "?" added.
class FakeStore : public shell::settings::ProfileStore {
 public:
  std::string Read(const std::string& section, const std::string& key, const std::string& path,
                   std::size_t bufferSize) override {
    const auto it = values.find({path, section, key});
    return it == values.end() ? std::string() : it->second.substr(0, bufferSize - 1);
  }
  bool Write(const std::string& section, const std::string& key, const std::string& value,
             const std::string& path) override {
    writes.push_back({section, key, value, path});
    if (refused.count(key) != 0) return false;
    values[{path, section, key}] = garbled.erase(key) != 0 ? value + "?" : value;
    return true;
  }
  bool CanOpen(const std::string& path) override { return openable.count(path) != 0; }
  bool MayWrite(const std::string&) override { return true; }
  bool MakeFolder(const std::string&) override { return true; }

  std::map<std::tuple<std::string, std::string, std::string>, std::string> values;
  std::set<std::string> openable{"C:\\a.wav", "C:\\" + std::string(297, 'x')};
  std::vector<Written> writes;
  std::set<std::string> refused, garbled;
};

TEST(LoadSettings, ReadsTheThreeKeysBesideTheProgram) {
  const char* missing = nullptr;
  struct Row {
    const char *mode, *repeat, *file;
    std::int16_t before, mode_, repeat_;
    std::string file_;
  };
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
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << &r - rows);
    FakeStore store;
    for (const auto& [key, text] : {std::pair{Mode, r.mode}, {Repeat, r.repeat}, {File, r.file}})
      if (text != nullptr) store.values.emplace(std::tuple{Ini, "Section", key}, text);
    // The same keys elsewhere are never read.
    store.values.emplace(std::tuple{"C:\\Other\\Vorrasin.ini", "Section", Mode}, "1");
    store.values.emplace(std::tuple{Ini, "Other", Repeat}, "1");
    music::BgmSettings s;
    s.BgmMode = s.BgmRepeat = r.before;
    shell::settings::LoadSettings(store, Ini, s);
    EXPECT_EQ(s.BgmMode, r.mode_);
    EXPECT_EQ(s.BgmRepeat, r.repeat_);
    EXPECT_EQ(s.BgmFile, r.file_);
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
  for (const auto& [stored, read] :
       std::vector<std::pair<std::size_t, std::size_t>>{{0, 0},
                                                        {254, 254},
                                                        {255, 255},
                                                        {256, 256},
                                                        {259, 259},
                                                        {511, 511},
                                                        {512, 512},
                                                        {65535, 65535},
                                                        {70000, 65535}}) {
    SCOPED_TRACE(stored);
    FakeStore store;
    store.values.emplace(std::tuple{Ini, "Section", File}, std::string(stored, 'v'));
    EXPECT_EQ(shell::settings::ReadIni(store, "Section", File, Ini), std::string(read, 'v'));
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
