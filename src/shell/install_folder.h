// Where the shell finds its renderer and settings file. Both lie beside the
// shell; but a 32-bit shell started from the native system folder of 64-bit
// Windows (System32) has its file look-ups there sent to the 32-bit system
// folder, and reaches the files beside itself only through the Sysnative
// alias. A user who may not write beside the shell (a 64-bit shell in
// System32: Windows does not virtualise 64-bit programs' writes) keeps the
// settings in a file of their own.
#pragma once

#include <string>
#include <string_view>

#include "shell/settings.h"

namespace shell::install_folder {

// The renderer the shell starts, in the folder (given without a trailing
// separator) that holds it.
std::string RendererPath(std::string_view folder);

// The folder (without a trailing separator) that holds the renderer and the
// settings file: the program's own, or windowsFolder\Sysnative when the
// program's folder is the system folder (letter case and one trailing
// backslash aside), the renderer cannot be opened in it and can be through
// the alias.
std::string DataFolder(settings::ProfileStore& store, std::string_view programFolder,
                       std::string_view systemFolder, std::string_view windowsFolder);

// The settings file a start reads and the one the dialog saves to.
struct SettingsFiles {
  std::string ReadFrom;
  std::string SaveTo;
  // The folder to make before the save: SaveTo's, when it may not exist yet.
  std::string MakeFirst;
};

// The file beside the shell, in dataFolder, while this user may write it; else
// the user's own file in userFolder once it exists. Until then the one beside
// the shell is read (an administrator's choice for everyone) and the first
// save makes the user's own. userFolder empty: the file beside the shell only.
SettingsFiles SettingsFilesFor(settings::ProfileStore& store, std::string_view dataFolder,
                               std::string_view userFolder);

}  // namespace shell::install_folder
