// The inner loops of the picture, one table per instruction set. Each table
// does exactly the integer arithmetic of the plain version, reorganised.
//
// This header is included by translation units built for AVX2, so it holds
// declarations and a plain struct only: no inline code that the linker could
// merge with a copy built for another instruction set.
#pragma once

#include <cstdint>

namespace uzoom::kernels {

// Rows of blended texels are kept as 16-bit values: a weighted sum of two
// bytes with weights adding up to 256 lies in 0 to 65280; it is stored minus
// 32768 so that it fits a signed 16-bit lane. The weight pair of a column is
// (256 - f) in the low half and f in the high half.
constexpr std::int32_t RowBias = 32768;
// Bias of a sum of two stored values times weights adding up to 256.
constexpr std::int32_t SumBias = RowBias * 256;

struct Kernels {
  // vals[c] := escape value of the point (xs[c], y), for c in [0, n).
  void (*julia_row)(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy,
                    int maxIter, std::uint8_t* vals, int n);
  // out[c] := a[c] * (256 - fy) + b[c] * fy - RowBias, for c in [0, n).
  void (*blend_bytes)(const std::uint8_t* a, const std::uint8_t* b, std::int32_t fy,
                      std::int16_t* out, int n);
  // out[c] := t[idx[c]] * w0 + t[idx[c] + 1] * w1 - RowBias, (w0, w1) = w[c].
  void (*gather_bytes)(const std::uint8_t* t, const std::int32_t* idx, const std::uint32_t* w,
                       std::int16_t* out, int n);
  // out[c] := (a[c] * (256 - fy) + b[c] * fy + SumBias) >> 16 (stored values).
  void (*blend_rows_out)(const std::int16_t* a, const std::int16_t* b, std::int32_t fy,
                         std::uint8_t* out, int n);
  // out[c] := (v[idx[c]] * w0 + v[idx[c] + 1] * w1 + SumBias) >> 16 (stored values).
  void (*gather_out)(const std::int16_t* v, const std::int32_t* idx, const std::uint32_t* w,
                     std::uint8_t* out, int n);
};

const Kernels& Portable();
// Defined only on x86 builds; call only where the processor has the set.
const Kernels& Sse2();
const Kernels& Avx2();

}  // namespace uzoom::kernels
