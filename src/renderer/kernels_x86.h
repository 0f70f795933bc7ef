// What the x86 kernel files share, written once for every vector width:
// 32-bit lanes as GCC vectors over __m128i, __m256i and __m512i alike. Each
// file includes it after its target switch, and all of it has internal
// linkage, so every file gets its own copy built for its instruction set.
#pragma once

#include <cstdint>
#include <cstring>

#include "renderer/kernels.h"
#include "renderer/plain_arithmetic.h"

namespace renderer::kernels {
namespace {

// The 32-bit lanes of a vector of `Bytes` bytes, signed and unsigned.
template <int Bytes>
struct Lanes;
template <>
struct Lanes<16> {
  typedef std::int32_t S __attribute__((vector_size(16)));
  typedef std::uint32_t U __attribute__((vector_size(16)));
};
template <>
struct Lanes<32> {
  typedef std::int32_t S __attribute__((vector_size(32)));
  typedef std::uint32_t U __attribute__((vector_size(32)));
};
template <>
struct Lanes<64> {
  typedef std::int32_t S __attribute__((vector_size(64)));
  typedef std::uint32_t U __attribute__((vector_size(64)));
};

// Signed division by 512 truncating toward zero: negative values are moved
// up by 511 before the arithmetic shift.
template <class V>
inline V Div512(V p) {
  using S = typename Lanes<sizeof(V)>::S;
  const S s = (S)p;
  return (V)((s + ((s >> 31) & 511)) >> 9);
}

// One step for a vector of points in 32-bit lanes, as EscapeValue does it
// (products wrap, the shift is logical); `active` loses the lanes that
// escape, `k` counts the steps each lane survived.
template <class V>
inline void Step(V& x, V& y, V& active, V& k, V cx, V cy) {
  using S = typename Lanes<sizeof(V)>::S;
  using U = typename Lanes<sizeof(V)>::U;
  const U ux = (U)x, uy = (U)y;
  const S xx = (S)(ux * ux >> 10), yy = (S)(uy * uy >> 10);
  const S a = (S)active & ~(S)(xx + yy > 2048);
  active = (V)a;
  k = (V)((U)k - (U)a);
  y = (V)((U)Div512((V)(ux * uy)) + (U)cy);
  x = (V)((U)xx - (U)yy + (U)cx);
}

// The escape values of a vector of points done: 255 where still active,
// else 4k mod 256.
template <class V>
inline V Value(V active, V k) {
  using S = typename Lanes<sizeof(V)>::S;
  const S a = (S)active;
  return (V)((a & 255) | (~a & (((S)k << 2) & 255)));
}

// Whether all of xs[0, n) lie within the narrow start range: the largest of
// x + NarrowStart, taken unsigned, at most twice NarrowStart. Looks at all of
// them, which lets the compiler vectorise it.
inline bool NarrowStarts(const std::int32_t* xs, int n) {
  std::uint32_t widest = 0;
  for (int c = 0; c < n; ++c) {
    const std::uint32_t shifted = static_cast<std::uint32_t>(xs[c]) + NarrowStart;
    widest = shifted > widest ? shifted : widest;
  }
  return widest <= 2u * NarrowStart;
}

// A texture row from a loop in 16-bit lanes (where the parameters and start
// values allow them, see NarrowStart) and one in 32-bit lanes, each doing
// whole vectors and returning how many points it did; the plain arithmetic
// does the rest.
using RowLoop = int (*)(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy,
                        int maxIter, std::uint8_t* vals, int n);
template <RowLoop Narrow, RowLoop Wide>
void JuliaRowOf(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy,
                int maxIter, std::uint8_t* vals, int n) {
  const bool narrow = NarrowParameters(cx, cy, y) && NarrowStarts(xs, n);
  int c = narrow ? Narrow(xs, y, cx, cy, maxIter, vals, n) : 0;
  c += Wide(xs + c, y, cx, cy, maxIter, vals + c, n - c);
  for (; c < n; ++c) vals[c] = EscapeValue(xs[c], y, cx, cy, maxIter);
}

// out[c] := a[c] * (256 - fy) + b[c] * fy - RowBias: the products and sums
// stay below 65536, so the compiler's 16-bit lanes hold them exactly.
inline void BlendBytesRow(const std::uint8_t* a, const std::uint8_t* b, std::int32_t fy,
                          std::int16_t* out, int n) {
  for (int c = 0; c < n; ++c) out[c] = BlendBytes(a[c], b[c], fy);
}

// Two neighbouring texels, and two neighbouring stored values, as one
// unaligned load.
inline std::int32_t Load16(const std::uint8_t* p) {
  std::uint16_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
inline std::int32_t Load32(const std::int16_t* p) {
  std::int32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

}  // namespace
}  // namespace renderer::kernels
