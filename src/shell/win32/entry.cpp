#include "shell/win32/entry.h"

#include <windows.h>

#include <string>

#include "common/contract.h"
#include "dialog/win32/settings_dialog.h"
#include "forms/win32/form.h"
#include "forms/win32/gdi_objects.h"
#include "shell/command_line.h"
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

// The cursor hidden for a run in mode "S", shown again however the run ends.
class HiddenCursor {
 public:
  explicit HiddenCursor(bool hide) : hidden_(hide) {
    if (hidden_) ShowCursor(FALSE);
  }
  HiddenCursor(const HiddenCursor&) = delete;
  HiddenCursor& operator=(const HiddenCursor&) = delete;
  ~HiddenCursor() {
    if (hidden_) ShowCursor(TRUE);
  }

 private:
  const bool hidden_;
};

bool AnotherStartIsUp() {
  // Both are always asked.
  const HWND run = FindWindowA(nullptr, contract::RunFormCaption);
  const HWND dialog = FindWindowA(nullptr, contract::DialogCaption);
  return run != nullptr || dialog != nullptr;
}

int Preview(const char* args) {
  const auto pane = reinterpret_cast<HWND>(static_cast<INT_PTR>(command_line::PreviewHandle(args)));
  Nimbrel_R form;
  if (!form.ShowIn(pane)) return 0;
  return forms::Run();
}

int RunScreenSaver(const char* args, const std::string& folder, const settings::BgmSettings& bgm) {
  const HiddenCursor cursor(command_line::RunHidesCursor(args));
  Nimbrel_S form(bgm);
  if (!form.Loaded()) return 0;
  form.Form_Load(folder);
  return forms::Run();
}

}  // namespace

int Main(const char* args) {
  if (AnotherStartIsUp()) return 0;
  const command_line::Action action = command_line::ActionFor(args);
  if (action == command_line::Action::Preview) return Preview(args);

  win32_profile::Win32ProfileStore store;
  const std::string folder = win32_profile::ProgramFolder();
  settings::BgmSettings bgm;
  settings::LoadSettings(store, folder, bgm);
  if (!settings::FileExists(store, folder + "\\" + contract::RendererFile)) {
    // Converted from Shift-JIS, so it reads right whatever the system's code page.
    MessageBoxW(nullptr, forms::Widen(RendererMissing).c_str(),
                forms::Widen(contract::ProgramTitle).c_str(), MB_OK);
    return 0;
  }
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
