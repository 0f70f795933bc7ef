#include "shell/win32/entry.h"

#include <windows.h>
// After windows.h:
#include <shlobj.h>

#include <climits>
#include <string>

#include "common/contract.h"
#include "common/win32/unique_handle.h"
#include "dialog/win32/settings_dialog.h"
#include "forms/win32/form.h"
#include "forms/win32/gdi_objects.h"
#include "shell/command_line.h"
#include "shell/install_folder.h"
#include "shell/settings.h"
#include "shell/win32/preview_form.h"
#include "shell/win32/profile_store.h"
#include "shell/win32/resources.h"
#include "shell/win32/run_form.h"

namespace shell {
namespace {

// "Vorrasin.dllが同じﾌｫﾙﾀﾞに見つかりません！" in Shift-JIS.
constexpr char RendererMissing[] =
    "Vorrasin.dll\x82\xaa\x93\xaf\x82\xb6\xcc\xab\xd9\xc0\xde\x82\xc9\x8c\xa9\x82\xc2\x82\xa9\x82"
    "\xe8\x82\xdc\x82\xb9\x82\xf1\x81I";

bool AnotherStartIsUp() {
  // Both are always asked.
  const HWND run = FindWindowA(nullptr, contract::RunFormCaption);
  const HWND dialog = FindWindowA(nullptr, contract::DialogCaption);
  return run != nullptr || dialog != nullptr;
}

// Held by a run or the settings dialog for as long as the process lives; the
// window check alone lets two starts at the same moment both pass. A preview
// only asks for it, since it must not keep a run from starting.
bool AnotherRunOrDialogIsUp() {
  const common::UniqueHandle other(OpenMutexA(SYNCHRONIZE, FALSE, contract::InstanceMutex));
  return static_cast<bool>(other);
}
// False when another start holds it; a mutex that cannot be made at all
// leaves the window check alone in charge.
bool TakeInstance(common::UniqueHandle& mutex) {
  const HANDLE made = CreateMutexA(nullptr, FALSE, contract::InstanceMutex);
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  mutex = common::UniqueHandle(made);
  return !existed;
}

std::string SystemFolder() {
  char path[MAX_PATH] = {};
  const UINT n = GetSystemDirectoryA(path, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}
std::string WindowsFolder() {
  char path[MAX_PATH] = {};
  const UINT n = GetSystemWindowsDirectoryA(path, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

// The folder of the user's own settings file, %APPDATA%\Vorrasin; empty when
// the user's application data folder is unknown or its name does not fit the
// ANSI code page (the profile calls take ANSI paths).
std::string UserSettingsFolder() {
  char path[MAX_PATH] = {};
  if (SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK)
    return {};
  const std::string folder(path);
  if (folder.empty() || folder.find('?') != std::string::npos) return {};
  return folder + (folder.back() == '\\' ? "" : "\\") + contract::UserSettingsFolder;
}

// The window whose handle follows the mode letter, in this program's handle width.
HWND WindowAfterMode(const char* args) {
  return reinterpret_cast<HWND>(
      static_cast<UINT_PTR>(command_line::WindowHandle(args, sizeof(HWND) * CHAR_BIT)));
}

int Preview(const char* args) {
  const HWND pane = WindowAfterMode(args);
  PreviewForm form;
  if (!form.ShowIn(pane)) return 0;
  return forms::Run();
}

int RunScreenSaver(const char* args, const std::string& folder, const music::BgmSettings& bgm) {
  RunForm form(bgm, command_line::RunHidesCursor(args));
  if (!form.Loaded()) return 0;
  form.Start(folder);
  return forms::Run();
}

}  // namespace

int Main(const char* args) {
  if (AnotherStartIsUp()) return 0;
  const command_line::Action action = command_line::ActionFor(args);
  if (action == command_line::Action::Preview) return AnotherRunOrDialogIsUp() ? 0 : Preview(args);

  Win32ProfileStore store;
  const std::string folder =
      install_folder::DataFolder(store, ProgramFolder(), SystemFolder(), WindowsFolder());
  const install_folder::SettingsFiles files =
      install_folder::SettingsFilesFor(store, folder, UserSettingsFolder());
  music::BgmSettings bgm;
  settings::LoadSettings(store, files.ReadFrom, bgm);
  if (!settings::FileExists(store, install_folder::RendererPath(folder))) {
    // Converted from Shift-JIS, so it reads right whatever the system's code page.
    MessageBoxW(nullptr, forms::Widen(RendererMissing).c_str(),
                forms::Widen(contract::ProgramTitle).c_str(), MB_OK);
    return 0;
  }
  common::UniqueHandle instance;
  if ((action == command_line::Action::Run || action == command_line::Action::Configure) &&
      !TakeInstance(instance))
    return 0;
  switch (action) {
    case command_line::Action::Run:
      return RunScreenSaver(args, folder, bgm);
    case command_line::Action::Configure: {
      // The handle of Screen Saver Settings after /c: the dialog's owner, if it
      // names a window other than the desktop.
      HWND owner = WindowAfterMode(args);
      owner =
          IsWindow(owner) && owner != GetDesktopWindow() ? GetAncestor(owner, GA_ROOT) : nullptr;
      music::BgmSettings stored;
      settings::ReadSettings(store, files.ReadFrom, stored);
      dialog::ShowSettingsDialog(
          bgm, stored, LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_VORRASIN)), owner,
          [&](const music::BgmSettings& edited, HWND dialog) {
            if (!files.MakeFirst.empty()) store.MakeFolder(files.MakeFirst);
            if (settings::SaveSettings(store, files.SaveTo, edited)) return true;
            dialog::TellNotSaved(dialog, files.SaveTo);
            return false;
          });
      return 0;
    }
    case command_line::Action::End:
    case command_line::Action::Preview:
      break;
  }
  return 0;
}

}  // namespace shell
