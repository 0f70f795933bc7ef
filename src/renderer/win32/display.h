// The renderer's full-screen window and its 8-bit DIB surface. While the
// window is open the cursor is hidden, the system screen saver is off and
// every other part of the screens is black.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "common/contract.h"
#include "common/win32/hidden_cursor.h"
#include "renderer/audience.h"
#include "renderer/formulas.h"

namespace renderer::win32 {

// Switches the system screen saver off for its lifetime and then sets it to
// the value held in restore_ (neither change is written to the user profile
// or broadcast).
class ScreenSaverOff {
 public:
  explicit ScreenSaverOff(UINT restore) : restore_(restore) {
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, 0);
  }
  ~ScreenSaverOff() { SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, restore_, nullptr, 0); }
  ScreenSaverOff(const ScreenSaverOff&) = delete;
  ScreenSaverOff& operator=(const ScreenSaverOff&) = delete;

  // The flag as it is now; on if it cannot be read.
  static UINT Found() {
    BOOL active = TRUE;
    if (!SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0)) return TRUE;
    return active ? TRUE : FALSE;
  }

 private:
  // The flag as the run found it.
  const UINT restore_;
};

// The window's subscriptions to what tells whether anyone can see it: the
// display's power state (two settings, whichever the system delivers) and the
// session's changes. Ended before the window goes.
class SeenNotifications {
 public:
  explicit SeenNotifications(HWND window);
  ~SeenNotifications();
  SeenNotifications(const SeenNotifications&) = delete;
  SeenNotifications& operator=(const SeenNotifications&) = delete;

 private:
  HWND window_;
  bool session_;
  HPOWERNOTIFY console_, sessionDisplay_;
};

// The window, its own DC and the DIB description of the frame. Its window
// procedure finds it through the window's user data, set at WM_NCCREATE.
class Display {
 public:
  Display() = default;
  ~Display() { DoneWindow(); }
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  // Hides the cursor, registers the class, opens and shows the window (topmost,
  // no taskbar button) in the foreground, blacks out the rest of the screens
  // and switches the system screen saver off. On failure all of it is undone.
  bool InitWindow(const char* className, std::int32_t width, std::int32_t height);
  // Copies up to 256 entries into the surface's colour table.
  bool SetPalette(const renderer::Colour* colours, int count);
  // Paints the frame at once, through the window procedure.
  bool ShowFrame(const std::uint8_t* frame);
  // Takes the window and the black covers down, then gives back the screen
  // saver and the cursor. Safe to call more than once.
  void DoneWindow();

  HWND Window() const { return window_; }
  // True once the window was asked to close (Escape, or WM_CLOSE from anyone).
  bool CloseRequested() const { return closeRequested_; }
  // True while nobody can see the picture (display off, session locked or
  // away): no frame is drawn then.
  bool Resting() const { return !audience_.CanSee(); }

 private:
  struct BitmapInfo256 {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Black windows, owned by the window, over every part of the monitors it
  // does not reach. A cover that cannot be made is left out.
  void CoverTheRest();

  // Read when the Display is made, before any system metric: under Wine the
  // first metrics call loads the parameters as stored in the profile, so a
  // later read would miss a change made for this session only.
  const UINT saverFound_ = ScreenSaverOff::Found();
  std::optional<common::HiddenCursor> cursor_;
  const char* className_ = nullptr;
  bool coverClass_ = false;
  std::vector<HWND> covers_;
  std::optional<ScreenSaverOff> screenSaver_;
  std::optional<SeenNotifications> notifications_;
  renderer::Audience audience_;
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  std::int32_t surfaceWidth_ = 0;
  std::int32_t surfaceHeight_ = 0;
  BitmapInfo256 info_{};
  const std::uint8_t* frameBits_ = nullptr;
  bool closeRequested_ = false;
};

}  // namespace renderer::win32
