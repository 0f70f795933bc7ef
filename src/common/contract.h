// What the two programs, the settings file and the screen-saver host agree
// on: window titles and class, file names, the settings file's section and
// keys. Texts are Shift-JIS bytes where they are Japanese. Changing any of
// these breaks stored files or a program already installed beside the other.
#pragma once

namespace contract {

// The renderer (Vorrasin.dll) and its window, which the shell finds by title.
inline constexpr char RendererFile[] = "Vorrasin.dll";
inline constexpr char RendererTitle[] = "Nimbrel_Canvas";
inline constexpr char RendererClass[] = "Zoom";

// The shell (Vorrasin.scr): captions of its forms, by which a second start
// sees the first.
inline constexpr char ShellFile[] = "Vorrasin.scr";
inline constexpr char RunFormCaption[] = "Nimbrel_Main";
inline constexpr char PreviewCaption[] = "Preview Window";
inline constexpr char DialogCaption[] = "<Vorrasin>";
// The mutex a run or the settings dialog holds, one per session.
inline constexpr char InstanceMutex[] = "Local\\Vorrasin.Nimbrel_Main";
// The title of the shell's message box (a missing renderer).
inline constexpr char ProgramTitle[] = "Vorrasin (ScreenSaver)";

// The settings file beside the shell: "BGM区分", "BGMﾘﾋﾟｰﾄ", "BGMﾌｧｲﾙ".
inline constexpr char IniFile[] = "Vorrasin.ini";
inline constexpr char IniSection[] = "Section";
inline constexpr char KeyMode[] = "BGM\x8b\xe6\x95\xaa";
inline constexpr char KeyRepeat[] = "BGM\xd8\xcb\xdf\xb0\xc4";
inline constexpr char KeyFile[] = "BGM\xcc\xa7\xb2\xd9";
// The folder, in the user's roaming application data (%APPDATA%), of the
// settings file of a user who may not write beside the shell; the file in it
// is named and written as the one beside the shell.
inline constexpr char UserSettingsFolder[] = "Vorrasin";

}  // namespace contract
