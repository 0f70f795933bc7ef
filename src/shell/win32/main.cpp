// Vorrasin: the screen-saver shell, started by Windows with /s, /p HWND or
// /c (shipped as Vorrasin.scr, beside the renderer Vorrasin.dll).
#include <windows.h>

#include "shell/win32/entry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR args, int) {
  return shell::Main(args != nullptr ? args : "");
}
