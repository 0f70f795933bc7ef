// The resampler with AVX2 (256-bit integer vectors). Only reached when
// the processor and the system support AVX2.
#if defined(__i386__) || defined(__x86_64__)

#include "renderer/instruction_sets.h"
RENDERER_COMPILE_FOR(RENDERER_TARGET_AVX2)

#include <immintrin.h>

#include "renderer/kernels_x86.h"

namespace renderer::kernels::avx2 {

void BlendBytesRow(const std::uint8_t* a, const std::uint8_t* b, std::int32_t fy, std::int16_t* out,
                   int n) {
  kernels::BlendBytesRow(a, b, fy, out, n);
}

namespace {

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

}  // namespace

void GatherBytesRow(const std::uint8_t* t, const Columns& cols, std::int16_t* out, int n) {
  const std::int32_t* const idx = cols.Idx;
  const std::uint32_t* const w = cols.W;
  const std::uint8_t* const shuffle = cols.Shuffle;
  const std::uint16_t* const fx = cols.Fx;
  // In-register gather of a block of sixteen (near: Shuffle byte 0 is 0): the
  // texels lie within 16 bytes of a base, and their right neighbours within 16
  // bytes of base + 1.
  auto near = [&](int c) {
    const __m128i ctrl = Load128(shuffle + c);
    const std::uint8_t* p = t + idx[c];
    Weigh16(_mm_shuffle_epi8(Load128(p), ctrl), _mm_shuffle_epi8(Load128(p + 1), ctrl), fx + c,
            out + c);
  };
  auto any = [&](int c) {
    const std::uint8_t mode = shuffle[c];
    if (mode == 0) return near(c);
    if (mode == ShuffleNone) {
      const __m256i words =
          PackWords(GatherBytes8(t, idx + c, w + c), GatherBytes8(t, idx + c + 8, w + c + 8));
      return _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + c), words);
    }
    const __m128i ctrl = Load128(shuffle + c);
    const std::uint8_t* p = t + idx[c];
    const std::uint8_t* q = t + idx[c + 8];
    const __m128i a = _mm_blend_epi16(_mm_shuffle_epi8(Load128(p), ctrl),
                                      _mm_shuffle_epi8(Load128(q), ctrl), 0xF0);
    const __m128i b = _mm_blend_epi16(_mm_shuffle_epi8(Load128(p + 1), ctrl),
                                      _mm_shuffle_epi8(Load128(q + 1), ctrl), 0xF0);
    Weigh16(a, b, fx + c, out + c);
  };
  int c = 0;
  // Two blocks at a time, with one test for the usual case: both near.
  for (; c + 32 <= n; c += 32) {
    if ((shuffle[c] | shuffle[c + 16]) == 0) {
      near(c);
      near(c + 16);
    } else {
      any(c);
      any(c + 16);
    }
  }
  if (c + 16 <= n) any(c), c += 16;
  for (; c < n; ++c) out[c] = GatherBytes(t, idx[c], w[c]);
}

namespace {

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

// The same minus 128, from [-128, 127] (as SumBias is 128 << 16, the high
// half of each sum without its bias), in the order 0 4 1 5 2 6 3 7 within
// each 128-bit half: the high halves of the sums of unpacklo and unpackhi
// interleaved.
inline __m256i CentredRows16(const std::int16_t* a, const std::int16_t* b, __m256i w) {
  const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a));
  const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b));
  return _mm256_blend_epi16(
      _mm256_srli_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(va, vb), w), 16),
      _mm256_madd_epi16(_mm256_unpackhi_epi16(va, vb), w), 0xAA);
}

}  // namespace

void BlendRowsOutRow(const std::int16_t* a, const std::int16_t* b, std::int32_t fy,
                     std::uint8_t* out, int n) {
  const __m256i w = _mm256_set1_epi32((256 - fy) | (fy << 16));
  // Bytes 0 4 1 5 2 6 3 7 back in order within each 8, then the 8s in order.
  const __m256i order = _mm256_setr_epi8(0, 2, 4, 6, 1, 3, 5, 7, 8, 10, 12, 14, 9, 11, 13, 15, 0, 2,
                                         4, 6, 1, 3, 5, 7, 8, 10, 12, 14, 9, 11, 13, 15);
  int c = 0;
  for (; c + 32 <= n; c += 32) {
    const __m256i bytes = _mm256_packs_epi16(CentredRows16(a + c, b + c, w),
                                             CentredRows16(a + c + 16, b + c + 16, w));
    _mm256_storeu_si256(
        reinterpret_cast<__m256i*>(out + c),
        _mm256_xor_si256(_mm256_permute4x64_epi64(_mm256_shuffle_epi8(bytes, order), 0xD8),
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

namespace {

// The value pairs (v[i], v[i + 1]) of eight columns, one by one.
inline __m256i LoadPairs8(const std::int16_t* v, const std::int32_t* idx) {
  return _mm256_set_epi32(Load32(v + idx[7]), Load32(v + idx[6]), Load32(v + idx[5]),
                          Load32(v + idx[4]), Load32(v + idx[3]), Load32(v + idx[2]),
                          Load32(v + idx[1]), Load32(v + idx[0]));
}

// The in-register gather of eight columns reads, into each 128-bit half,
// eight values from an index f and takes bytes 2m to 2m + 3 of them for a
// column with index f + m. One window: both halves from the first column's
// index; two: each half from its own first column's.
template <bool Two>
inline __m256i Offsets8(const std::int32_t* idx) {
  const __m256i i = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(idx));
  // The broadcast straight from memory.
  const __m256i f =
      Two ? _mm256_shuffle_epi32(i, 0)
          : _mm256_castps_si256(_mm256_broadcast_ss(reinterpret_cast<const float*>(idx)));
  return _mm256_sub_epi32(i, f);
}

// Whether all offsets (as unsigned) are at most 6: each pair in its window.
inline bool InWindow(__m256i m) {
  const __m256i six = _mm256_set1_epi32(6);
  return _mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_max_epu32(m, six), six)) == -1;
}

inline __m256i PairPicks(__m256i m) {
  const __m256i spread = _mm256_shuffle_epi8(
      _mm256_add_epi32(m, m), _mm256_setr_epi8(0, 0, 0, 0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12,
                                               0, 0, 0, 0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12));
  return _mm256_add_epi8(spread, _mm256_set1_epi32(0x03020100));
}

inline __m128i Load128(const std::int16_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The window of a group whose halves start at values lo and hi (the same with one window).
template <bool Two>
inline __m256i Window8(const std::int16_t* v, std::int32_t lo, std::int32_t hi) {
  if (!Two) return _mm256_broadcastsi128_si256(Load128(v + lo));
  return _mm256_inserti128_si256(_mm256_castsi128_si256(Load128(v + lo)), Load128(v + hi), 1);
}

template <bool Two>
inline __m256i Window8(const std::int16_t* v, const std::int32_t* idx) {
  return Window8<Two>(v, idx[0], idx[4]);
}

// Thirty-two finished columns from four vectors of weighed pairs s (columns
// 8g to 8g + 7 in s[g]), each sum - SumBias: its high half is the pixel
// minus 128.
inline __m256i Bytes32(__m256i s0, __m256i s1, __m256i s2, __m256i s3) {
  // Words of columns 0 8 1 9 2 10 3 11 | 4 12 5 13 6 14 7 15, and 16 up alike.
  const __m256i a = _mm256_blend_epi16(_mm256_srli_epi32(s0, 16), s1, 0xAA);
  const __m256i b = _mm256_blend_epi16(_mm256_srli_epi32(s2, 16), s3, 0xAA);
  // Bytes 0-3 8-11 16-19 24-27 | 4-7 12-15 20-23 28-31, then in order.
  const __m256i quads =
      _mm256_shuffle_epi8(_mm256_packs_epi16(a, b),
                          _mm256_setr_epi8(0, 2, 4, 6, 1, 3, 5, 7, 8, 10, 12, 14, 9, 11, 13, 15, 0,
                                           2, 4, 6, 1, 3, 5, 7, 8, 10, 12, 14, 9, 11, 13, 15));
  return _mm256_xor_si256(
      _mm256_permutevar8x32_epi32(quads, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7)),
      _mm256_set1_epi8(static_cast<char>(0x80)));
}

// Eight finished columns from one vector of weighed pairs: byte 2 of each
// sum (in every 32 bits of its half) and the halves' first 32 bits together.
inline __m128i Bytes8(__m256i s) {
  const __m256i picked = _mm256_shuffle_epi8(s, _mm256_set1_epi32(0x0E0A0602));
  return _mm_xor_si128(
      _mm_unpacklo_epi32(_mm256_castsi256_si128(picked), _mm256_extracti128_si256(picked, 1)),
      _mm_set1_epi8(static_cast<char>(0x80)));
}

inline bool AllInWindow(const __m256i* m) {
  return InWindow(_mm256_max_epu32(_mm256_max_epu32(m[0], m[1]), _mm256_max_epu32(m[2], m[3])));
}

// A block of 32 columns for every row from the offsets m of its groups of
// eight, of which those in `fits` (bit g for group g) fit their windows; the
// others are loaded one by one.
template <bool Two>
void Block32(const std::int16_t* const* in, std::uint8_t* const* to, int rows, const Columns& cols,
             int c, const __m256i* m, int fits) {
  const std::int32_t* const idx = cols.Idx + c;
  const std::uint32_t* const w = cols.W + c;
  const __m256i p0 = PairPicks(m[0]), p1 = PairPicks(m[1]), p2 = PairPicks(m[2]),
                p3 = PairPicks(m[3]);
  const __m256i w0 = LoadW(w), w1 = LoadW(w + 8), w2 = LoadW(w + 16), w3 = LoadW(w + 24);
  if (fits == 15) {
    // Held here: the stores to the frame could alias the column tables.
    const std::int32_t i0 = idx[0], i1 = idx[4], i2 = idx[8], i3 = idx[12], i4 = idx[16],
                       i5 = idx[20], i6 = idx[24], i7 = idx[28];
    for (int r = 0; r < rows; ++r) {
      const std::int16_t* v = in[r];
      const __m256i s0 = _mm256_madd_epi16(_mm256_shuffle_epi8(Window8<Two>(v, i0, i1), p0), w0);
      const __m256i s1 = _mm256_madd_epi16(_mm256_shuffle_epi8(Window8<Two>(v, i2, i3), p1), w1);
      const __m256i s2 = _mm256_madd_epi16(_mm256_shuffle_epi8(Window8<Two>(v, i4, i5), p2), w2);
      const __m256i s3 = _mm256_madd_epi16(_mm256_shuffle_epi8(Window8<Two>(v, i6, i7), p3), w3);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(to[r] + c), Bytes32(s0, s1, s2, s3));
    }
    return;
  }
  auto pairs = [&](const std::int16_t* v, int g, __m256i picks) {
    const std::int32_t* i = idx + 8 * g;
    return fits >> g & 1 ? _mm256_shuffle_epi8(Window8<Two>(v, i), picks) : LoadPairs8(v, i);
  };
  for (int r = 0; r < rows; ++r) {
    const std::int16_t* v = in[r];
    const __m256i s0 = _mm256_madd_epi16(pairs(v, 0, p0), w0);
    const __m256i s1 = _mm256_madd_epi16(pairs(v, 1, p1), w1);
    const __m256i s2 = _mm256_madd_epi16(pairs(v, 2, p2), w2);
    const __m256i s3 = _mm256_madd_epi16(pairs(v, 3, p3), w3);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(to[r] + c), Bytes32(s0, s1, s2, s3));
  }
}

// Eight columns for every row, by windows where they fit.
void Group8(const std::int16_t* const* in, std::uint8_t* const* to, int rows, const Columns& cols,
            int c) {
  const std::int32_t* const idx = cols.Idx + c;
  const std::uint32_t* const w = cols.W + c;
  const __m256i m = Offsets8<true>(idx);
  const bool fits = InWindow(m);
  const __m256i picks = PairPicks(m);
  for (int r = 0; r < rows; ++r) {
    const __m256i pairs =
        fits ? _mm256_shuffle_epi8(Window8<true>(in[r], idx), picks) : LoadPairs8(in[r], idx);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(to[r] + c),
                     Bytes8(_mm256_madd_epi16(pairs, LoadW(w))));
  }
}

}  // namespace

// Blocks of 32 columns, the picks and weights worked out once for all rows:
// by one window per group of eight while the blocks fit it, else by two.
// Groups that fit neither (where the texture wraps around) are loaded one by
// one.
void GatherOutRows(const std::int16_t* const* v, std::uint8_t* const* out, int rows,
                   const Columns& cols, int n) {
  // Local copies: stores to the frame could otherwise alias them.
  const std::int16_t* in[GatherBatch];
  std::uint8_t* to[GatherBatch];
  for (int r = 0; r < rows; ++r) in[r] = v[r], to[r] = out[r];
  bool one = true;
  int c = 0;
  for (; c + 32 <= n; c += 32) {
    __m256i m[4];
    if (one) {
      for (int g = 0; g < 4; ++g) m[g] = Offsets8<false>(cols.Idx + c + 8 * g);
      if (AllInWindow(m)) {
        Block32<false>(in, to, rows, cols, c, m, 15);
        continue;
      }
    }
    for (int g = 0; g < 4; ++g) m[g] = Offsets8<true>(cols.Idx + c + 8 * g);
    if (AllInWindow(m)) {
      // Too wide for one window: try two from now on.
      one = false;
      Block32<true>(in, to, rows, cols, c, m, 15);
      continue;
    }
    int fits = 0;
    for (int g = 0; g < 4; ++g) fits |= InWindow(m[g]) << g;
    Block32<true>(in, to, rows, cols, c, m, fits);
  }
  for (; c + 8 <= n; c += 8) Group8(in, to, rows, cols, c);
  for (; c < n; ++c)
    for (int r = 0; r < rows; ++r) to[r][c] = GatherOut(in[r], cols.Idx[c], cols.W[c]);
}

void GatherOutRow(const std::int16_t* v, const Columns& cols, std::uint8_t* out, int n) {
  GatherOutRows(&v, &out, 1, cols, n);
}

}  // namespace renderer::kernels::avx2

#endif
