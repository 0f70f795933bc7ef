// The resampler with AVX-512 (F, BW, VL). Only reached when the processor has
// them and the system saves the opmask and ZMM state.
#if defined(__i386__) || defined(__x86_64__)

#include "renderer/instruction_sets.h"
RENDERER_COMPILE_FOR(RENDERER_TARGET_AVX512)

#include "renderer/kernels_avx512_columns.h"
#include "renderer/kernels_avx512_intrinsics.h"
#include "renderer/kernels_x86.h"

namespace renderer::kernels::avx512 {

void BlendBytesRow(const std::uint8_t* a, const std::uint8_t* b, std::int32_t fy, std::int16_t* out,
                   int n) {
  kernels::BlendBytesRow(a, b, fy, out, n);
}

namespace {

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

}  // namespace

void GatherOutRows(const std::int16_t* const* v, std::uint8_t* const* out, int rows,
                   const Columns& cols, int n) {
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < n; c += 16) {
      const __mmask16 m = GroupMask(n - c);
      _mm_mask_storeu_epi8(out[r] + c, m, Bytes16(SumsByWords(v[r], cols, c, m)));
    }
}

void GatherOutRow(const std::int16_t* v, const Columns& cols, std::uint8_t* out, int n) {
  GatherOutRows(&v, &out, 1, cols, n);
}

}  // namespace renderer::kernels::avx512

#endif
