// The settings dialog. The user chooses no music, an audio CD
// (optionally one track repeated) or one sound file; "設定" hands the edited
// settings to the caller to write, every other way of closing writes nothing.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "music/bgm_settings.h"

namespace dialog {

// The page "その他の作品" opens.
inline constexpr char OtherWorksAddress[] = "https://vorrasin.github.io/";

// Writes the settings "設定" hands over; true once they are written. On false
// the dialog stays open: the function has told the user, in a message owned
// by the dialog's window it is given.
using SaveFunction = std::function<bool(const music::BgmSettings& bgm, HWND dialog)>;

// Tells the user, over the dialog, that the settings could not be written to
// this file.
void TellNotSaved(HWND dialog, const std::string& iniPath);

// Shows the dialog modally, starting from the current settings (as loaded)
// beside the ones the settings file holds (before a missing sound file was
// dropped); returns when it has closed: the settings written after "設定",
// nothing after "ｷｬﾝｾﾙ", the close box or Escape. An owner window (or
// nullptr) is disabled while the dialog is open.
std::optional<music::BgmSettings> ShowSettingsDialog(const music::BgmSettings& current,
                                                     const music::BgmSettings& stored, HICON icon,
                                                     HWND owner, const SaveFunction& save);

}  // namespace dialog
