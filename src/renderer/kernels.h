// The inner loops of the picture, one table per instruction set. Each table
// does exactly the integer arithmetic of the plain version, reorganised.
//
// This header is included by translation units built for AVX2, so it holds
// declarations and a plain struct only: no inline code that the linker could
// merge with a copy built for another instruction set.
#pragma once

#include <cstdint>

namespace renderer::kernels {

// Rows of blended texels are kept as 16-bit values: a weighted sum of two
// bytes with weights adding up to 256 lies in 0 to 65280; it is stored minus
// 32768 so that it fits a signed 16-bit lane. The weight pair of a column is
// (256 - f) in the low half and f in the high half.
constexpr std::int32_t RowBias = 32768;
// Bias of a sum of two stored values times weights adding up to 256.
constexpr std::int32_t SumBias = RowBias * 256;

// The texture in 16-bit lanes holding 8x and 8y. While a point has not
// escaped, xx + yy <= 2048 bounds |x y| below 1025 * 1024, so the next
// |x| <= 2048 + |cx| and |y| <= 2049 + |cy|: with |cx| <= NarrowCx,
// |cy| <= NarrowCy and start values within NarrowStart, 8x and 8y stay inside
// 16 bits and these products are exact:
//   (8x)(8x) >> 16 = x^2 >> 10 (the 32-bit products cannot wrap here);
//   (16|x|)(8|y|) >> 16 (unsigned) = |x y| div 512, and the sign of x y is
//   put back.
// Lanes that have escaped carry meaningless values, never looked at again.
constexpr std::int32_t NarrowStart = 4095;
constexpr std::int32_t NarrowCx = 2047;
constexpr std::int32_t NarrowCy = 2046;
// Whether the parameter (cx, cy) and the row's y allow 16-bit lanes; the
// start values xs are checked by each path on its own.
bool NarrowParameters(std::int32_t cx, std::int32_t cy, std::int32_t y);

// Per frame, per column of the screen: where it reads and how it weighs.
struct Columns {
  const std::int32_t* Idx;  // texel index within a row, 0 to TexWidth - 1
  const std::uint32_t* W;   // weight pair (256 - fx) | fx << 16
  const std::uint16_t* Fx;  // fx alone, 0 to 255
  // Per block of 16 columns (whole blocks only), byte j: idx of column j
  // minus the block's base, for an in-register gather. Byte 0 says which:
  //   0:          all 16 within 16 texels of the block's first idx;
  //   ShuffleHalves: columns 0-7 relative to column 0's idx, 8-15 to
  //               column 8's idx (byte 0 still selects element 0);
  //   ShuffleNone: neither; gather one by one.
  const std::uint8_t* Shuffle;
  // Per group of 16 columns (the last one may be shorter): PickFrom, the
  // texel index where the group's window of PicksWindow values starts, or -1
  // when the group spans more (or wraps around) and is gathered; Picks, bytes
  // 4j to 4j + 3 for column j: where its two 16-bit values lie in that window
  // (2i to 2i + 3 for values i and i + 1). Null: gather every group.
  const std::int32_t* PickFrom = nullptr;
  const std::uint8_t* Picks = nullptr;
};
constexpr std::uint8_t ShuffleHalves = 0x40;
constexpr std::uint8_t ShuffleNone = 0x80;
// One 64-byte register of values.
constexpr std::int32_t PicksWindow = 32;

// Pair rows: while frame rows step down slowly, two texture rows weighed
// along the frame's columns are kept side by side, value pairs (slot 0,
// slot 1) as 32-bit lanes, and each frame row is one weighing of the pairs.
// Columns lie there in packed order: block by block of 64, position k of a
// block holds its column PackedColumn(k), the order in which the AVX-512
// pack of four groups of 16 lanes leaves its bytes.
constexpr int PackedColumn(int k) {
  return 16 * (k % 16 / 4) + 8 * (k / 32) + 2 * (k % 4) + k / 16 % 2;
}
// Per block of 64 columns, From: the texel index where the block's window of
// 64 texture bytes starts, or -1 when it spans more (or wraps) and is
// gathered. Per position: Picks, bytes i, 0, i + 1, 0 (the column's texels
// in the window), or for a gathered block the texel index as a 32-bit
// value; W, the weight pair as in Columns. Positions past the last column
// have weights 0.
struct PairPlan {
  const std::int32_t* From;
  const std::uint8_t* Picks;
  const std::uint32_t* W;
};
constexpr std::int32_t PairWindow = 64;

// The entries of a table.
// vals[c] := escape value of the point (xs[c], y), for c in [0, n).
using JuliaRowFn = void(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy,
                        int maxIter, std::uint8_t* vals, int n);
// The texture's computed half at once: vals[r * n + c] := escape value of
// the point (xs[c], ys[r]), for r in [0, rows) and c in [0, n), and, unless
// mirror is null, mirror[i] := vals[rows * n - 1 - i] (the same bytes in
// reverse order).
using JuliaHalfFn = void(const std::int32_t* xs, int n, const std::int32_t* ys, int rows,
                         std::int32_t cx, std::int32_t cy, int maxIter, std::uint8_t* vals,
                         std::uint8_t* mirror);
// out[c] := a[c] * (256 - fy) + b[c] * fy - RowBias, for c in [0, n).
using BlendBytesFn = void(const std::uint8_t* a, const std::uint8_t* b, std::int32_t fy,
                          std::int16_t* out, int n);
// out[c] := t[idx[c]] * w0 + t[idx[c] + 1] * w1 - RowBias, (w0, w1) = w[c].
// May read up to 17 bytes past t + idx[c].
using GatherBytesFn = void(const std::uint8_t* t, const Columns& cols, std::int16_t* out, int n);
// out[c] := (a[c] * (256 - fy) + b[c] * fy + SumBias) >> 16 (stored values).
using BlendRowsOutFn = void(const std::int16_t* a, const std::int16_t* b, std::int32_t fy,
                            std::uint8_t* out, int n);
// out[c] := (v[idx[c]] * w0 + v[idx[c] + 1] * w1 + SumBias) >> 16 (stored
// values). May read PicksWindow values from v + idx[c].
using GatherOutFn = void(const std::int16_t* v, const Columns& cols, std::uint8_t* out, int n);
// GatherOut for rows of values v[r] into out[r], r in [0, rows), rows at most
// GatherBatch: the column tables are read once for all of them.
using GatherOutRowsFn = void(const std::int16_t* const* v, std::uint8_t* const* out, int rows,
                             const Columns& cols, int n);
constexpr int GatherBatch = 8;
// Pair rows: slot `slot` of pairs (n columns rounded up to whole blocks) :=
// t[i] * w0 + t[i + 1] * w1 - RowBias per position.
using WeighRowFn = void(const std::uint8_t* t, const PairPlan& plan, std::int16_t* pairs, int slot,
                        int n);
// out[c] := (slot 0 * w0 + slot 1 * w1 + SumBias) >> 16, (w0, w1) = w, for c
// in [0, n).
using BlendPairsOutFn = void(const std::int16_t* pairs, std::uint32_t w, std::uint8_t* out, int n);

// A table: the entries it has (null: none) and when ZoomFrame takes which.
// Steps are how far a frame row steps down the texture, in 1/256 texel.
struct Kernels {
  const char* Name;
  // The instruction sets and register state it runs on (instruction_sets.h).
  unsigned Needs = 0;
  // The texture: JuliaHalf where the table has it, else JuliaRow row by row.
  JuliaRowFn* JuliaRow = nullptr;
  JuliaHalfFn* JuliaHalf = nullptr;
  // Below PairRowsBelowStep (with WeighRow and BlendPairsOut): pair rows.
  std::int32_t PairRowsBelowStep = 0;
  WeighRowFn* WeighRow = nullptr;
  BlendPairsOutFn* BlendPairsOut = nullptr;
  // Else below ReuseRowsBelowStep (with GatherBytes and BlendRowsOut): whole
  // texture rows gathered, and reused while frame rows step down by little.
  std::int32_t ReuseRowsBelowStep = 0;
  GatherBytesFn* GatherBytes = nullptr;
  BlendRowsOutFn* BlendRowsOut = nullptr;
  // Else two texture rows blended per frame row and gathered along: by
  // GatherOutRows GatherBatch rows at a time where the table has it, else
  // row by row.
  BlendBytesFn* BlendBytes = nullptr;
  GatherOutFn* GatherOut = nullptr;
  GatherOutRowsFn* GatherOutRows = nullptr;
};

const Kernels& Portable();
// Defined only on x86 builds; call only where the processor has the set.
const Kernels& Sse2();
const Kernels& Avx2();
// AVX-512 F, BW and VL, with BMI2; the second also with VBMI.
const Kernels& Avx512();
const Kernels& Avx512Vbmi();

// The entries per instruction set, each built for its set.
namespace portable {
JuliaRowFn JuliaRow;
BlendBytesFn BlendBytesRow;
GatherBytesFn GatherBytesRow;
BlendRowsOutFn BlendRowsOutRow;
GatherOutFn GatherOutRow;
}  // namespace portable
namespace sse2 {
JuliaRowFn JuliaRow;
BlendBytesFn BlendBytesRow;
GatherBytesFn GatherBytesRow;
BlendRowsOutFn BlendRowsOutRow;
GatherOutFn GatherOutRow;
}  // namespace sse2
namespace avx2 {
JuliaRowFn JuliaRow;
BlendBytesFn BlendBytesRow;
GatherBytesFn GatherBytesRow;
BlendRowsOutFn BlendRowsOutRow;
GatherOutFn GatherOutRow;
GatherOutRowsFn GatherOutRows;
}  // namespace avx2
namespace avx512 {
JuliaHalfFn JuliaHalf;
BlendBytesFn BlendBytesRow;
GatherOutFn GatherOutRow;
GatherOutRowsFn GatherOutRows;
}  // namespace avx512
namespace avx512vbmi {
GatherOutFn GatherOutRow;
GatherOutRowsFn GatherOutRows;
WeighRowFn WeighPairRow;
BlendPairsOutFn BlendPairsOut;
}  // namespace avx512vbmi

}  // namespace renderer::kernels
