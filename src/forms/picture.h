// A small picture drawn in code: 24-bit colours, rows from the top. Pixels
// equal to Picture::Clear are not drawn (the background shows through).
#pragma once

#include <cstdint>
#include <vector>

namespace forms {

struct Pixel {
  std::uint8_t red, green, blue;
  bool operator==(const Pixel&) const = default;
};

struct Picture {
  static constexpr Pixel Clear{255, 0, 255};
  int width = 0, height = 0;
  std::vector<Pixel> pixels;

  Picture() = default;
  Picture(int w, int h, Pixel fill) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
  Pixel& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
  const Pixel& at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

}  // namespace forms
