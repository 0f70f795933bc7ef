// The kernels with SSE2 (128-bit integer vectors). Only reached when the
// processor has SSE2.
#if defined(__i386__) || defined(__x86_64__)

#include "renderer/instruction_sets.h"
RENDERER_COMPILE_FOR(RENDERER_TARGET_SSE2)

#include <emmintrin.h>

#include "renderer/kernels_x86.h"

namespace renderer::kernels::sse2 {
namespace {

int JuliaRowWide(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy,
                 int maxIter, std::uint8_t* vals, int n) {
  const __m128i vcx = _mm_set1_epi32(cx), vcy = _mm_set1_epi32(cy);
  int c = 0;
  for (; c + 8 <= n; c += 8) {
    __m128i x0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(xs + c));
    __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(xs + c + 4));
    __m128i y0 = _mm_set1_epi32(y), y1 = y0;
    __m128i a0 = _mm_set1_epi32(-1), a1 = a0;
    __m128i k0 = _mm_setzero_si128(), k1 = k0;
    for (int it = 0; it < maxIter; ++it) {
      Step(x0, y0, a0, k0, vcx, vcy);
      Step(x1, y1, a1, k1, vcx, vcy);
      if (_mm_movemask_epi8(_mm_or_si128(a0, a1)) == 0) break;
    }
    const __m128i v16 = _mm_packs_epi32(Value(a0, k0), Value(a1, k1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(vals + c), _mm_packus_epi16(v16, v16));
  }
  return c;
}

// The texture in 16-bit lanes, eight points a vector (see NarrowStart).
inline __m128i Abs16(__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); }

inline void Step16(__m128i& x, __m128i& y, __m128i& active, __m128i& k, __m128i cx8, __m128i cy8) {
  const __m128i xx = _mm_mulhi_epi16(x, x);
  const __m128i yy = _mm_mulhi_epi16(y, y);
  active = _mm_andnot_si128(_mm_cmpgt_epi16(_mm_add_epi16(xx, yy), _mm_set1_epi16(2048)), active);
  k = _mm_sub_epi16(k, active);
  const __m128i ax = Abs16(x);
  const __m128i q8 = _mm_slli_epi16(_mm_mulhi_epu16(_mm_add_epi16(ax, ax), Abs16(y)), 3);
  // All ones where x y is negative: q8 changes sign there.
  const __m128i negative = _mm_srai_epi16(_mm_xor_si128(x, y), 15);
  y = _mm_add_epi16(cy8, _mm_sub_epi16(_mm_xor_si128(q8, negative), negative));
  x = _mm_add_epi16(_mm_slli_epi16(_mm_sub_epi16(xx, yy), 3), cx8);
}

// The escape values of eight points in 16-bit lanes (see Value).
inline __m128i Value16(__m128i active, __m128i k) {
  const __m128i steps = _mm_and_si128(_mm_slli_epi16(k, 2), _mm_set1_epi16(255));
  return _mm_or_si128(_mm_and_si128(active, _mm_set1_epi16(255)), _mm_andnot_si128(active, steps));
}

// Whole groups of 16 points; returns how many it did.
int JuliaRowNarrow(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy,
                   int maxIter, std::uint8_t* vals, int n) {
  const __m128i cx8 = _mm_set1_epi16(static_cast<short>(8 * cx));
  const __m128i cy8 = _mm_set1_epi16(static_cast<short>(8 * cy));
  auto load8x = [&](int at) {
    const __m128i lo =
        _mm_slli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(xs + at)), 3);
    const __m128i hi =
        _mm_slli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(xs + at + 4)), 3);
    return _mm_packs_epi32(lo, hi);
  };
  int c = 0;
  for (; c + 16 <= n; c += 16) {
    __m128i x0 = load8x(c), x1 = load8x(c + 8);
    __m128i y0 = _mm_set1_epi16(static_cast<short>(8 * y)), y1 = y0;
    __m128i a0 = _mm_set1_epi16(-1), a1 = a0;
    __m128i k0 = _mm_setzero_si128(), k1 = k0;
    for (int it = 0; it < maxIter; ++it) {
      Step16(x0, y0, a0, k0, cx8, cy8);
      Step16(x1, y1, a1, k1, cx8, cy8);
      if (_mm_movemask_epi8(_mm_or_si128(a0, a1)) == 0) break;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(vals + c),
                     _mm_packus_epi16(Value16(a0, k0), Value16(a1, k1)));
  }
  return c;
}

}  // namespace

void JuliaRow(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy, int maxIter,
              std::uint8_t* vals, int n) {
  JuliaRowOf<JuliaRowNarrow, JuliaRowWide>(xs, y, cx, cy, maxIter, vals, n);
}

void BlendBytesRow(const std::uint8_t* a, const std::uint8_t* b, std::int32_t fy, std::int16_t* out,
                   int n) {
  kernels::BlendBytesRow(a, b, fy, out, n);
}

namespace {

// Four weighted texel pairs: t[i] * w0 + t[i + 1] * w1 - RowBias.
inline __m128i GatherBytes4(const std::uint8_t* t, const std::int32_t* idx,
                            const std::uint32_t* w) {
  const __m128i pairs =
      _mm_set_epi32(Load16(t + idx[3]), Load16(t + idx[2]), Load16(t + idx[1]), Load16(t + idx[0]));
  // (t0 | t1 << 8) -> (t0 | t1 << 16): one texel per 16-bit half.
  const __m128i spread =
      _mm_and_si128(_mm_or_si128(pairs, _mm_slli_epi32(pairs, 8)), _mm_set1_epi32(0x00FF00FF));
  const __m128i sum = _mm_madd_epi16(spread, _mm_loadu_si128(reinterpret_cast<const __m128i*>(w)));
  return _mm_sub_epi32(sum, _mm_set1_epi32(RowBias));
}

}  // namespace

void GatherBytesRow(const std::uint8_t* t, const Columns& cols, std::int16_t* out, int n) {
  const std::int32_t* idx = cols.Idx;
  const std::uint32_t* w = cols.W;
  int c = 0;
  for (; c + 8 <= n; c += 8) {
    const __m128i lo = GatherBytes4(t, idx + c, w + c);
    const __m128i hi = GatherBytes4(t, idx + c + 4, w + c + 4);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + c), _mm_packs_epi32(lo, hi));
  }
  for (; c < n; ++c) out[c] = GatherBytes(t, idx[c], w[c]);
}

namespace {

// (sum + SumBias) >> 16 of pmaddwd results, as 32-bit lanes.
inline __m128i Finish(__m128i sum) {
  return _mm_srli_epi32(_mm_add_epi32(sum, _mm_set1_epi32(SumBias)), 16);
}

}  // namespace

void BlendRowsOutRow(const std::int16_t* a, const std::int16_t* b, std::int32_t fy,
                     std::uint8_t* out, int n) {
  const __m128i w = _mm_set1_epi32((256 - fy) | (fy << 16));
  int c = 0;
  for (; c + 16 <= n; c += 16) {
    __m128i words[2];
    for (int h = 0; h < 2; ++h) {
      const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + c + 8 * h));
      const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + c + 8 * h));
      words[h] = _mm_packs_epi32(Finish(_mm_madd_epi16(_mm_unpacklo_epi16(va, vb), w)),
                                 Finish(_mm_madd_epi16(_mm_unpackhi_epi16(va, vb), w)));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + c), _mm_packus_epi16(words[0], words[1]));
  }
  for (; c < n; ++c) out[c] = BlendRowsOut(a[c], b[c], fy);
}

namespace {

inline __m128i GatherOut4(const std::int16_t* v, const std::int32_t* idx, const std::uint32_t* w) {
  // Each lane: v[i] in the low half, v[i + 1] in the high half.
  const __m128i pairs =
      _mm_set_epi32(Load32(v + idx[3]), Load32(v + idx[2]), Load32(v + idx[1]), Load32(v + idx[0]));
  return Finish(_mm_madd_epi16(pairs, _mm_loadu_si128(reinterpret_cast<const __m128i*>(w))));
}

}  // namespace

void GatherOutRow(const std::int16_t* v, const Columns& cols, std::uint8_t* out, int n) {
  const std::int32_t* idx = cols.Idx;
  const std::uint32_t* w = cols.W;
  int c = 0;
  for (; c + 16 <= n; c += 16) {
    const __m128i p0 =
        _mm_packs_epi32(GatherOut4(v, idx + c, w + c), GatherOut4(v, idx + c + 4, w + c + 4));
    const __m128i p1 = _mm_packs_epi32(GatherOut4(v, idx + c + 8, w + c + 8),
                                       GatherOut4(v, idx + c + 12, w + c + 12));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + c), _mm_packus_epi16(p0, p1));
  }
  for (; c < n; ++c) out[c] = GatherOut(v, idx[c], w[c]);
}

}  // namespace renderer::kernels::sse2

#endif
