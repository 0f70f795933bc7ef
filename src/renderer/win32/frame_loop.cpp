#include "renderer/win32/frame_loop.h"

#include <windows.h>

#include "common/contract.h"
#include "renderer/frame.h"
#include "renderer/win32/display.h"

namespace renderer::win32 {
namespace {

// The system's tick count: milliseconds since Windows started, wrapping after
// 49.7 days, the clock the picture has always followed on Windows.
class TickCountClock : public Clock {
 public:
  std::uint32_t Now() override { return GetTickCount(); }
};

// Everything a run owns: the picture's buffers and path, and the window with
// its DC and colour table. Destroying it takes the window down and gives the
// cursor and the screen saver back.
struct ZoomRun {
  Buffers Picture;
  PathTable Path = MakePathTable();
  Display Screen;
  TickCountClock Time;
};

// Handles the window's pending messages (only its own: the thread's other
// messages stay queued). False once the window was asked to close.
bool PumpMessages(const Display& display) {
  MSG msg;
  while (!display.CloseRequested() && PeekMessageA(&msg, display.Window(), 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return !display.CloseRequested();
}

// Efficiency mode (EcoQoS) where Windows has it: the system may then run the
// drawing on efficient cores at a lower clock. The call is looked up by name,
// since Windows 7 lacks it; a refusal changes nothing.
void AskForEfficiencyMode() {
  using SetInformation = BOOL(WINAPI*)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID, DWORD);
  const auto set = reinterpret_cast<SetInformation>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetProcessInformation")));
  if (set == nullptr) return;
  PROCESS_POWER_THROTTLING_STATE state{};
  state.Version = PROCESS_POWER_THROTTLING_CURRENT_VERSION;
  state.ControlMask = PROCESS_POWER_THROTTLING_EXECUTION_SPEED;
  state.StateMask = PROCESS_POWER_THROTTLING_EXECUTION_SPEED;
  set(GetCurrentProcess(), ProcessPowerThrottling, &state, sizeof state);
}

}  // namespace

// Never SetThreadExecutionState: a screen saver must not keep the display or
// the system awake. Once the power plan turns the display off (or the session
// is locked or away), the loop rests instead.
int RunFrameLoop() {
  // It draws flat out: the user's own background work comes first.
  SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS);
  AskForEfficiencyMode();
  ZoomRun run;  // the Display in it notes the screen-saver flag before any metric
  const std::int32_t width = GetSystemMetrics(SM_CXMAXIMIZED);
  const std::int32_t height = GetSystemMetrics(SM_CYMAXIMIZED) + GetSystemMetrics(SM_CYCAPTION);
  // Nothing is hidden or switched off yet, so a refused size or missing
  // memory simply ends the run.
  if (Allocate(run.Picture, width, height) != AllocResult::Ok) return 0;
  const ColourTable colours = MakeColourTable();
  if (!run.Screen.InitWindow(contract::RendererClass, width, height)) return 0;
  run.Screen.SetPalette(colours.data(), static_cast<int>(colours.size()));
  for (;;) {
    const bool resting = run.Screen.Resting();
    if (resting) {
      // Nobody can see the picture: sleep until a message comes (Escape, a
      // close request, the display or the session back). The next frame then
      // follows the clock, as always.
      WaitMessage();
    } else {
      DrawFrame(run.Picture, run.Path, run.Time);
      run.Screen.ShowFrame(run.Picture.FrameBuffer.data());
    }
    if (!PumpMessages(run.Screen)) break;
    if (!resting) Sleep(0);
  }
  run.Screen.DoneWindow();
  return 0;
}

}  // namespace renderer::win32
