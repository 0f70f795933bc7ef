// The kernels with AVX2 (256-bit integer vectors, hardware gathers), built
// with -mavx2. Only reached when the processor and the system support AVX2.
#if defined(__i386__) || defined(__x86_64__)

#include <immintrin.h>

#include <cstring>

#include "renderer/kernels.h"
#include "renderer/plain_arithmetic.h"

namespace uzoom::kernels {
namespace {

// Signed division by 512 truncating toward zero.
inline __m256i Div512(__m256i p) {
  return _mm256_srai_epi32(
      _mm256_add_epi32(p, _mm256_and_si256(_mm256_srai_epi32(p, 31), _mm256_set1_epi32(511))), 9);
}

inline void Step(__m256i& x, __m256i& y, __m256i& active, __m256i& k, __m256i cx, __m256i cy) {
  const __m256i xx = _mm256_srli_epi32(_mm256_mullo_epi32(x, x), 10);
  const __m256i yy = _mm256_srli_epi32(_mm256_mullo_epi32(y, y), 10);
  active = _mm256_andnot_si256(
      _mm256_cmpgt_epi32(_mm256_add_epi32(xx, yy), _mm256_set1_epi32(2048)), active);
  k = _mm256_sub_epi32(k, active);
  y = _mm256_add_epi32(Div512(_mm256_mullo_epi32(x, y)), cy);
  x = _mm256_add_epi32(_mm256_sub_epi32(xx, yy), cx);
}

inline __m256i Value(__m256i active, __m256i k) {
  const __m256i steps = _mm256_and_si256(_mm256_slli_epi32(k, 2), _mm256_set1_epi32(255));
  return _mm256_or_si256(_mm256_and_si256(active, _mm256_set1_epi32(255)),
                         _mm256_andnot_si256(active, steps));
}

// Sixteen 32-bit lanes (two vectors) holding 0 to 255 -> sixteen bytes in order.
inline __m128i PackBytes(__m256i lo, __m256i hi) {
  const __m256i words = _mm256_permute4x64_epi64(_mm256_packs_epi32(lo, hi), 0xD8);
  return _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
}

// Lanes vectors of eight points (32-bit lanes), Lanes / 2 of sixteen (16-bit
// lanes) step together: several independent chains
// of multiplies keep the processor busy while each waits for its products;
// a 16-bit vector whose points have all escaped is skipped. (32-bit x86 has
// only eight vector registers: fewer there.)
#if defined(__x86_64__)
constexpr int Lanes = 8;
#else
constexpr int Lanes = 2;
#endif

int JuliaRowWide(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy,
                 int maxIter, std::uint8_t* vals, int n) {
  const __m256i vcx = _mm256_set1_epi32(cx), vcy = _mm256_set1_epi32(cy);
  int c = 0;
  for (; c + 8 * Lanes <= n; c += 8 * Lanes) {
    __m256i vx[Lanes], vy[Lanes], va[Lanes], vk[Lanes];
    for (int l = 0; l < Lanes; ++l) {
      vx[l] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(xs + c + 8 * l));
      vy[l] = _mm256_set1_epi32(y);
      va[l] = _mm256_set1_epi32(-1);
      vk[l] = _mm256_setzero_si256();
    }
    for (int it = 0; it < maxIter; ++it) {
      __m256i any = _mm256_setzero_si256();
      for (int l = 0; l < Lanes; ++l) {
        Step(vx[l], vy[l], va[l], vk[l], vcx, vcy);
        any = _mm256_or_si256(any, va[l]);
      }
      if (_mm256_testz_si256(any, any)) break;
    }
    for (int l = 0; l < Lanes; l += 2)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(vals + c + 8 * l),
                       PackBytes(Value(va[l], vk[l]), Value(va[l + 1], vk[l + 1])));
  }
  return c;
}

// The texture in 16-bit lanes, 16 points a vector (see NarrowStart).
inline void Step16(__m256i& x, __m256i& y, __m256i& active, __m256i& k, __m256i cx8, __m256i cy8) {
  const __m256i xx = _mm256_mulhi_epi16(x, x);
  const __m256i yy = _mm256_mulhi_epi16(y, y);
  active = _mm256_andnot_si256(
      _mm256_cmpgt_epi16(_mm256_add_epi16(xx, yy), _mm256_set1_epi16(2048)), active);
  k = _mm256_sub_epi16(k, active);
  const __m256i ax = _mm256_abs_epi16(x);
  const __m256i q8 =
      _mm256_slli_epi16(_mm256_mulhi_epu16(_mm256_add_epi16(ax, ax), _mm256_abs_epi16(y)), 3);
  // The sign of x y, never zero (a zero would clear q8).
  const __m256i sign = _mm256_or_si256(_mm256_xor_si256(x, y), _mm256_set1_epi16(1));
  y = _mm256_add_epi16(cy8, _mm256_sign_epi16(q8, sign));
  x = _mm256_add_epi16(_mm256_slli_epi16(_mm256_sub_epi16(xx, yy), 3), cx8);
}

// Sixteen start values 8x from 32-bit x.
inline __m256i Load8x(const std::int32_t* xs) {
  const __m256i lo = _mm256_slli_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(xs)), 3);
  const __m256i hi =
      _mm256_slli_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(xs + 8)), 3);
  return _mm256_permute4x64_epi64(_mm256_packs_epi32(lo, hi), 0xD8);
}

bool NarrowStarts(const std::int32_t* xs, int n) {
  const __m256i limit = _mm256_set1_epi32(NarrowStart);
  __m256i over = _mm256_setzero_si256();
  int c = 0;
  for (; c + 8 <= n; c += 8)
    over = _mm256_or_si256(
        over,
        _mm256_cmpgt_epi32(
            _mm256_abs_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(xs + c))), limit));
  for (; c < n; ++c)
    if (xs[c] > NarrowStart || xs[c] < -NarrowStart) return false;
  return _mm256_testz_si256(over, over);
}

// Whole groups of 16 * Lanes points; returns how many it did.
int JuliaRowNarrow(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy,
                   int maxIter, std::uint8_t* vals, int n) {
  const __m256i cx8 = _mm256_set1_epi16(static_cast<short>(8 * cx));
  const __m256i cy8 = _mm256_set1_epi16(static_cast<short>(8 * cy));
  constexpr int Vectors = Lanes / 2;
  int c = 0;
  for (; c + 16 * Vectors <= n; c += 16 * Vectors) {
    __m256i vx[Vectors], vy[Vectors], va[Vectors], vk[Vectors];
    for (int l = 0; l < Vectors; ++l) {
      vx[l] = Load8x(xs + c + 16 * l);
      vy[l] = _mm256_set1_epi16(static_cast<short>(8 * y));
      va[l] = _mm256_set1_epi16(-1);
      vk[l] = _mm256_setzero_si256();
    }
    for (int it = 0; it < maxIter; ++it) {
      __m256i any = _mm256_setzero_si256();
      for (int l = 0; l < Vectors; ++l) {
        if (_mm256_testz_si256(va[l], va[l])) continue;
        Step16(vx[l], vy[l], va[l], vk[l], cx8, cy8);
        any = _mm256_or_si256(any, va[l]);
      }
      if (_mm256_testz_si256(any, any)) break;
    }
    for (int l = 0; l < Vectors; ++l) {
      const __m256i steps = _mm256_and_si256(_mm256_slli_epi16(vk[l], 2), _mm256_set1_epi16(255));
      const __m256i value = _mm256_or_si256(_mm256_and_si256(va[l], _mm256_set1_epi16(255)),
                                            _mm256_andnot_si256(va[l], steps));
      _mm_storeu_si128(
          reinterpret_cast<__m128i*>(vals + c + 16 * l),
          _mm_packus_epi16(_mm256_castsi256_si128(value), _mm256_extracti128_si256(value, 1)));
    }
  }
  return c;
}

void JuliaRow(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy, int maxIter,
              std::uint8_t* vals, int n) {
  const bool narrow = NarrowParameters(cx, cy, y) && NarrowStarts(xs, n);
  int c = narrow ? JuliaRowNarrow(xs, y, cx, cy, maxIter, vals, n) : 0;
  c += JuliaRowWide(xs + c, y, cx, cy, maxIter, vals + c, n - c);
  for (; c < n; ++c) vals[c] = EscapeValue(xs[c], y, cx, cy, maxIter);
}

void BlendBytesRow(const std::uint8_t* a, const std::uint8_t* b, std::int32_t fy, std::int16_t* out,
                   int n) {
  const __m256i wa = _mm256_set1_epi16(static_cast<short>(256 - fy));
  const __m256i wb = _mm256_set1_epi16(static_cast<short>(fy));
  const __m256i bias = _mm256_set1_epi16(static_cast<short>(0x8000));
  int c = 0;
  for (; c + 16 <= n; c += 16) {
    const __m256i va =
        _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + c)));
    const __m256i vb =
        _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b + c)));
    const __m256i sum = _mm256_add_epi16(_mm256_mullo_epi16(va, wa), _mm256_mullo_epi16(vb, wb));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + c), _mm256_xor_si256(sum, bias));
  }
  for (; c < n; ++c) out[c] = BlendBytes(a[c], b[c], fy);
}

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
inline __m256i LoadW(const std::uint32_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Eight weighted texel pairs minus RowBias, as 32-bit lanes.
inline __m256i GatherBytes8(const std::uint8_t* t, const std::int32_t* idx,
                            const std::uint32_t* w) {
  // (t[i] | t[i + 1] << 8) -> (t[i] | t[i + 1] << 16). Scalar loads: the
  // hardware gather is slower than eight of them on some processors.
  const __m256i raw = _mm256_set_epi32(Load16(t + idx[7]), Load16(t + idx[6]), Load16(t + idx[5]),
                                       Load16(t + idx[4]), Load16(t + idx[3]), Load16(t + idx[2]),
                                       Load16(t + idx[1]), Load16(t + idx[0]));
  const __m256i spread = _mm256_and_si256(_mm256_or_si256(raw, _mm256_slli_epi32(raw, 8)),
                                          _mm256_set1_epi32(0x00FF00FF));
  return _mm256_sub_epi32(_mm256_madd_epi16(spread, LoadW(w)), _mm256_set1_epi32(RowBias));
}

// Two vectors of 32-bit lanes in the 16-bit range -> sixteen 16-bit lanes in order.
inline __m256i PackWords(__m256i lo, __m256i hi) {
  return _mm256_permute4x64_epi64(_mm256_packs_epi32(lo, hi), 0xD8);
}

inline __m128i Load128(const std::uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Sixteen columns from sixteen texels and their right neighbours (bytes in
// column order): a * (256 - fx) + b * fx - RowBias, exact in 16-bit lanes.
inline void Weigh16(__m128i a, __m128i b, const std::uint16_t* fx, std::int16_t* out) {
  const __m256i wb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(fx));
  const __m256i wa = _mm256_sub_epi16(_mm256_set1_epi16(256), wb);
  const __m256i sum = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_cvtepu8_epi16(a), wa),
                                       _mm256_mullo_epi16(_mm256_cvtepu8_epi16(b), wb));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                      _mm256_xor_si256(sum, _mm256_set1_epi16(static_cast<short>(0x8000))));
}

void GatherBytesRow(const std::uint8_t* t, const Columns& cols, std::int16_t* out, int n) {
  const std::int32_t* idx = cols.Idx;
  const std::uint32_t* w = cols.W;
  int c = 0;
  for (; c + 16 <= n; c += 16) {
    const std::uint8_t mode = cols.Shuffle[c];
    if (mode == ShuffleNone) {
      const __m256i words =
          PackWords(GatherBytes8(t, idx + c, w + c), GatherBytes8(t, idx + c + 8, w + c + 8));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + c), words);
      continue;
    }
    // In-register gather: the texels lie within 16 bytes of a base, and
    // their right neighbours within 16 bytes of base + 1.
    const __m128i ctrl = Load128(cols.Shuffle + c);
    const std::uint8_t* p = t + idx[c];
    __m128i a = _mm_shuffle_epi8(Load128(p), ctrl);
    __m128i b = _mm_shuffle_epi8(Load128(p + 1), ctrl);
    if (mode == ShuffleHalves) {
      const std::uint8_t* q = t + idx[c + 8];
      a = _mm_blend_epi16(a, _mm_shuffle_epi8(Load128(q), ctrl), 0xF0);
      b = _mm_blend_epi16(b, _mm_shuffle_epi8(Load128(q + 1), ctrl), 0xF0);
    }
    Weigh16(a, b, cols.Fx + c, out + c);
  }
  for (; c < n; ++c) out[c] = GatherBytes(t, idx[c], w[c]);
}

inline __m256i Finish(__m256i sum) {
  return _mm256_srli_epi32(_mm256_add_epi32(sum, _mm256_set1_epi32(SumBias)), 16);
}

// Sixteen frame pixels from two rows of stored values, as 16-bit lanes in
// order (within each 128-bit half, unpacklo takes elements 0-3 and unpackhi
// 4-7, and the pack puts them back in that order).
inline __m256i BlendRows16(const std::int16_t* a, const std::int16_t* b, __m256i w) {
  const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a));
  const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b));
  return _mm256_packs_epi32(Finish(_mm256_madd_epi16(_mm256_unpacklo_epi16(va, vb), w)),
                            Finish(_mm256_madd_epi16(_mm256_unpackhi_epi16(va, vb), w)));
}

// The same minus 128, from [-128, 127]: as SumBias is 128 << 16, the sum
// shifted without its bias. Fewer steps; two signed packs make bytes of them.
inline __m256i CentredRows16(const std::int16_t* a, const std::int16_t* b, __m256i w) {
  const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a));
  const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b));
  return _mm256_packs_epi32(
      _mm256_srai_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(va, vb), w), 16),
      _mm256_srai_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(va, vb), w), 16));
}

void BlendRowsOutRow(const std::int16_t* a, const std::int16_t* b, std::int32_t fy,
                     std::uint8_t* out, int n) {
  const __m256i w = _mm256_set1_epi32((256 - fy) | (fy << 16));
  int c = 0;
  for (; c + 32 <= n; c += 32) {
    const __m256i bytes = _mm256_packs_epi16(CentredRows16(a + c, b + c, w),
                                             CentredRows16(a + c + 16, b + c + 16, w));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + c),
                        _mm256_xor_si256(_mm256_permute4x64_epi64(bytes, 0xD8),
                                         _mm256_set1_epi8(static_cast<char>(0x80))));
  }
  for (; c + 16 <= n; c += 16) {
    const __m256i words = BlendRows16(a + c, b + c, w);
    _mm_storeu_si128(
        reinterpret_cast<__m128i*>(out + c),
        _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1)));
  }
  for (; c < n; ++c) out[c] = BlendRowsOut(a[c], b[c], fy);
}

inline __m256i GatherOut8(const std::int16_t* v, const std::int32_t* idx, const std::uint32_t* w) {
  // Each lane: v[i] in the low half, v[i + 1] in the high.
  const __m256i pairs = _mm256_set_epi32(Load32(v + idx[7]), Load32(v + idx[6]), Load32(v + idx[5]),
                                         Load32(v + idx[4]), Load32(v + idx[3]), Load32(v + idx[2]),
                                         Load32(v + idx[1]), Load32(v + idx[0]));
  return Finish(_mm256_madd_epi16(pairs, LoadW(w)));
}

void GatherOutRow(const std::int16_t* v, const Columns& cols, std::uint8_t* out, int n) {
  const std::int32_t* idx = cols.Idx;
  const std::uint32_t* w = cols.W;
  int c = 0;
  for (; c + 16 <= n; c += 16)
    _mm_storeu_si128(
        reinterpret_cast<__m128i*>(out + c),
        PackBytes(GatherOut8(v, idx + c, w + c), GatherOut8(v, idx + c + 8, w + c + 8)));
  for (; c < n; ++c) out[c] = GatherOut(v, idx[c], w[c]);
}

// With the in-register gather a texture row costs about as much as a blend
// of two rows: always gather whole rows.
constexpr Kernels Table = {1 << 30,        JuliaRow,        BlendBytesRow,
                           GatherBytesRow, BlendRowsOutRow, GatherOutRow};

}  // namespace

const Kernels& Avx2() { return Table; }

}  // namespace uzoom::kernels

#endif
