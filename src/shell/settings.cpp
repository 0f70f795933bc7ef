#include "shell/settings.h"

#include "common/ascii.h"
#include "common/contract.h"
#include "common/text_number.h"

namespace shell::settings {
namespace {

std::string NameField(std::string_view name) {
  name = name.substr(0, NameFieldSize);
  return std::string(name.substr(0, name.find('\0')));
}

// A value read for the mode or the track: empty gives 0; a number is rounded
// down and kept when it fits 16 bits; anything else leaves the field alone.
void ApplyNumber(std::string_view text, std::int16_t& field) {
  if (text.empty()) {
    field = 0;
    return;
  }
  if (const auto v = common::text_number::Parse(text))
    if (const auto n = common::text_number::FloorToInt16(*v)) field = *n;
}

}  // namespace

std::string ReadIni(ProfileStore& store, const std::string& section, const std::string& key,
                    const std::string& path) {
  // A value that fills the buffer (size - 1 bytes) may have been cut.
  for (std::size_t size = ValueBufferSize;; size *= 2) {
    std::string value = store.Read(section, key, path, size);
    if (value.size() + 1 < size || size > LongestValue) return value;
  }
}

bool WriteIni(ProfileStore& store, std::string_view section, std::string_view key,
              const std::string& value, const std::string& path) {
  return store.Write(NameField(section), NameField(key), value, path);
}

bool FileExists(ProfileStore& store, std::string_view path) {
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  if (path.empty()) return false;
  return store.CanOpen(std::string(path));
}

std::string IniPath(std::string_view folder) {
  return std::string(folder) + "\\" + contract::IniFile;
}

void ReadSettings(ProfileStore& store, const std::string& ini, music::BgmSettings& bgm) {
  ApplyNumber(ReadIni(store, contract::IniSection, contract::KeyMode, ini), bgm.BgmMode);
  ApplyNumber(ReadIni(store, contract::IniSection, contract::KeyRepeat, ini), bgm.BgmRepeat);
  bgm.BgmFile = ReadIni(store, contract::IniSection, contract::KeyFile, ini);
}

void LoadSettings(ProfileStore& store, const std::string& ini, music::BgmSettings& bgm) {
  ReadSettings(store, ini, bgm);
  if (!bgm.BgmFile.empty() && !FileExists(store, bgm.BgmFile)) bgm.BgmFile.clear();
  if (bgm.BgmFile.empty() && bgm.BgmMode == music::ModeFile) bgm.BgmMode = music::ModeNone;
}

bool SaveSettings(ProfileStore& store, const std::string& ini, const music::BgmSettings& bgm) {
  const std::string section = contract::IniSection;
  const std::string keys[] = {contract::KeyMode, contract::KeyRepeat, contract::KeyFile};
  const std::string values[] = {std::to_string(bgm.BgmMode), std::to_string(bgm.BgmRepeat),
                                bgm.BgmFile};
  std::string before[3];
  for (std::size_t i = 0; i < 3; ++i) {
    before[i] = ReadIni(store, section, keys[i], ini);
    // Read back with room for one byte more, so that a longer value shows too.
    if (WriteIni(store, section, keys[i], values[i], ini) &&
        store.Read(NameField(section), NameField(keys[i]), ini, values[i].size() + 2) == values[i])
      continue;
    // The keys up to this one as they were (as LoadSettings reads them), as far as the file lets.
    for (std::size_t j = 0; j <= i; ++j) WriteIni(store, section, keys[j], before[j], ini);
    return false;
  }
  return true;
}

SoundKind SoundKindOf(std::string_view file) {
  if (file.size() < 3) return SoundKind::None;
  const std::string tail = common::ascii::Upper(file.substr(file.size() - 3));
  if (tail == "WAV") return SoundKind::Wave;
  if (tail == "MP3") return SoundKind::Mp3;
  return SoundKind::None;
}

}  // namespace shell::settings
