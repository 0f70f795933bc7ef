// The kernels with AVX-512 (F, BW, VL), built with those flags. Only reached
// when the processor has them and the system saves the opmask and ZMM state.
#if defined(__i386__) || defined(__x86_64__)

// GCC 12 warns inside its own AVX-512 headers, whose "undefined" vectors
// initialise themselves.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>

#include "renderer/kernels.h"
#include "renderer/plain_arithmetic.h"

namespace uzoom::kernels {
namespace {

// The texture in 16-bit lanes, 32 points a vector (see NarrowStart).
inline void Step16(__m512i& x, __m512i& y, __m512i& k, __mmask32& active, __m512i cx8,
                   __m512i cy8) {
  const __m512i xx = _mm512_mulhi_epi16(x, x);
  const __m512i yy = _mm512_mulhi_epi16(y, y);
  active = _mm512_mask_cmple_epi16_mask(active, _mm512_add_epi16(xx, yy), _mm512_set1_epi16(2048));
  k = _mm512_mask_sub_epi16(k, active, k, _mm512_set1_epi16(-1));
  const __m512i ax = _mm512_abs_epi16(x);
  const __m512i q8 =
      _mm512_slli_epi16(_mm512_mulhi_epu16(_mm512_add_epi16(ax, ax), _mm512_abs_epi16(y)), 3);
  const __mmask32 negative = _mm512_movepi16_mask(_mm512_xor_si512(x, y));
  y = _mm512_mask_sub_epi16(_mm512_add_epi16(cy8, q8), negative, cy8, q8);
  x = _mm512_add_epi16(_mm512_slli_epi16(_mm512_sub_epi16(xx, yy), 3), cx8);
}

// Thirty-two start values 8x from 32-bit x.
inline __m512i Load8x(const std::int32_t* xs) {
  const __m256i lo = _mm512_cvtepi32_epi16(_mm512_slli_epi32(_mm512_loadu_si512(xs), 3));
  const __m256i hi = _mm512_cvtepi32_epi16(_mm512_slli_epi32(_mm512_loadu_si512(xs + 16), 3));
  return _mm512_inserti64x4(_mm512_castsi256_si512(lo), hi, 1);
}

// Whether all of xs[0, n) lie within the narrow start range.
bool NarrowStarts(const std::int32_t* xs, int n) {
  const __m512i limit = _mm512_set1_epi32(NarrowStart);
  __mmask16 over = 0;
  int c = 0;
  for (; c + 16 <= n; c += 16)
    over |= _mm512_cmpgt_epi32_mask(_mm512_abs_epi32(_mm512_loadu_si512(xs + c)), limit);
  for (; c < n; ++c)
    if (xs[c] > NarrowStart || xs[c] < -NarrowStart) return false;
  return over == 0;
}

// Vectors of 32 points stepped together (a whole texture row), so that one
// waits for its products while another computes; a vector whose points have
// all escaped is skipped. 32-bit x86 has only eight vector registers.
#if defined(__x86_64__)
constexpr int Lanes = 10;
#else
constexpr int Lanes = 1;
#endif

// vals[c] for whole groups of 32 * Lanes points; returns how many it did.
int JuliaRowNarrow(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy,
                   int maxIter, std::uint8_t* vals, int n) {
  const __m512i cx8 = _mm512_set1_epi16(static_cast<short>(8 * cx));
  const __m512i cy8 = _mm512_set1_epi16(static_cast<short>(8 * cy));
  int c = 0;
  for (; c + 32 * Lanes <= n; c += 32 * Lanes) {
    __m512i vx[Lanes], vy[Lanes], vk[Lanes];
    __mmask32 va[Lanes];
    for (int l = 0; l < Lanes; ++l) {
      vx[l] = Load8x(xs + c + 32 * l);
      vy[l] = _mm512_set1_epi16(static_cast<short>(8 * y));
      vk[l] = _mm512_setzero_si512();
      va[l] = 0xFFFFFFFFu;
    }
    for (int it = 0; it < maxIter; ++it) {
      __mmask32 any = 0;
      for (int l = 0; l < Lanes; ++l) {
        if (va[l] != 0) Step16(vx[l], vy[l], vk[l], va[l], cx8, cy8);
        any |= va[l];
      }
      if (any == 0) break;
    }
    for (int l = 0; l < Lanes; ++l) {
      const __m512i steps = _mm512_and_si512(_mm512_slli_epi16(vk[l], 2), _mm512_set1_epi16(255));
      const __m512i value = _mm512_mask_blend_epi16(va[l], steps, _mm512_set1_epi16(255));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(vals + c + 32 * l),
                          _mm512_cvtepi16_epi8(value));
    }
  }
  return c;
}

// The texture in 32-bit lanes, for any parameter: products wrap as in the
// plain version.
inline __m512i Div512(__m512i p) {
  return _mm512_srai_epi32(
      _mm512_add_epi32(p, _mm512_and_si512(_mm512_srai_epi32(p, 31), _mm512_set1_epi32(511))), 9);
}

inline void Step32(__m512i& x, __m512i& y, __m512i& k, __mmask16& active, __m512i cx, __m512i cy) {
  const __m512i xx = _mm512_srli_epi32(_mm512_mullo_epi32(x, x), 10);
  const __m512i yy = _mm512_srli_epi32(_mm512_mullo_epi32(y, y), 10);
  active = _mm512_mask_cmple_epi32_mask(active, _mm512_add_epi32(xx, yy), _mm512_set1_epi32(2048));
  k = _mm512_mask_sub_epi32(k, active, k, _mm512_set1_epi32(-1));
  y = _mm512_add_epi32(Div512(_mm512_mullo_epi32(x, y)), cy);
  x = _mm512_add_epi32(_mm512_sub_epi32(xx, yy), cx);
}

int JuliaRowWide(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy,
                 int maxIter, std::uint8_t* vals, int n) {
  const __m512i vcx = _mm512_set1_epi32(cx), vcy = _mm512_set1_epi32(cy);
  int c = 0;
  for (; c + 16 <= n; c += 16) {
    __m512i vx = _mm512_loadu_si512(xs + c), vy = _mm512_set1_epi32(y);
    __m512i vk = _mm512_setzero_si512();
    __mmask16 va = 0xFFFF;
    for (int it = 0; it < maxIter && va != 0; ++it) Step32(vx, vy, vk, va, vcx, vcy);
    const __m512i steps = _mm512_and_si512(_mm512_slli_epi32(vk, 2), _mm512_set1_epi32(255));
    _mm_storeu_si128(
        reinterpret_cast<__m128i*>(vals + c),
        _mm512_cvtepi32_epi8(_mm512_mask_blend_epi32(va, steps, _mm512_set1_epi32(255))));
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
  const __m512i wa = _mm512_set1_epi16(static_cast<short>(256 - fy));
  const __m512i wb = _mm512_set1_epi16(static_cast<short>(fy));
  const __m512i bias = _mm512_set1_epi16(static_cast<short>(0x8000));
  int c = 0;
  for (; c + 32 <= n; c += 32) {
    const __m512i va =
        _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + c)));
    const __m512i vb =
        _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + c)));
    const __m512i sum = _mm512_add_epi16(_mm512_mullo_epi16(va, wa), _mm512_mullo_epi16(vb, wb));
    _mm512_storeu_si512(out + c, _mm512_xor_si512(sum, bias));
  }
  for (; c < n; ++c) out[c] = BlendBytes(a[c], b[c], fy);
}

// The resampler. A group is 16 columns: their value pairs (v[i], v[i + 1])
// as 32-bit lanes, weighed by one vpmaddwd, give sum - SumBias (sum being
// what the plain version shifts). Pairs come from the group's window of
// PicksWindow values by one single-register permute, or from a general
// gather where the group spans more than the window. A group at the end of a
// row may be short: its tables are read under the mask m.

inline __m512i GatherPairs(const std::int16_t* v, const Columns& cols, int c, __mmask16 m) {
  return _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), m,
                                     _mm512_maskz_loadu_epi32(m, cols.Idx + c), v, 2);
}

inline __m512i WeightsOf(const Columns& cols, int c, __mmask16 m) {
  return _mm512_maskz_loadu_epi32(m, cols.W + c);
}

inline __m512i PicksOf(const Columns& cols, int c, __mmask16 m) {
  return _mm512_maskz_loadu_epi32(m, cols.Picks + 4 * c);
}

// Where the window of the group from c starts; -1: gather.
inline std::int32_t PickFrom(const Columns& cols, int c) {
  return cols.Picks == nullptr ? -1 : cols.PickFrom[c / 16];
}

// Without VBMI the byte picks 2i, 2i + 1, 2i + 2, 2i + 3 become the word
// picks i, i + 1 of a word permute.
inline __m512i PairsByWords(const std::int16_t* window, __m512i picks) {
  const __m512i words = _mm512_srli_epi16(_mm512_and_si512(picks, _mm512_set1_epi16(0xFF)), 1);
  return _mm512_permutexvar_epi16(words, _mm512_loadu_si512(window));
}

inline __m512i SumsByWords(const std::int16_t* v, const Columns& cols, int c, __mmask16 m) {
  const std::int32_t from = PickFrom(cols, c);
  const __m512i pairs =
      from < 0 ? GatherPairs(v, cols, c, m) : PairsByWords(v + from, PicksOf(cols, c, m));
  return _mm512_madd_epi16(pairs, WeightsOf(cols, c, m));
}

// Sixteen finished columns: (sum + SumBias) >> 16.
inline __m128i Bytes16(__m512i s) {
  return _mm512_cvtepi32_epi8(
      _mm512_srli_epi32(_mm512_add_epi32(s, _mm512_set1_epi32(SumBias)), 16));
}

void GatherOutRows(const std::int16_t* const* v, std::uint8_t* const* out, int rows,
                   const Columns& cols, int n) {
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < n; c += 16) {
      const __mmask16 m = static_cast<__mmask16>(n - c >= 16 ? 0xFFFF : (1u << (n - c)) - 1);
      _mm_mask_storeu_epi8(out[r] + c, m, Bytes16(SumsByWords(v[r], cols, c, m)));
    }
}

void GatherOutRow(const std::int16_t* v, const Columns& cols, std::uint8_t* out, int n) {
  GatherOutRows(&v, &out, 1, cols, n);
}

// With VBMI, 64 columns at a time. Byte 2 of a biased sum is the result
// minus 128 (SumBias is 128 << 16): the high words of four groups' sums are
// packed into bytes with saturation that never bites, leaving column
// PackedColumn(k) of the block in byte k.
__attribute__((target("avx512vbmi"))) inline __m512i PackedBytes(__m512i s0, __m512i s1, __m512i s2,
                                                                 __m512i s3) {
  constexpr __mmask32 High = 0xAAAAAAAA;
  const __m512i a = _mm512_mask_blend_epi16(High, _mm512_srli_epi32(s0, 16), s1);
  const __m512i b = _mm512_mask_blend_epi16(High, _mm512_srli_epi32(s2, 16), s3);
  return _mm512_xor_si512(_mm512_packs_epi16(a, b), _mm512_set1_epi8(static_cast<char>(0x80)));
}

// Column k of groups in column order is byte PackedColumn(k) of the pack:
// one byte permute puts them in place.
struct PackOrder {
  alignas(64) std::uint8_t At[64];
};
constexpr PackOrder MakePackOrder() {
  PackOrder o{};
  for (int k = 0; k < 64; ++k) o.At[k] = static_cast<std::uint8_t>(PackedColumn(k));
  return o;
}
constexpr PackOrder PackOrderTable = MakePackOrder();

__attribute__((target("avx512vbmi"))) inline __m512i Pack64(__m512i s0, __m512i s1, __m512i s2,
                                                            __m512i s3, __m512i order) {
  return _mm512_permutexvar_epi8(order, PackedBytes(s0, s1, s2, s3));
}

__attribute__((target("avx512vbmi"))) inline __m512i SumsByBytes(const std::int16_t* v,
                                                                 const Columns& cols, int c,
                                                                 __mmask16 m) {
  const std::int32_t from = PickFrom(cols, c);
  const __m512i pairs =
      from < 0 ? GatherPairs(v, cols, c, m)
               : _mm512_permutexvar_epi8(PicksOf(cols, c, m), _mm512_loadu_si512(v + from));
  return _mm512_madd_epi16(pairs, WeightsOf(cols, c, m));
}

// One block of 64 columns whose four groups all have windows, for `rows`
// rows: weights and picks are read once for all of them, and each of the
// block's Windows windows (1: shared by all groups, 2: by each half, 4: one
// per group) once per row.
template <int Windows, int Rows>
__attribute__((target("avx512vbmi"))) inline void WindowBlock(const std::int16_t* const* in,
                                                              std::uint8_t* const* to, int rows,
                                                              const Columns& cols, int c,
                                                              const std::int32_t* from,
                                                              __m512i order) {
  // With eight vector registers (32-bit x86) weights and picks are read
  // again for every row, straight from memory into the instructions.
  constexpr bool Hoist = sizeof(void*) == 8;
  constexpr int Spread = 4 / Windows;
  __m512i w[4], picks[4];
  if constexpr (Hoist)
    for (int g = 0; g < 4; ++g)
      w[g] = WeightsOf(cols, c + 16 * g, 0xFFFF), picks[g] = PicksOf(cols, c + 16 * g, 0xFFFF);
  const int count = Rows > 0 ? Rows : rows;
  for (int r = 0; r < count; ++r) {
    __m512i s[4], window;
    for (int g = 0; g < 4; ++g) {
      if (g % Spread == 0) window = _mm512_loadu_si512(in[r] + from[g]);
      s[g] = _mm512_madd_epi16(
          _mm512_permutexvar_epi8(Hoist ? picks[g] : PicksOf(cols, c + 16 * g, 0xFFFF), window),
          Hoist ? w[g] : WeightsOf(cols, c + 16 * g, 0xFFFF));
    }
    _mm512_storeu_si512(to[r] + c, Pack64(s[0], s[1], s[2], s[3], order));
  }
}

template <int Windows>
__attribute__((target("avx512vbmi"))) inline void WindowBlockRows(const std::int16_t* const* in,
                                                                  std::uint8_t* const* to, int rows,
                                                                  const Columns& cols, int c,
                                                                  const std::int32_t* from,
                                                                  __m512i order) {
  if (rows == GatherBatch)
    WindowBlock<Windows, GatherBatch>(in, to, rows, cols, c, from, order);
  else
    WindowBlock<Windows, 0>(in, to, rows, cols, c, from, order);
}

// Blocks of 64 columns; a last, shorter block goes group by group under
// masks.
__attribute__((target("avx512vbmi"))) void GatherOutVbmiRows(const std::int16_t* const* v,
                                                             std::uint8_t* const* out, int rows,
                                                             const Columns& cols, int n) {
  const __m512i order = _mm512_load_si512(PackOrderTable.At);
  // Local copies: stores to the frame could otherwise alias them.
  const std::int16_t* in[GatherBatch];
  std::uint8_t* to[GatherBatch];
  for (int r = 0; r < rows; ++r) in[r] = v[r], to[r] = out[r];
  int c = 0;
  for (; c + 64 <= n; c += 64) {
    std::int32_t from[4];
    for (int g = 0; g < 4; ++g) from[g] = PickFrom(cols, c + 16 * g);
    const bool windows = from[0] >= 0 && from[1] >= 0 && from[2] >= 0 && from[3] >= 0;
    const bool halves = windows && from[1] == from[0] && from[3] == from[2];
    if (halves && from[2] == from[0])
      WindowBlockRows<1>(in, to, rows, cols, c, from, order);
    else if (halves)
      WindowBlockRows<2>(in, to, rows, cols, c, from, order);
    else if (windows)
      WindowBlockRows<4>(in, to, rows, cols, c, from, order);
    else
      for (int r = 0; r < rows; ++r) {
        __m512i s[4];
        for (int g = 0; g < 4; ++g) s[g] = SumsByBytes(in[r], cols, c + 16 * g, 0xFFFF);
        _mm512_storeu_si512(to[r] + c, Pack64(s[0], s[1], s[2], s[3], order));
      }
  }
  if (c == n) return;
  const __mmask64 last = (std::uint64_t{1} << (n - c)) - 1;
  for (int r = 0; r < rows; ++r) {
    __m512i s[4];
    for (int g = 0; g < 4; ++g) {
      const int left = n - c - 16 * g;
      s[g] = left <= 0
                 ? _mm512_setzero_si512()
                 : SumsByBytes(in[r], cols, c + 16 * g,
                               static_cast<__mmask16>(left >= 16 ? 0xFFFF : (1u << left) - 1));
    }
    _mm512_mask_storeu_epi8(to[r] + c, last, Pack64(s[0], s[1], s[2], s[3], order));
  }
}

__attribute__((target("avx512vbmi"))) void GatherOutVbmiRow(const std::int16_t* v,
                                                            const Columns& cols, std::uint8_t* out,
                                                            int n) {
  GatherOutVbmiRows(&v, &out, 1, cols, n);
}

// Pair rows. A block's 64 positions are weighed group by group: bytes i
// and i + 1 picked from the window into zero-extended words, or gathered.
__attribute__((target("avx512vbmi"))) void WeighPairRow(const std::uint8_t* t, const PairPlan& plan,
                                                        std::int16_t* pairs, int slot, int n) {
  const __m512i bias = _mm512_set1_epi32(RowBias);
  const __m512i low = _mm512_set1_epi32(0xFF);
  const __mmask32 into = slot == 0 ? 0x55555555 : 0xAAAAAAAA;
  for (int b = 0; b < n; b += 64) {
    const std::int32_t from = plan.From[b / 64];
    const __m512i window = from < 0 ? _mm512_setzero_si512() : _mm512_loadu_si512(t + from);
    for (int k = b; k < b + 64; k += 16) {
      const __m512i picks = _mm512_loadu_si512(plan.Picks + 4 * k);
      __m512i values;
      if (from >= 0) {
        values = _mm512_maskz_permutexvar_epi8(0x5555555555555555ull, picks, window);
      } else {
        const __m512i four = _mm512_i32gather_epi32(picks, t, 1);
        values = _mm512_or_si512(
            _mm512_and_si512(four, low),
            _mm512_slli_epi32(_mm512_and_si512(four, _mm512_slli_epi32(low, 8)), 8));
      }
      const __m512i h =
          _mm512_sub_epi32(_mm512_madd_epi16(values, _mm512_loadu_si512(plan.W + k)), bias);
      _mm512_mask_storeu_epi16(pairs + 2 * k, into, slot == 0 ? h : _mm512_slli_epi32(h, 16));
    }
  }
}

__attribute__((target("avx512vbmi"))) void BlendPairsOut(const std::int16_t* pairs, std::uint32_t w,
                                                         std::uint8_t* out, int n) {
  const __m512i weights = _mm512_set1_epi32(static_cast<int>(w));
  auto sums = [&](int k) { return _mm512_madd_epi16(_mm512_load_si512(pairs + 2 * k), weights); };
  int b = 0;
  for (; b + 64 <= n; b += 64)
    _mm512_storeu_si512(out + b, PackedBytes(sums(b), sums(b + 16), sums(b + 32), sums(b + 48)));
  if (b < n)
    _mm512_mask_storeu_epi8(out + b, (std::uint64_t{1} << (n - b)) - 1,
                            PackedBytes(sums(b), sums(b + 16), sums(b + 32), sums(b + 48)));
}

}  // namespace

// One permute per sixteen columns costs less than blending two gathered
// rows, in both builds: always blend two texture rows and pick along the
// result (the AVX2 row gather and blend stay in the tables for completeness).
constexpr std::int32_t ReuseRowsBelowStep = 0;
// Below a quarter texel per frame row the pair rows win (measured).
constexpr std::int32_t PairRowsBelowStep = 64;

const Kernels& Avx512() {
  static const Kernels table = {
      ReuseRowsBelowStep,  JuliaRow,     BlendBytesRow, Avx2().GatherBytes,
      Avx2().BlendRowsOut, GatherOutRow, GatherOutRows};
  return table;
}

const Kernels& Avx512Vbmi() {
  static const Kernels table = {
      ReuseRowsBelowStep,  JuliaRow,         BlendBytesRow,     Avx2().GatherBytes,
      Avx2().BlendRowsOut, GatherOutVbmiRow, GatherOutVbmiRows, PairRowsBelowStep,
      WeighPairRow,        BlendPairsOut};
  return table;
}

}  // namespace uzoom::kernels

#endif
