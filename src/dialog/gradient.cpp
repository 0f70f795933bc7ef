#include "dialog/gradient.h"

#include <cmath>

namespace dialog {

int ArchLevel(double y, double heightUnits) {
  const double d = heightUnits / 3.142;
  return static_cast<int>(std::nearbyint(std::fabs(220 * std::sin(y / d))));
}

forms::Rgb LineColour(Surface s, double y, double heightUnits) {
  const auto c = static_cast<std::uint8_t>(ArchLevel(y, heightUnits));
  const auto lifted = static_cast<std::uint8_t>(c + 30);
  if (s == Surface::Dialog) return {c, c, lifted};
  return {lifted, lifted, lifted};
}

std::vector<forms::Rgb> GradientRows(Surface s, int heightUnits, int rows, double twipsPerPixel) {
  std::vector<forms::Rgb> out;
  if (heightUnits <= 0 || rows <= 0 || twipsPerPixel <= 0) return out;
  out.assign(static_cast<std::size_t>(rows), LineColour(s, 0, heightUnits));
  std::vector<bool> reached(out.size(), false);
  for (int y = 0; y <= heightUnits; ++y) {
    const auto row = static_cast<long>(std::floor(y / twipsPerPixel));
    if (row >= rows) break;
    out[static_cast<std::size_t>(row)] = LineColour(s, y, heightUnits);
    reached[static_cast<std::size_t>(row)] = true;
  }
  for (std::size_t r = 1; r < out.size(); ++r)
    if (!reached[r]) out[r] = out[r - 1];
  return out;
}

}  // namespace dialog
