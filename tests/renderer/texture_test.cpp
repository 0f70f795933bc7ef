// The texture on every code path this processor has: the pinned textures,
// and the very bytes of the plain version for any iteration limit and
// parameter.
#include "renderer/texture.h"

#include <vector>

#include "renderer/formulas.h"
#include "renderer/plain.h"
#include "renderer/support.h"

namespace {

using namespace renderer_test;
constexpr int Size = renderer::TexWidth * renderer::TexHeight;

TEST(Texture, PinnedAndSameBytesAsThePlainVersion) {
  // Far parameters make the products wrap around 32 bits.
  const double params[][2] = {{-0.75, 0.1}, {0.0, 0.0},     {0.28, -0.01},
                              {2.5, -3.0},  {1000.0, -7e5}, {-1.9e6, 1.9e6}};
  OnEveryPath([&] {
    std::vector<std::uint8_t> fast(Size), plain(Size);
    auto render = [&](double cx, double cy, int maxIter) {
      SCOPED_TRACE(::testing::Message() << cx << ", " << cy << " maxIter " << maxIter);
      renderer::RenderJulia(fast.data(), cx, cy, maxIter);
      renderer::plain::RenderJulia(plain.data(), cx, cy, maxIter);
      EXPECT_EQ(fast, plain);
      return Fnv(fast.data(), fast.size());
    };
    for (const auto& [cx, cy, maxIter, fnv] : TexturePins) EXPECT_EQ(render(cx, cy, maxIter), fnv);
    for (const auto& c : params)
      for (int maxIter : {-3, 0, 1, 2, 7, 64, 300}) render(c[0], c[1], maxIter);
  });
}

}  // namespace
