// The resampler with AVX-512 (F, BW, VL) and VBMI. Only reached when the processor has
// them and the system saves the opmask and ZMM state.
#if defined(__i386__) || defined(__x86_64__)

#include "renderer/instruction_sets.h"
RENDERER_COMPILE_FOR(RENDERER_TARGET_AVX512VBMI)

#include "renderer/kernels_avx512_columns.h"
#include "renderer/kernels_avx512_intrinsics.h"
#include "renderer/kernels_x86.h"

namespace renderer::kernels::avx512vbmi {
namespace {

// With VBMI, 64 columns at a time. Byte 2 of a biased sum is the result
// minus 128 (SumBias is 128 << 16): the high words of four groups' sums are
// packed into bytes with saturation that never bites, leaving column
// PackedColumn(k) of the block in byte k.
inline __m512i PackedBytes(__m512i s0, __m512i s1, __m512i s2, __m512i s3) {
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

inline __m512i Pack64(__m512i s0, __m512i s1, __m512i s2, __m512i s3, __m512i order) {
  return _mm512_permutexvar_epi8(order, PackedBytes(s0, s1, s2, s3));
}

inline __m512i SumsByBytes(const std::int16_t* v, const Columns& cols, int c, __mmask16 m) {
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
inline void WindowBlock(const std::int16_t* const* in, std::uint8_t* const* to, int rows,
                        const Columns& cols, int c, const std::int32_t* from, __m512i order) {
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
inline void WindowBlockRows(const std::int16_t* const* in, std::uint8_t* const* to, int rows,
                            const Columns& cols, int c, const std::int32_t* from, __m512i order) {
  if (rows == GatherBatch)
    WindowBlock<Windows, GatherBatch>(in, to, rows, cols, c, from, order);
  else
    WindowBlock<Windows, 0>(in, to, rows, cols, c, from, order);
}

}  // namespace

// Blocks of 64 columns; a last, shorter block goes group by group under
// masks.
void GatherOutRows(const std::int16_t* const* v, std::uint8_t* const* out, int rows,
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
      s[g] = left <= 0 ? _mm512_setzero_si512()
                       : SumsByBytes(in[r], cols, c + 16 * g, GroupMask(left));
    }
    _mm512_mask_storeu_epi8(to[r] + c, last, Pack64(s[0], s[1], s[2], s[3], order));
  }
}

void GatherOutRow(const std::int16_t* v, const Columns& cols, std::uint8_t* out, int n) {
  GatherOutRows(&v, &out, 1, cols, n);
}

// Pair rows. A block's 64 positions are weighed group by group: bytes i
// and i + 1 picked from the window into zero-extended words, or gathered.
void WeighPairRow(const std::uint8_t* t, const PairPlan& plan, std::int16_t* pairs, int slot,
                  int n) {
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

void BlendPairsOut(const std::int16_t* pairs, std::uint32_t w, std::uint8_t* out, int n) {
  const __m512i weights = _mm512_set1_epi32(static_cast<int>(w));
  auto sums = [&](int k) { return _mm512_madd_epi16(_mm512_load_si512(pairs + 2 * k), weights); };
  int b = 0;
  for (; b + 64 <= n; b += 64)
    _mm512_storeu_si512(out + b, PackedBytes(sums(b), sums(b + 16), sums(b + 32), sums(b + 48)));
  if (b < n)
    _mm512_mask_storeu_epi8(out + b, (std::uint64_t{1} << (n - b)) - 1,
                            PackedBytes(sums(b), sums(b + 16), sums(b + 32), sums(b + 48)));
}

}  // namespace renderer::kernels::avx512vbmi

#endif
