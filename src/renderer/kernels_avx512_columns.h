// What the AVX-512 resamplers (with and without VBMI) share: the column
// tables read a group at a time. Internal linkage, like kernels_x86.h, and
// included after the file's target switch.
#pragma once

#include <cstdint>

#include "renderer/kernels.h"
#include "renderer/kernels_avx512_intrinsics.h"

namespace renderer::kernels {
namespace {

// The resampler. A group is 16 columns: their value pairs (v[i], v[i + 1])
// as 32-bit lanes, weighed by one vpmaddwd, give sum - SumBias (sum being
// what the plain version shifts). Pairs come from the group's window of
// PicksWindow values by one single-register permute, or from a general
// gather where the group spans more than the window. A group at the end of a
// row may be short: its tables are read under the mask m.

// The mask of a group with `left` columns still to go (all 16 if more).
inline __mmask16 GroupMask(int left) {
  return static_cast<__mmask16>(left >= 16 ? 0xFFFF : (1u << left) - 1);
}

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

}  // namespace
}  // namespace renderer::kernels
