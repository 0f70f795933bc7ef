// Pixel values of the colour table on TrueColor visuals of every depth.
#include "renderer/pixel_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using hack::ChannelMasks;

TEST(PixelFormat, ColourIndicesBecomePixelValuesOfTheMasks) {
  // Written out with Python from the colour table's telling entries:
  // channel = round(value * (2**bits - 1) / 255) << shift.
  struct Row {
    const char* name;
    ChannelMasks masks;
    std::uint32_t index0, index63, index127, index255;
  };
  const Row rows[] = {
      {"32 xRGB", {0xff0000, 0x00ff00, 0x0000ff}, 0x000540, 0x12614c, 0x449d67, 0xffffbf},
      {"24 xBGR", {0x0000ff, 0x00ff00, 0xff0000}, 0x400500, 0x4c6112, 0x679d44, 0xbfffff},
      {"16 RGB565", {0xf800, 0x07e0, 0x001f}, 0x0028, 0x1309, 0x44ed, 0xfff7},
      {"15 RGB555", {0x7c00, 0x03e0, 0x001f}, 0x0028, 0x0989, 0x226d, 0x7ff7},
      {"30 RGB10", {0x3ff00000, 0x000ffc00, 0x000003ff}, 0x5101, 0x4861531, 0x1119d99d, 0x3ffffefe},
  };
  const uzoom::ColourTable colours = uzoom::MakeColourTable();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ASSERT_TRUE(hack::MasksUsable(r.masks));
    const hack::PixelTable t = hack::MakePixelTable(colours, r.masks);
    EXPECT_EQ(t[0], r.index0);
    EXPECT_EQ(t[63], r.index63);
    EXPECT_EQ(t[127], r.index127);
    EXPECT_EQ(t[255], r.index255);
  }
}

TEST(PixelFormat, MasksMustBeSeparateRunsOfUpTo16Bits) {
  struct Row {
    ChannelMasks masks;
    bool usable;
  };
  const Row rows[] = {
      {{0xe0, 0x1c, 0x03}, true},          {{0xffff0000, 0xffff, 0x0}, false},
      {{0xff0000, 0xff0f, 0xff}, false},   {{0xff0000, 0xf0f0, 0x0f}, false},
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

TEST(PixelFormat, FramesExpandRowByRowAtBothStrides) {
  // Two rows of three indices at a source stride of 4; pixels little-endian.
  const std::uint8_t frame[] = {1, 2, 3, 99, 3, 0, 1, 99};
  hack::PixelTable table{};
  table[0] = 0x11223344, table[1] = 0x55667788, table[2] = 0x99aabbcc, table[3] = 0xddeeff00;
  struct Row {
    int bytes;
    std::vector<std::uint8_t> expected;  // rows of 3 pixels at a stride of 3 * bytes + 1
  };
  const Row rows[] = {
      {2, {0x88, 0x77, 0xcc, 0xbb, 0x00, 0xff, 0xee, 0x00, 0xff, 0x44, 0x33, 0x88, 0x77, 0xee}},
      {4, {0x88, 0x77, 0x66, 0x55, 0xcc, 0xbb, 0xaa, 0x99, 0x00, 0xff, 0xee, 0xdd, 0xee,
           0x00, 0xff, 0xee, 0xdd, 0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55, 0xee}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.bytes);
    std::vector<std::uint8_t> out(r.expected.size(), 0xee);
    ASSERT_TRUE(hack::ExpandFrame(frame, 4, 3, 2, table, out.data(), 3 * r.bytes + 1, r.bytes));
    EXPECT_EQ(out, r.expected);
  }
  // Packed 24-bit pixels are left to the caller.
  std::vector<std::uint8_t> untouched(32, 0);
  EXPECT_FALSE(hack::ExpandFrame(frame, 4, 3, 2, table, untouched.data(), 9, 3));
  EXPECT_EQ(untouched, std::vector<std::uint8_t>(32, 0));
}

}  // namespace
