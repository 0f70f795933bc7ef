// Nimbrel_P: the settings dialog. The user chooses no music, an audio CD
// (optionally one track repeated) or one sound file; "設定" hands the edited
// settings back, every other way of closing hands back nothing.
#pragma once

#include <windows.h>

#include <optional>

#include "shell/settings.h"

namespace dialog {

// The page "その他の作品" opens.
inline constexpr char OtherWorksAddress[] = "https://vorrasin.github.io/";

// Shows the dialog modally, starting from the current settings; returns
// when it has closed: the edited settings after "設定", nothing after
// "ｷｬﾝｾﾙ", the close box or Escape.
std::optional<settings::BgmSettings> ShowSettingsDialog(const settings::BgmSettings& current,
                                                        HICON icon);

}  // namespace dialog
