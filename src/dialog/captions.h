// The settings dialog's texts, as Shift-JIS bytes.
#pragma once

#include "common/contract.h"

namespace dialog::captions {

inline constexpr const char* Title = contract::DialogCaption;
inline constexpr char Heading[] = "BGM";
inline constexpr char AudioCd[] =
    "\x89\xb9\x8a"
    "yCD";  // 音楽CD
inline constexpr char RepeatTrack[] =
    "\x8b\xc8\x96\xda\x82\xf0\xd8\xcb\xdf\xb0\xc4";    // 曲目をﾘﾋﾟｰﾄ
inline constexpr char NoMusic[] = "\x96\xb3\x82\xb5";  // 無し
inline constexpr char SoundFile[] =
    "MP3\x81"
    "AWAV";  // MP3、WAV
inline constexpr char Browse[] = "...";
// The version is the project's (CMakeLists.txt), as the version resources say.
inline constexpr char Credit[] = "Designed by k-dorran Ver." VORRASIN_VERSION;
inline constexpr char OtherWorks[] =
    "\x82\xbb\x82\xcc\x91\xbc\x82\xcc\x8d\xec\x95i";                   // その他の作品
inline constexpr char Save[] = "\x90\xdd\x92\xe8";                     // 設定
inline constexpr char Cancel[] = "\xb7\xac\xdd\xbe\xd9";               // ｷｬﾝｾﾙ
inline constexpr char FilterName[] = "BGM\xcc\xa7\xb2\xd9 (MP3 WAV)";  // BGMﾌｧｲﾙ (MP3 WAV)
inline constexpr char FilterPattern[] = "*.MP3;*.WAV";
inline constexpr char NotSaved[] =
    "\x90\xdd\x92\xe8\x82\xf0\x95\xdb\x91\xb6\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82"
    "\xb5\x82"
    "\xbd\x81"
    "B";  // 設定を保存できませんでした。
inline constexpr char NameNotStorable[] =
    "\x82\xb1\x82\xcc\xcc\xa7\xb2\xd9\x96\xbc\x82\xcd\x95\xdb\x91\xb6\x82\xc5\x82\xab\x82\xdc\x82"
    "\xb9\x82"
    "\xf1\x81"
    "B\x91O\x82\xcc\x91I\x91\xf0\x82\xcc\x82\xdc\x82\xdc\x82\xc5\x82\xb7\x81"
    "B";  // このﾌｧｲﾙ名は保存できません。前の選択のままです。
inline constexpr char OpenTitle[] =
    "\xcc\xa7\xb2\xd9\x82\xf0\x8a"
    "J\x82\xad";  // ﾌｧｲﾙを開く

}  // namespace dialog::captions
