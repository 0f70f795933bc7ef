// gdi: the renderer's full-screen window and its 8-bit DIB surface. While the
// window exists the cursor is hidden and the system screen saver is off.
#pragma once

#include <cstdint>

#include "common/contract.h"
#include "renderer/julia_zoom.h"

namespace gdi {

// The title by which the shell finds the renderer.
inline constexpr const char* WindowTitle = contract::RendererTitle;

// Hides the cursor, registers the class, opens the window and switches the
// system screen saver off. On failure everything it changed is undone.
bool InitWindow(const char* className, std::int32_t width, std::int32_t height);

// Copies up to 256 entries into the surface's colour table.
bool SetPalette(const uzoom::Colour* colours, int count);

// Paints the frame at once, then handles the window's pending messages. A
// close request ends the process from in here.
bool ShowFrame(const std::uint8_t* frame);

// Takes the window down: cursor shown, system screen saver on again.
void DoneWindow();

}  // namespace gdi
