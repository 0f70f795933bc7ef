// Nimbrel_P: the settings dialog. The user chooses no music, an audio CD
// (optionally one track repeated) or one sound file; "設定" saves the three
// settings in order and closes, every other way of closing saves nothing.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "shell/settings.h"

namespace dialog {

// Writes one setting to the settings file: key (Shift-JIS) and value.
using SaveSetting = std::function<void(const char* key, const std::string& value)>;

// The page "その他の作品" opens.
inline constexpr char OtherWorksAddress[] = "https://vorrasin.github.io/";

// Shows the dialog modally over the settings record; returns when it has
// closed. Only "設定" writes, all three keys in order.
void ShowSettingsDialog(settings::BgmSettings& bgm, const SaveSetting& save, HICON icon);

}  // namespace dialog
