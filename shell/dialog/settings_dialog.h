// Nimbrel_P: the settings dialog. The user chooses no music, an audio CD
// (optionally one track repeated) or one sound file; "設定" saves the three
// settings in order and closes, every other way of closing saves nothing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace dialog {

// The music settings as the dialog edits them.
struct Music {
  std::int16_t mode = 0;    // 0 none, 1 audio CD, 2 sound file
  std::int16_t repeat = 0;  // audio-CD track to repeat, 0 for none
  std::string file;         // sound file path, in the system's ANSI code page
};

// Saves one setting: "mode", "repeat" or "file" with its text.
enum class Setting { Mode, Repeat, File };
using SaveSetting = std::function<void(Setting, const std::string& value)>;

// The page "その他の作品" opens.
inline constexpr char OtherWorksAddress[] = "https://vorrasin.github.io/";

// Shows the dialog modally; returns when it has closed.
void ShowSettingsDialog(Music& music, const SaveSetting& save, HICON icon);

}  // namespace dialog
