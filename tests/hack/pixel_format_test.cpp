// Pixel values of the colour table on TrueColor visuals of every depth.
#include "hack/pixel_format.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

TEST(PixelFormat, ColourIndicesBecomePixelValuesOfTheMasks) {
  // Written out with Python from the colour table's telling entries:
  // channel = round(value * (2**bits - 1) / 255) << shift.
  struct Row {
    const char* name;
    hack::ChannelMasks masks;
    std::uint32_t pixels[4];  // of colour indices 63, 127, 191, 255
  };
  const Row rows[] = {
      {"32 xRGB", {0xff0000, 0x00ff00, 0x0000ff}, {0x12614c, 0x449d67, 0x94d08e, 0xffffbf}},
      {"24 xBGR", {0x0000ff, 0x00ff00, 0xff0000}, {0x4c6112, 0x679d44, 0x8ed094, 0xbfffff}},
      {"16 RGB565", {0xf800, 0x07e0, 0x001f}, {0x1309, 0x44ed, 0x9671, 0xfff7}},
      {"15 RGB555", {0x7c00, 0x03e0, 0x001f}, {0x0989, 0x226d, 0x4b31, 0x7ff7}},
      {"30 RGB10", {0x3ff00000, 0xffc00, 0x3ff}, {0x4861531, 0x1119d99d, 0x252d0a3a, 0x3ffffefe}},
  };
  const renderer::ColourTable colours = renderer::MakeColourTable();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ASSERT_TRUE(hack::MasksUsable(r.masks));
    const hack::PixelTable t = hack::MakePixelTable(colours, r.masks);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(t[64 * i + 63], r.pixels[i]) << 64 * i + 63;
  }
  // Indices 255 and 0 (xRGB 0xffffbf, 0x000540) at 2 and 4 bytes a pixel, low byte first (whole
  // frames: see the virtual displays); packed 3-byte pixels are left to the caller.
  const std::uint8_t frame[2] = {255, 0};
  const hack::PixelTable t = hack::MakePixelTable(colours, rows[0].masks);
  for (int bytes = 2; bytes <= 4; ++bytes) {
    std::vector<std::uint8_t> out(8, 0);
    EXPECT_EQ(hack::ExpandFrame(frame, 2, 2, 1, t, out.data(), 8, bytes), bytes != 3) << bytes;
    EXPECT_EQ(out[0] | out[bytes] << 8, bytes == 3 ? 0 : 0x40bf) << bytes;
  }
}

TEST(PixelFormat, MasksMustBeSeparateRunsOfUpTo16Bits) {
  const std::pair<hack::ChannelMasks, bool> rows[] = {
      {{0xe0, 0x1c, 0x03}, true},          {{0xffff0000, 0xffff, 0x0}, false},
      {{0xff0000, 0xff80, 0xff}, false},   {{0xff0000, 0xf0f0, 0x0f}, false},
      {{0xffff0000, 0xff00, 0xff}, true},  {{0x1ffff, 0x1e0000, 0x1e00000}, false},
      {{0xff0000, 0x01ff00, 0xff}, false}, {{0xff, 0xff00, 0xff}, false},
      {{0x80000000, 0x1, 0x2}, true},
  };
  for (const auto& [m, usable] : rows)
    EXPECT_EQ(hack::MasksUsable(m), usable) << std::hex << m.Red << " " << m.Green << " " << m.Blue;
}

}  // namespace
