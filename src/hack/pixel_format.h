// From the frame's 256 colour indices to the pixel values of a TrueColor
// visual, whatever its depth: each 8-bit channel is scaled to the width of
// its mask (rounded to nearest) and shifted into place.
#pragma once

#include <array>
#include <cstdint>

#include "renderer/formulas.h"

namespace hack {

struct ChannelMasks {
  std::uint32_t Red = 0, Green = 0, Blue = 0;
};

using PixelTable = std::array<std::uint32_t, 256>;

// True when each mask is one run of 1 to 16 bits and no two overlap.
bool MasksUsable(const ChannelMasks& masks);

// The pixel value of every colour index; masks must be usable.
PixelTable MakePixelTable(const renderer::ColourTable& colours, const ChannelMasks& masks);

// Writes the pixel value of each index of a width x height frame (rows at
// sourceStride) into rows at targetStride, bytesPerPixel 2 or 4, in the
// host's byte order. False (nothing written) for any other pixel size.
bool ExpandFrame(const std::uint8_t* source, std::int64_t sourceStride, int width, int height,
                 const PixelTable& table, std::uint8_t* target, std::int64_t targetStride,
                 int bytesPerPixel);

}  // namespace hack
