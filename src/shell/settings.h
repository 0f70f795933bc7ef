// The music settings and every rule of the file that keeps them: its name,
// section and keys, how numbers are written and read back, and the order of
// the writes. The file itself is a Windows private-profile file (beside the
// shell, or the user's own: shell/install_folder.h says which); the calls that
// reach it are behind ProfileStore, so the rules build and test anywhere.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "music/bgm_settings.h"

namespace shell::settings {

// A value is first read into 256 bytes; one that fills them is read again
// into twice the room, and so on, up to this many bytes.
inline constexpr std::size_t ValueBufferSize = 256;
inline constexpr std::size_t LongestValue = 65535;
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
  // Writes one value; false when the file could not be written.
  virtual bool Write(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& path) = 0;
  // Whether the file can be opened for reading (a folder cannot).
  virtual bool CanOpen(const std::string& path) = 0;
  // False only when the system refuses this user the writing of the file (or,
  // if it is missing, its making in its folder), as for a read-only file or a
  // folder of that name; anything else (a file in use) is for the write
  // itself to report.
  virtual bool MayWrite(const std::string& path) = 0;
  // Makes the folder unless it is there; false when it is not there afterwards.
  virtual bool MakeFolder(const std::string& path) = 0;
};

// One value, whole (a longer one than LongestValue is cut there); empty when
// missing. Never cut at 255 bytes: the dialog writes back what it did not
// change, and a path of up to 259 characters is a valid Windows path.
std::string ReadIni(ProfileStore& store, const std::string& section, const std::string& key,
                    const std::string& path);
// One value, the names cut to 128 characters; the file and section are made
// when missing. False when the file could not be written.
bool WriteIni(ProfileStore& store, std::string_view section, std::string_view key,
              const std::string& value, const std::string& path);
// True when the file can be opened for reading; one trailing backslash is
// dropped first.
bool FileExists(ProfileStore& store, std::string_view path);

// The settings file of a folder (given without a trailing separator).
std::string IniPath(std::string_view folder);

// Fills the record with the three keys as the settings file ini holds them,
// starting from the record's current values: a number that cannot be read
// leaves its field as it was.
void ReadSettings(ProfileStore& store, const std::string& ini, music::BgmSettings& bgm);
// ReadSettings, then a sound file that cannot be opened is dropped, and with
// it mode 2 becomes no music.
void LoadSettings(ProfileStore& store, const std::string& ini, music::BgmSettings& bgm);
// Writes the three settings in the forms LoadSettings reads back: mode, track,
// then the sound file, each read back before the next. True when all three
// are in the file as given. At the first that is not, the keys up to it get
// back the values LoadSettings would have read (as far as the file lets them)
// and the result is false.
bool SaveSettings(ProfileStore& store, const std::string& ini, const music::BgmSettings& bgm);

// How a sound file is played, from the last three characters of its name.
enum class SoundKind { None, Wave, Mp3 };
SoundKind SoundKindOf(std::string_view file);

}  // namespace shell::settings
