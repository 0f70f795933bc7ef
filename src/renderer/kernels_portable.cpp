// The kernels in plain C++: the fallback for processors without a vector
// table, and the model the vector tables are checked against.
#include "renderer/kernels.h"
#include "renderer/plain_arithmetic.h"

namespace renderer::kernels {
namespace portable {

void JuliaRow(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy, int maxIter,
              std::uint8_t* vals, int n) {
  for (int c = 0; c < n; ++c) vals[c] = EscapeValue(xs[c], y, cx, cy, maxIter);
}

void BlendBytesRow(const std::uint8_t* a, const std::uint8_t* b, std::int32_t fy, std::int16_t* out,
                   int n) {
  for (int c = 0; c < n; ++c) out[c] = BlendBytes(a[c], b[c], fy);
}

void GatherBytesRow(const std::uint8_t* t, const Columns& cols, std::int16_t* out, int n) {
  const std::int32_t* idx = cols.Idx;
  const std::uint32_t* w = cols.W;
  for (int c = 0; c < n; ++c) out[c] = GatherBytes(t, idx[c], w[c]);
}

void BlendRowsOutRow(const std::int16_t* a, const std::int16_t* b, std::int32_t fy,
                     std::uint8_t* out, int n) {
  for (int c = 0; c < n; ++c) out[c] = BlendRowsOut(a[c], b[c], fy);
}

void GatherOutRow(const std::int16_t* v, const Columns& cols, std::uint8_t* out, int n) {
  const std::int32_t* idx = cols.Idx;
  const std::uint32_t* w = cols.W;
  for (int c = 0; c < n; ++c) out[c] = GatherOut(v, idx[c], w[c]);
}

}  // namespace portable

bool NarrowParameters(std::int32_t cx, std::int32_t cy, std::int32_t y) {
  return cx >= -NarrowCx && cx <= NarrowCx && cy >= -NarrowCy && cy <= NarrowCy &&
         y >= -NarrowStart && y <= NarrowStart;
}

}  // namespace renderer::kernels
