// The bilinear, tiling resampler that maps the texture to the frame, and the
// column plans its vector kernels read.
#pragma once

#include <cstdint>

#include "renderer/buffers.h"
#include "renderer/formulas.h"

namespace renderer {

// The texture's width and height in 1/256 texel.
constexpr std::int32_t Wx = TexWidth * 256;
constexpr std::int32_t Hy = TexHeight * 256;

// Where the frame starts in the texture and how far one pixel steps, in
// 1/256 texel: for the texel (px, py) under the centre of the screen and s
// texture widths across it (held to 0.01 to 100).
struct Geometry {
  std::int32_t x0, y0, dx, dy;
};
Geometry FrameGeometry(const Buffers& b, std::int32_t px, std::int32_t py, double s);

// Below the texture's last image row come copies of rows 0 and 1.
void CopyWrapRows(std::uint8_t* texture);

// Resamples the texture to the frame on the active code path: (px, py) is
// the texel under the centre of the screen, s the number of texture widths
// the screen spans.
void ZoomFrame(Buffers& b, std::int32_t px, std::int32_t py, double s);

// The column plans (see kernels::Columns and kernels::PairPlan), from the
// texel index idx and weight pair of each of `width` columns.
// Shuffle offsets per block of 16 columns.
void PlanShuffles(const std::int32_t* idx, std::uint8_t* shuffle, std::int32_t width);
// Windows and picks per group of 16 columns.
void PlanPicks(const std::int32_t* idx, std::int32_t* from, std::uint8_t* picks,
               std::int32_t width);
// The pair rows' plan, block by block of 64.
void PlanPairs(const std::int32_t* idx, const std::uint32_t* weights, std::int32_t* from,
               std::uint8_t* picks, std::uint32_t* w, std::int32_t width);

}  // namespace renderer
