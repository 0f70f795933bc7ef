// The texture with AVX2 (256-bit integer vectors). Only reached when
// the processor and the system support AVX2.
#if defined(__i386__) || defined(__x86_64__)

#include "renderer/instruction_sets.h"
RENDERER_COMPILE_FOR(RENDERER_TARGET_AVX2)

#include <immintrin.h>

#include "renderer/kernels_x86.h"

namespace renderer::kernels::avx2 {
namespace {

// Sixteen 32-bit lanes (two vectors) holding 0 to 255 -> sixteen bytes in order.
inline __m128i PackBytes(__m256i lo, __m256i hi) {
  const __m256i words = _mm256_permute4x64_epi64(_mm256_packs_epi32(lo, hi), 0xD8);
  return _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
}

// Lanes vectors of eight points (32-bit lanes) step together: several
// independent chains of multiplies keep the processor busy while each waits
// for its products. (32-bit x86 has only eight vector registers: fewer there.)
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
  // The signs of x and y put back (where either is 0, q8 is 0 already).
  y = _mm256_add_epi16(cy8, _mm256_sign_epi16(_mm256_sign_epi16(q8, x), y));
  x = _mm256_add_epi16(_mm256_slli_epi16(_mm256_sub_epi16(xx, yy), 3), cx8);
}

// Sixteen start values 8x from 32-bit x.
inline __m256i Load8x(const std::int32_t* xs) {
  const __m256i lo = _mm256_slli_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(xs)), 3);
  const __m256i hi =
      _mm256_slli_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(xs + 8)), 3);
  return _mm256_permute4x64_epi64(_mm256_packs_epi32(lo, hi), 0xD8);
}

// One vector of sixteen points in flight: 8x, 8y, the lanes not yet escaped,
// the steps they survived, the steps taken and where the points came from.
struct Points16 {
  __m256i x, y, active, k;
  int steps, c;
};

// The escape values of a vector of points done (see JuliaRowWide's Value).
inline void StoreValues16(const Points16& p, std::uint8_t* vals) {
  const __m256i steps = _mm256_and_si256(_mm256_slli_epi16(p.k, 2), _mm256_set1_epi16(255));
  const __m256i value = _mm256_or_si256(_mm256_and_si256(p.active, _mm256_set1_epi16(255)),
                                        _mm256_andnot_si256(p.active, steps));
  _mm_storeu_si128(
      reinterpret_cast<__m128i*>(vals + p.c),
      _mm_packus_epi16(_mm256_castsi256_si128(value), _mm256_extracti128_si256(value, 1)));
}

// Whole vectors of sixteen points; returns how many points it did. Three
// vectors are stepped in turn, each replaced by the next sixteen points as
// soon as it is done: independent chains of multiplies keep the processor
// busy while each waits for its products, and no chain waits for another's
// points to escape. (Also with the eight vector registers of 32-bit x86,
// where the counts and constants live on the stack.)
int JuliaRowNarrow(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy,
                   int maxIter, std::uint8_t* vals, int n) {
  const __m256i cx8 = _mm256_set1_epi16(static_cast<short>(8 * cx));
  const __m256i cy8 = _mm256_set1_epi16(static_cast<short>(8 * cy));
  const int whole = maxIter > 0 ? n / 16 * 16 : 0;
  int next = 0, live = 0;
  auto start = [&](Points16& p) {
    if (next == whole) {
      p.c = -1;
      return;
    }
    p = {Load8x(xs + next),
         _mm256_set1_epi16(static_cast<short>(8 * y)),
         _mm256_set1_epi16(-1),
         _mm256_setzero_si256(),
         0,
         next};
    next += 16;
    ++live;
  };
  // Steps p; false once it is done (and its values stored): after maxIter
  // steps, or once all its points have escaped, which is looked at every
  // second step (a step more changes no escaped lane).
  auto step = [&](Points16& p) {
    Step16(p.x, p.y, p.active, p.k, cx8, cy8);
    if (++p.steps < maxIter && ((p.steps & 1) || _mm256_movemask_epi8(p.active) != 0)) return true;
    StoreValues16(p, vals);
    --live;
    return false;
  };
  auto advance = [&](Points16& p) {
    if (p.c >= 0 && !step(p)) start(p);
  };
  // Separate variables, not an array: the compiler keeps them in registers.
  Points16 p0{}, p1{}, p2{};
  start(p0), start(p1), start(p2);
  // While there are points to start, every slot is busy.
  while (next < whole) {
    if (!step(p0)) start(p0);
    if (!step(p1)) start(p1);
    if (!step(p2)) start(p2);
  }
  while (live > 0) advance(p0), advance(p1), advance(p2);
  return whole;
}

}  // namespace

void JuliaRow(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy, int maxIter,
              std::uint8_t* vals, int n) {
  JuliaRowOf<JuliaRowNarrow, JuliaRowWide>(xs, y, cx, cy, maxIter, vals, n);
}

}  // namespace renderer::kernels::avx2

#endif
