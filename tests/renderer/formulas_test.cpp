// The colour table and the per-frame formulas against values worked out
// apart from the product (pins.inc).
#include "renderer/formulas.h"

#include <vector>

#include "renderer/support.h"

namespace {

using namespace renderer_test;

TEST(Formulas, ColourTable) {
  std::vector<std::uint8_t> rgb;
  for (const renderer::Colour& c : renderer::MakeColourTable()) {
    rgb.insert(rgb.end(), {c.red, c.green, c.blue});
    EXPECT_EQ(c.reserved, 0);
  }
  EXPECT_EQ(Fnv(rgb.data(), rgb.size()), ColourTableFnv);
}

TEST(Formulas, PerFrameParameters) {
  const renderer::PathTable path = renderer::MakePathTable();
  for (const auto& [t, cx, cy] : JuliaPins) {
    SCOPED_TRACE(t);
    const renderer::JuliaParameter c = renderer::JuliaAt(path, t);
    EXPECT_NEAR(c.cx, cx, 1e-12);
    EXPECT_NEAR(c.cy, cy, 1e-12);
  }
  for (const auto& [ta, tb, px, py] : PanPins) {
    SCOPED_TRACE(::testing::Message() << ta << ", " << tb);
    EXPECT_EQ(renderer::PanX(ta, tb), px);
    EXPECT_EQ(renderer::PanY(ta, tb), py);
  }
  for (const auto& [t, s] : ScalePins) EXPECT_NEAR(renderer::ScaleAt(t), s, 1e-12) << t;
}

}  // namespace
