// A small picture drawn in code: 24-bit colours, rows from the top. Pixels
// equal to Picture::Clear are not drawn (the background shows through).
#pragma once

#include <cstdint>
#include <vector>

namespace forms {

struct Pixel {
  std::uint8_t Red, Green, Blue;
  bool operator==(const Pixel&) const = default;
};

struct Picture {
  static constexpr Pixel Clear{255, 0, 255};
  int Width = 0, Height = 0;
  std::vector<Pixel> Pixels;

  Picture() = default;
  Picture(int w, int h, Pixel fill) : Width(w), Height(h), Pixels(std::size_t(w) * h, fill) {}
  Pixel& At(int x, int y) { return Pixels[std::size_t(y) * Width + x]; }
  const Pixel& At(int x, int y) const { return Pixels[std::size_t(y) * Width + x]; }
};

}  // namespace forms
