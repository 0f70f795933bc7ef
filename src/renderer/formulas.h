// The picture's numbers: the colour table, the Julia parameter's path and the
// per-frame formulas, each a function of one or more clock readings.
#pragma once

#include <array>
#include <cstdint>

namespace renderer {

constexpr int TexWidth = 320;
constexpr int TexHeight = 240;
constexpr int MaxIter = 64;

// One colour entry in DIB colour-table order.
struct Colour {
  std::uint8_t blue, green, red, reserved;
};
using ColourTable = std::array<Colour, 256>;

struct PathPoint {
  double x, y;
};
constexpr int StoredPathPoints = 151;
using PathTable = std::array<PathPoint, 2 * StoredPathPoints>;

// x raised to the power a, in extended precision; exactly 0 for x = 0.
long double PowerOf(long double x, long double a);

ColourTable MakeColourTable();

// The stored path and its mirror image run backwards: a closed loop.
PathTable MakePathTable();

// Floating point to integer: nearest, ties to even.
std::int32_t RoundToInt(long double v);

struct JuliaParameter {
  double cx, cy;
};
JuliaParameter JuliaAt(const PathTable& path, std::uint32_t t);
// Pan centre in texels from two readings each (a, then b).
std::int32_t PanX(std::uint32_t ta, std::uint32_t tb);
std::int32_t PanY(std::uint32_t ta, std::uint32_t tb);
// Number of texture widths the screen spans, from one reading.
double ScaleAt(std::uint32_t t);

}  // namespace renderer
