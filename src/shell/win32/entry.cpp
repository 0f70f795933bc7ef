#include "shell/win32/entry.h"

#include <windows.h>

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

namespace Nimbrel_B {
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
  const UniqueHandle other(OpenMutexA(SYNCHRONIZE, FALSE, contract::InstanceMutex));
  return static_cast<bool>(other);
}
// False when another start holds it; a mutex that cannot be made at all
// leaves the window check alone in charge.
bool TakeInstance(UniqueHandle& mutex) {
  const HANDLE made = CreateMutexA(nullptr, FALSE, contract::InstanceMutex);
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  mutex = UniqueHandle(made);
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

int Preview(const char* args) {
  const auto pane = reinterpret_cast<HWND>(static_cast<INT_PTR>(command_line::PreviewHandle(args)));
  Nimbrel_R form;
  if (!form.ShowIn(pane)) return 0;
  return forms::Run();
}

int RunScreenSaver(const char* args, const std::string& folder, const settings::BgmSettings& bgm) {
  Nimbrel_S form(bgm, command_line::RunHidesCursor(args));
  if (!form.Loaded()) return 0;
  form.Form_Load(folder);
  return forms::Run();
}

}  // namespace

int Main(const char* args) {
  if (AnotherStartIsUp()) return 0;
  const command_line::Action action = command_line::ActionFor(args);
  if (action == command_line::Action::Preview) return AnotherRunOrDialogIsUp() ? 0 : Preview(args);

  win32_profile::Win32ProfileStore store;
  const std::string folder = install_folder::DataFolder(store, win32_profile::ProgramFolder(),
                                                        SystemFolder(), WindowsFolder());
  settings::BgmSettings bgm;
  settings::LoadSettings(store, folder, bgm);
  if (!settings::FileExists(store, folder + "\\" + contract::RendererFile)) {
    // Converted from Shift-JIS, so it reads right whatever the system's code page.
    MessageBoxW(nullptr, forms::Widen(RendererMissing).c_str(),
                forms::Widen(contract::ProgramTitle).c_str(), MB_OK);
    return 0;
  }
  UniqueHandle instance;
  if ((action == command_line::Action::Run || action == command_line::Action::Configure) &&
      !TakeInstance(instance))
    return 0;
  switch (action) {
    case command_line::Action::Run:
      return RunScreenSaver(args, folder, bgm);
    case command_line::Action::Configure: {
      // The handle of Screen Saver Settings after /c: the dialog's owner, if it
      // names a window other than the desktop.
      HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(command_line::OwnerHandle(args)));
      owner =
          IsWindow(owner) && owner != GetDesktopWindow() ? GetAncestor(owner, GA_ROOT) : nullptr;
      settings::BgmSettings stored;
      settings::ReadSettings(store, folder, stored);
      dialog::ShowSettingsDialog(
          bgm, stored, LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_VORRASIN)), owner,
          [&](const settings::BgmSettings& edited, HWND dialog) {
            if (settings::SaveSettings(store, folder, edited)) return true;
            dialog::TellNotSaved(dialog, settings::IniPath(folder));
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

}  // namespace Nimbrel_B
