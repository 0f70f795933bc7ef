// The music settings and the rules for reading and writing them. The file
// itself is a Windows private-profile file beside the shell; the calls that
// reach it are behind ProfileStore, so the rules build and test anywhere.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/contract.h"

namespace settings {

// The shell's one settings record.
struct BgmSettings {
  std::int16_t BgmMode = 0;    // 0 no music, 1 audio CD, 2 sound file
  std::int16_t BgmRepeat = 0;  // audio-CD track to repeat, 0 for none
  std::string BgmFile;         // full path of the sound file, empty for none
};

inline constexpr std::int16_t ModeNone = 0;
inline constexpr std::int16_t ModeCd = 1;
inline constexpr std::int16_t ModeFile = 2;

// Names in the file. The keys are Shift-JIS bytes, as Japanese Windows
// stores them: "BGM区分", "BGMﾘﾋﾟｰﾄ", "BGMﾌｧｲﾙ".
inline constexpr const char* Section = contract::IniSection;
using contract::KeyFile;
using contract::KeyMode;
using contract::KeyRepeat;

// A value is read into 256 bytes: at most 255 come back.
inline constexpr std::size_t ValueBufferSize = 256;
// Section and key names are cut to this many characters before writing.
inline constexpr std::size_t NameFieldSize = 128;

// The file calls.
class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  // The value, or empty when the file, section or key is missing. Reads at
  // most bufferSize - 1 bytes.
  virtual std::string Read(const std::string& section, const std::string& key,
                           const std::string& path, std::size_t bufferSize) = 0;
  virtual void Write(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& path) = 0;
  // Whether the file can be opened for reading (a folder cannot).
  virtual bool CanOpen(const std::string& path) = 0;
};

// The settings file's path for a program folder given without a trailing
// separator.
std::string IniPath(std::string_view programFolder);

std::string ReadIni(ProfileStore& store, const std::string& section, const std::string& key,
                    const std::string& path);
void WriteIni(ProfileStore& store, std::string_view section, std::string_view key,
              const std::string& value, const std::string& path);
// True when the file can be opened for reading; one trailing backslash is
// dropped first.
bool FileExists(ProfileStore& store, std::string_view path);

// Applies a value read for the mode or the track: empty gives 0; a number is
// rounded down and kept when it fits 16 bits; anything else leaves the field
// as it was.
void ApplyNumber(std::string_view text, std::int16_t& field);

// Fills the record from the file, starting from the record's current values.
void LoadSettings(ProfileStore& store, std::string_view programFolder, BgmSettings& bgm);

// How a sound file is played, from the last three characters of its name.
enum class SoundKind { None, Wave, Mp3 };
SoundKind SoundKindOf(std::string_view file);

}  // namespace settings
