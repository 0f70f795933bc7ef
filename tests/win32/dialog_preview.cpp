// Shows the settings dialog on its own, printing what it saves.
#include <cstdio>

#include "settings_dialog.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  dialog::Music music{1, 7, "C:\\Music\\song.mp3"};
  dialog::ShowSettingsDialog(
      music,
      [](dialog::Setting s, const std::string& v) {
        std::printf("%d=%s\n", static_cast<int>(s), v.c_str());
        std::fflush(stdout);
      },
      nullptr);
  return 0;
}
