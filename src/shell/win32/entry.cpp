#include "shell/win32/entry.h"

#include <string>
#include <vector>

#include "dialog/win32/settings_dialog.h"
#include "forms/win32/form.h"
#include "forms/win32/gdi_objects.h"
#include "shell/command_line.h"
#include "shell/run_logic.h"
#include "shell/win32/preview_form.h"
#include "shell/win32/profile_store.h"
#include "shell/win32/resources.h"
#include "shell/win32/run_form.h"

namespace Nimbrel_B {

settings::BgmSettings BgmSettings;

namespace {

constexpr char ProgramTitle[] = "Vorrasin (ScreenSaver)";
// "Vorrasin.dllが同じﾌｫﾙﾀﾞに見つかりません！" in Shift-JIS.
constexpr char RendererMissing[] =
    "Vorrasin.dll\x82\xaa\x93\xaf\x82\xb6\xcc\xab\xd9\xc0\xde\x82\xc9\x8c\xa9\x82\xc2\x82\xa9\x82"
    "\xe8\x82\xdc\x82\xb9\x82\xf1\x81I";

bool AnotherStartIsUp() {
  // Both are always asked.
  const HWND run = FindWindowA(nullptr, Nimbrel_S::Caption);
  const HWND dialog = FindWindowA(nullptr, contract::DialogCaption);
  return run != nullptr || dialog != nullptr;
}

int Preview(const char* args) {
  const auto pane = reinterpret_cast<HWND>(static_cast<INT_PTR>(command_line::PreviewHandle(args)));
  Nimbrel_R form;
  if (!form.ShowIn(pane)) return 0;
  return forms::Run();
}

int RunScreenSaver(const char* args, const std::string& folder) {
  const bool hidesCursor = command_line::RunHidesCursor(args);
  if (hidesCursor) ShowCursor(FALSE);
  Nimbrel_S form(BgmSettings, hidesCursor);
  if (!form.Loaded()) {
    if (hidesCursor) ShowCursor(TRUE);
    return 0;
  }
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
  settings::LoadSettings(store, folder, BgmSettings);
  if (!settings::FileExists(store, folder + "\\" + contract::RendererFile)) {
    // Converted from Shift-JIS, so it reads right whatever the system's code page.
    MessageBoxW(nullptr, forms::Widen(RendererMissing).c_str(), forms::Widen(ProgramTitle).c_str(),
                MB_OK);
    return 0;
  }
  switch (action) {
    case command_line::Action::Run:
      return RunScreenSaver(args, folder);
    case command_line::Action::Configure: {
      const std::string ini = settings::IniPath(folder);
      dialog::ShowSettingsDialog(
          BgmSettings,
          [&](const char* key, const std::string& value) {
            settings::WriteIni(store, settings::Section, key, value, ini);
          },
          LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_VORRASIN)));
      return 0;
    }
    case command_line::Action::End:
    case command_line::Action::Preview:
      break;
  }
  return 0;
}

}  // namespace Nimbrel_B
