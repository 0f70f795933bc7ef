// zoom: the renderer program. Shipped as Vorrasin.dll beside the shell,
// which starts it without arguments.
#include <windows.h>

#include "renderer/win32/frame_loop.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return renderer::win32::RunFrameLoop(); }
