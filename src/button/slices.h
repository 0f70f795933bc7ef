// The eight border slices of a button face: where each piece of the 64 x 25
// state picture goes on a button of a given size. Lengths in twips.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "forms/twip_rect.h"

namespace button {

struct Slice {
  forms::TwipRect Destination;  // on the button
  forms::TwipRect Source;       // on the 960 x 375 twip picture
};

constexpr int CornerTwips = 60;
constexpr int PictureWidthTwips = 960;
constexpr int PictureHeightTwips = 375;

// Top-left, top, top-right, right, bottom-right, bottom, bottom-left, left.
// A slice whose numbers leave the 16-bit range, or whose destination would
// have no width or height (buttons under 121 twips), is left out.
std::array<std::optional<Slice>, 8> SliceGeometry(std::int32_t widthTwips,
                                                  std::int32_t heightTwips);

// Pixel rectangle of a twip rectangle (at 0 or right and below of it): edges
// at floor(twips / twipsPerPixel).
struct PixelRect {
  int X, Y, Width, Height;
};
PixelRect ToPixels(const forms::TwipRect& r, int twipsPerPixelX, int twipsPerPixelY);

// Top of the caption box: (H - captionHeight - 20) / 2 twips.
std::int32_t CaptionTop(std::int32_t heightTwips, std::int32_t captionHeightTwips);

}  // namespace button
