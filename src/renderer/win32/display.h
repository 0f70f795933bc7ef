// gdi: the renderer's full-screen window and its 8-bit DIB surface. While the
// window is open the cursor is hidden and the system screen saver is off.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "common/contract.h"
#include "renderer/julia_zoom.h"

namespace gdi {

// Hides the cursor for its lifetime: shows it again exactly once.
class CursorHidden {
 public:
  CursorHidden() { ShowCursor(FALSE); }
  ~CursorHidden() { ShowCursor(TRUE); }
  CursorHidden(const CursorHidden&) = delete;
  CursorHidden& operator=(const CursorHidden&) = delete;
};

// Switches the system screen saver off for its lifetime and then sets it to
// the value held in restore_ (neither change is written to the user profile
// or broadcast).
class ScreenSaverOff {
 public:
  ScreenSaverOff() { SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, 0); }
  ~ScreenSaverOff() { SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, restore_, nullptr, 0); }
  ScreenSaverOff(const ScreenSaverOff&) = delete;
  ScreenSaverOff& operator=(const ScreenSaverOff&) = delete;

 private:
  // The end of a run always switches it on.
  const UINT restore_ = TRUE;
};

// The window, its own DC and the DIB description of the frame. Its window
// procedure finds it through the window's user data, set at WM_NCCREATE.
class Display {
 public:
  Display() = default;
  ~Display() { DoneWindow(); }
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  // Hides the cursor, registers the class, opens and shows the window and
  // switches the system screen saver off. On failure all of it is undone.
  bool InitWindow(const char* className, std::int32_t width, std::int32_t height);
  // Copies up to 256 entries into the surface's colour table.
  bool SetPalette(const uzoom::Colour* colours, int count);
  // Paints the frame at once, through the window procedure.
  bool ShowFrame(const std::uint8_t* frame);
  // Takes the window down, then gives back the screen saver and the cursor.
  // Safe to call more than once.
  void DoneWindow();

  HWND Window() const { return window_; }
  // True once the window was asked to close (Escape, or WM_CLOSE from anyone).
  bool CloseRequested() const { return closeRequested_; }

 private:
  struct BitmapInfo256 {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  std::optional<CursorHidden> cursor_;
  const char* className_ = nullptr;
  std::optional<ScreenSaverOff> screenSaver_;
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  std::int32_t surfaceWidth_ = 0;
  std::int32_t surfaceHeight_ = 0;
  BitmapInfo256 info_{};
  const std::uint8_t* frameBits_ = nullptr;
  bool closeRequested_ = false;
};

}  // namespace gdi
