// Colours and small pictures drawn in code: 24-bit colours, rows from the
// top. Pixels equal to Picture::Clear are not drawn (the background shows
// through).
#pragma once

#include <cstdint>
#include <vector>

namespace forms {

struct Rgb {
  std::uint8_t Red, Green, Blue;
  bool operator==(const Rgb&) const = default;
};

struct Picture {
  static constexpr Rgb Clear{255, 0, 255};
  int Width = 0, Height = 0;
  std::vector<Rgb> Pixels;

  Picture() = default;
  Picture(int w, int h, Rgb fill) : Width(w), Height(h), Pixels(std::size_t(w) * h, fill) {}
  Rgb& At(int x, int y) { return Pixels[std::size_t(y) * Width + x]; }
  const Rgb& At(int x, int y) const { return Pixels[std::size_t(y) * Width + x]; }
};

}  // namespace forms
