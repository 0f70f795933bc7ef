// Pixel values of the colour table on TrueColor visuals of every depth.
#include "renderer/pixel_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(PixelFormat, ColourIndicesBecomePixelValuesOfTheMasks) {
  // Written out with Python from the colour table's telling entries:
  // channel = round(value * (2**bits - 1) / 255) << shift.
  struct Row {
    const char* name;
    hack::ChannelMasks masks;
    std::uint32_t pixels[4];  // of colour indices 0, 63, 127, 255
  };
  const Row rows[] = {
      {"32 xRGB", {0xff0000, 0x00ff00, 0x0000ff}, {0x000540, 0x12614c, 0x449d67, 0xffffbf}},
      {"24 xBGR", {0x0000ff, 0x00ff00, 0xff0000}, {0x400500, 0x4c6112, 0x679d44, 0xbfffff}},
      {"16 RGB565", {0xf800, 0x07e0, 0x001f}, {0x0028, 0x1309, 0x44ed, 0xfff7}},
      {"15 RGB555", {0x7c00, 0x03e0, 0x001f}, {0x0028, 0x0989, 0x226d, 0x7ff7}},
      {"30 RGB10", {0x3ff00000, 0xffc00, 0x3ff}, {0x5101, 0x4861531, 0x1119d99d, 0x3ffffefe}},
  };
  const uzoom::ColourTable colours = uzoom::MakeColourTable();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ASSERT_TRUE(hack::MasksUsable(r.masks));
    const hack::PixelTable t = hack::MakePixelTable(colours, r.masks);
    const int indices[] = {0, 63, 127, 255};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(t[indices[i]], r.pixels[i]) << indices[i];
  }
  // Whole frames at 2 and 4 bytes a pixel are checked on the virtual displays;
  // packed 3-byte pixels are left to the caller.
  const std::uint8_t frame[4] = {1, 2, 3, 0};
  std::vector<std::uint8_t> untouched(16, 0);
  EXPECT_FALSE(hack::ExpandFrame(frame, 4, 3, 1, {}, untouched.data(), 9, 3));
  EXPECT_EQ(untouched, std::vector<std::uint8_t>(16, 0));
}

TEST(PixelFormat, MasksMustBeSeparateRunsOfUpTo16Bits) {
  struct Row {
    hack::ChannelMasks masks;
    bool usable;
  };
  const Row rows[] = {
      {{0xe0, 0x1c, 0x03}, true},          {{0xffff0000, 0xffff, 0x0}, false},
      {{0xff0000, 0xff80, 0xff}, false},   {{0xff0000, 0xf0f0, 0x0f}, false},
      {{0xffff0000, 0xff00, 0xff}, true},  {{0x1ffff, 0x1e0000, 0x1e00000}, false},
      {{0xff0000, 0x01ff00, 0xff}, false}, {{0xff, 0xff00, 0xff}, false},
      {{0x80000000, 0x1, 0x2}, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message()
                 << std::hex << r.masks.Red << " " << r.masks.Green << " " << r.masks.Blue);
    EXPECT_EQ(hack::MasksUsable(r.masks), r.usable);
  }
}

}  // namespace
