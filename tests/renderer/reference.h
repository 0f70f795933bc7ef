// A plainly written version of the renderer's picture, for comparison: every
// pixel is computed on its own, with no running cursors and no wrap rows.
#pragma once

#include <cstdint>
#include <vector>

namespace reference {

// 320 x 240 image, rows packed.
std::vector<std::uint8_t> Texture(double cx, double cy, int maxIter);

// width x height frame, rows packed (no stride padding).
std::vector<std::uint8_t> Frame(const std::vector<std::uint8_t>& texture, int width, int height,
                                int px, int py, double s);

// The whole frame at one clock value, every clock reading returning t.
std::vector<std::uint8_t> FrameAt(std::uint32_t t, int width, int height);

}  // namespace reference
