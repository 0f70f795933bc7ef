#include "hack/pixel_format.h"

#include <bit>
#include <cstring>

namespace hack {
namespace {

bool OneRun(std::uint32_t mask) {
  if (mask == 0) return false;
  const std::uint32_t low = mask >> std::countr_zero(mask);
  return (low & (low + 1)) == 0 && std::popcount(mask) <= 16;
}

std::uint32_t Channel(std::uint8_t value, std::uint32_t mask) {
  const std::uint32_t top = (1u << std::popcount(mask)) - 1;
  return ((value * top + 127) / 255) << std::countr_zero(mask);
}

template <typename Pixel>
void ExpandRows(const std::uint8_t* source, std::int64_t sourceStride, int width, int height,
                const PixelTable& table, std::uint8_t* target, std::int64_t targetStride) {
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* in = source + y * sourceStride;
    std::uint8_t* out = target + y * targetStride;
    for (int x = 0; x < width; ++x) {
      const auto p = static_cast<Pixel>(table[in[x]]);
      std::memcpy(out + x * sizeof(Pixel), &p, sizeof(Pixel));
    }
  }
}

}  // namespace

bool MasksUsable(const ChannelMasks& m) {
  return OneRun(m.Red) && OneRun(m.Green) && OneRun(m.Blue) && (m.Red & m.Green) == 0 &&
         (m.Red & m.Blue) == 0 && (m.Green & m.Blue) == 0;
}

PixelTable MakePixelTable(const renderer::ColourTable& colours, const ChannelMasks& masks) {
  PixelTable t{};
  for (std::size_t i = 0; i < t.size(); ++i) {
    const renderer::Colour& c = colours[i];
    t[i] = Channel(c.red, masks.Red) | Channel(c.green, masks.Green) | Channel(c.blue, masks.Blue);
  }
  return t;
}

bool ExpandFrame(const std::uint8_t* source, std::int64_t sourceStride, int width, int height,
                 const PixelTable& table, std::uint8_t* target, std::int64_t targetStride,
                 int bytesPerPixel) {
  if (bytesPerPixel == 4) {
    ExpandRows<std::uint32_t>(source, sourceStride, width, height, table, target, targetStride);
  } else if (bytesPerPixel == 2) {
    ExpandRows<std::uint16_t>(source, sourceStride, width, height, table, target, targetStride);
  } else {
    return false;
  }
  return true;
}

}  // namespace hack
