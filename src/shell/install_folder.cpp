#include "shell/install_folder.h"

#include "common/ascii.h"
#include "common/contract.h"

namespace shell::install_folder {
namespace {

std::string_view WithoutTrailingSlash(std::string_view folder) {
  if (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
  return folder;
}

bool SameFolder(std::string_view a, std::string_view b) {
  return common::ascii::EqualIgnoringCase(WithoutTrailingSlash(a), WithoutTrailingSlash(b));
}

}  // namespace

std::string RendererPath(std::string_view folder) {
  return std::string(folder) + "\\" + contract::RendererFile;
}

std::string DataFolder(settings::ProfileStore& store, std::string_view programFolder,
                       std::string_view systemFolder, std::string_view windowsFolder) {
  const std::string own(programFolder);
  if (systemFolder.empty() || !SameFolder(programFolder, systemFolder) ||
      settings::FileExists(store, RendererPath(own)))
    return own;
  const std::string native = std::string(WithoutTrailingSlash(windowsFolder)) + "\\Sysnative";
  return settings::FileExists(store, RendererPath(native)) ? native : own;
}

SettingsFiles SettingsFilesFor(settings::ProfileStore& store, std::string_view dataFolder,
                               std::string_view userFolder) {
  const std::string beside = settings::IniPath(dataFolder);
  if (userFolder.empty() || store.MayWrite(beside)) return {beside, beside, {}};
  const std::string own = settings::IniPath(WithoutTrailingSlash(userFolder));
  if (settings::FileExists(store, own)) return {own, own, {}};
  return {beside, own, std::string(WithoutTrailingSlash(userFolder))};
}

}  // namespace shell::install_folder
