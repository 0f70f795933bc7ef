// Where the shell finds its renderer and settings file. Both lie beside the
// shell; but a 32-bit shell started from the native system folder of 64-bit
// Windows (System32) has its file look-ups there sent to the 32-bit system
// folder, and reaches the files beside itself only through the Sysnative
// alias.
#pragma once

#include <string>
#include <string_view>

#include "shell/settings.h"

namespace install_folder {

// The folder (without a trailing separator) that holds the renderer and the
// settings file: the program's own, or windowsFolder\Sysnative when the
// program's folder is the system folder (letter case and one trailing
// backslash aside), the renderer cannot be opened in it and can be through
// the alias.
std::string DataFolder(settings::ProfileStore& store, std::string_view programFolder,
                       std::string_view systemFolder, std::string_view windowsFolder);

}  // namespace install_folder
