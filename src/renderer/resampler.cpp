#include "renderer/resampler.h"

#include <algorithm>
#include <cstring>

#include "renderer/code_path.h"

namespace renderer {
namespace {

constexpr std::int32_t CacheLine = 64;

// Values in a working row of ZoomFrame: a frame row, or a texture row and
// a window of values past any of its columns; whole cache lines.
std::size_t RowLength(std::int32_t width) {
  const std::int32_t n = std::max(width, TexWidth + kernels::PicksWindow);
  return static_cast<std::size_t>((n + CacheLine / 2 - 1) / (CacheLine / 2) * (CacheLine / 2));
}

// A negative start edge moves both edges right by whole periods.
void WrapLeft(std::int32_t& lo, std::int32_t& hi, std::int32_t period) {
  if (lo >= 0) return;
  const std::int32_t d = (1 - lo / period) * period;
  lo += d;
  hi += d;
}

}  // namespace

Geometry FrameGeometry(const Buffers& b, std::int32_t px, std::int32_t py, double s) {
  if (s < 0.01) s = 0.01;
  if (s > 100) s = 100;
  const long double ls = s;
  std::int32_t x0 = RoundToInt((px - TexWidth * ls / 2) * 256);
  std::int32_t x1 = RoundToInt((TexWidth * ls / 2 + px) * 256);
  WrapLeft(x0, x1, Wx);
  std::int32_t y0 = RoundToInt((py - TexHeight * ls / 2) * 256);
  std::int32_t y1 = RoundToInt((TexHeight * ls / 2 + py) * 256);
  WrapLeft(y0, y1, Hy);
  // On a surface narrower than the scale, one step could cross the texture
  // more than once; stepping by the remainder lands on the same texel.
  return {x0, y0, ((x1 - x0) / b.ScreenWidth) % Wx, ((y1 - y0) / b.ScreenHeight) % Hy};
}

void CopyWrapRows(std::uint8_t* T) { std::memcpy(T + TexWidth * TexHeight, T, 2 * TexWidth); }

void ResamplerScratch::Size(std::int32_t width) {
  const auto n = static_cast<std::size_t>(width);
  ColumnIndex.resize(n);
  ColumnWeights.resize(n);
  ColumnFraction.resize(n);
  ColumnShuffle.resize(n);
  const std::size_t blocks = (n + 63) / 64;
  ColumnPickFrom.resize(n / 16 + 1);
  ColumnPicks.resize(4 * 64 * blocks);
  PackedWeights.resize(64 * blocks);
  Rows.resize(kernels::GatherBatch * RowLength(width));
}

// Offsets of each column from its block's base for an in-register gather
// (see kernels::Columns).
void PlanShuffles(const std::int32_t* idx, std::uint8_t* shuffle, std::int32_t width) {
  auto within = [&](std::int32_t from, std::int32_t count, std::int32_t base) {
    for (std::int32_t j = from; j < from + count; ++j)
      if (idx[j] < base || idx[j] > base + 15) return false;
    return true;
  };
  for (std::int32_t c = 0; c + 16 <= width; c += 16) {
    if (within(c, 16, idx[c])) {
      for (std::int32_t j = 0; j < 16; ++j)
        shuffle[c + j] = static_cast<std::uint8_t>(idx[c + j] - idx[c]);
    } else if (within(c, 8, idx[c]) && within(c + 8, 8, idx[c + 8])) {
      for (std::int32_t j = 0; j < 16; ++j)
        shuffle[c + j] = static_cast<std::uint8_t>(idx[c + j] - idx[c + (j & 8)]);
      shuffle[c] = kernels::ShuffleHalves;
    } else {
      shuffle[c] = kernels::ShuffleNone;
    }
  }
}

namespace {

// Whether every column of idx[0, count) has both its values within the
// window of `window` values from base. Looks at all of them, which lets the
// compiler vectorise it.
bool Fits(const std::int32_t* idx, std::int32_t count, std::int32_t base, std::int32_t window) {
  bool all = true;
  for (std::int32_t j = 0; j < count; ++j)
    all &= static_cast<std::uint32_t>(idx[j] - base) < static_cast<std::uint32_t>(window - 1);
  return all;
}

}  // namespace

// Where each group's window starts and where each column's two values lie in
// it (see kernels::Columns). Groups share the window of their block of 64
// columns, or else of their half block, when that fits in it.
void PlanPicks(const std::int32_t* idx, std::int32_t* from, std::uint8_t* picks,
               std::int32_t width) {
  auto fits = [&](std::int32_t c, std::int32_t count, std::int32_t base) {
    return Fits(idx + c, count, base, kernels::PicksWindow);
  };
  bool blockFits = false, halfFits = false;
  for (std::int32_t c = 0; c < width; c += 16) {
    const std::int32_t count = std::min(16, width - c);
    const std::int32_t block = c - c % 64, half = c - c % 32;
    if (c == block) blockFits = block + 64 <= width && fits(block, 64, idx[block]);
    if (c == half) halfFits = half + 32 <= width && fits(half, 32, idx[half]);
    std::int32_t base = idx[c];
    if (blockFits)
      base = idx[block];
    else if (halfFits)
      base = idx[half];
    else if (!fits(c, count, base))
      base = -1;
    from[c / 16] = base;
    // Bytes 2d, 2d + 1, 2d + 2, 2d + 3 in memory order (little-endian).
    for (std::int32_t j = c; j < c + count; ++j) {
      const std::uint32_t four =
          0x03020100u + 0x02020202u * static_cast<std::uint32_t>(idx[j] - base);
      std::memcpy(picks + 4 * j, &four, 4);
    }
  }
}

// The pair rows' plan, block by block (see kernels::PairPlan).
void PlanPairs(const std::int32_t* idx, const std::uint32_t* weights, std::int32_t* from,
               std::uint8_t* picks, std::uint32_t* w, std::int32_t width) {
  for (std::int32_t b = 0; b < width; b += 64) {
    const std::int32_t count = std::min(64, width - b);
    const std::int32_t base = Fits(idx + b, count, idx[b], kernels::PairWindow) ? idx[b] : -1;
    from[b / 64] = base;
    for (std::int32_t k = 0; k < 64; ++k) {
      const std::int32_t col = b + kernels::PackedColumn(k);
      std::uint8_t* p = picks + 4 * (b + k);
      const std::int32_t i = col < width ? idx[col] : 0;
      w[b + k] = col < width ? weights[col] : 0;
      // Bytes d, 0, d + 1, 0 in memory order (little-endian).
      const auto at = static_cast<std::uint32_t>(col < width ? i - base : 0);
      const std::uint32_t four = base < 0 ? static_cast<std::uint32_t>(i) : at | (at + 1) << 16;
      std::memcpy(p, &four, 4);
    }
  }
}

// One frame's resampling: the column tables worked out once, then the frame
// rows by one of the strategies below. The four-texel blend factors in two
// ways, both exact in integers:
// ((a(256-fy) + c fy)(256-fx) + (b(256-fy) + d fy) fx) >> 16 blends two
// texture rows into one row of 16-bit values and then gathers along it;
// ((a(256-fx) + b fx)(256-fy) + (c(256-fx) + d fx) fy) >> 16 gathers whole
// texture rows once and blends two of them per frame row, reusing them while
// frame rows advance by less than a texel.
class Resampler {
 public:
  Resampler(Buffers& b, const kernels::Kernels& k, const Geometry& g)
      : b_(b), s_(b.Scratch), k_(k), g_(g), width_(b.ScreenWidth), T_(b.Texture.data()) {
    s_.Size(width_);
    PlanColumns();
  }

  // Gathered texture rows kept as value pairs (see kernels::PairPlan).
  void ByPairRows();
  // Gathered texture rows, blended two by two into each frame row.
  void ByGatheredRows();
  // Two texture rows blended per frame row, then gathered along; `batch`
  // frame rows at a time.
  void ByBlendedRows(int batch);

 private:
  // Per column: texel index within a row and the weights. Column c lies at
  // (x0 + c dx) mod Wx, each on its own: below 2^32 for any width we accept,
  // as dx < Wx.
  void PlanColumns() {
    const auto u0 = static_cast<std::uint32_t>(g_.x0 % Wx), du = static_cast<std::uint32_t>(g_.dx);
    std::int32_t* const idx = s_.ColumnIndex.data();
    std::uint32_t* const w = s_.ColumnWeights.data();
    std::uint16_t* const fx = s_.ColumnFraction.data();
    for (std::int32_t col = 0, width = width_; col < width; ++col) {
      const std::uint32_t u = (u0 + du * static_cast<std::uint32_t>(col)) % Wx;
      fx[col] = static_cast<std::uint16_t>(u & 255);
      idx[col] = static_cast<std::int32_t>(u >> 8);
      w[col] = (256u - (u & 255)) | (u & 255) << 16;
    }
  }
  std::uint8_t* FrameRow(std::int32_t row) const { return b_.FrameBuffer.data() + row * b_.Stride; }
  // The next frame row's texture position, v + dy wrapped.
  std::int32_t Down(std::int32_t v) const {
    v += g_.dy;
    return v >= Hy ? v - Hy : v;
  }

  Buffers& b_;
  ResamplerScratch& s_;
  const kernels::Kernels& k_;
  const Geometry g_;
  const std::int32_t width_;
  const std::uint8_t* const T_;
};

// The pairs, in the working rows, hold two texture rows weighed along the
// columns; a texture row is weighed only when the frame reaches it.
void Resampler::ByPairRows() {
  PlanPairs(s_.ColumnIndex.data(), s_.ColumnWeights.data(), s_.ColumnPickFrom.data(),
            s_.ColumnPicks.data(), s_.PackedWeights.data(), width_);
  const kernels::PairPlan plan{s_.ColumnPickFrom.data(), s_.ColumnPicks.data(),
                               s_.PackedWeights.data()};
  std::int16_t* const pairs = s_.Rows.data();
  // Which texture row each slot of the pairs holds.
  std::int32_t held[2] = {-1, -1};
  auto hold = [&](std::int32_t r, std::int32_t keep) {
    if (held[0] == r) return 0;
    if (held[1] == r) return 1;
    const int slot = held[0] == keep ? 1 : 0;
    k_.WeighRow(T_ + r * TexWidth, plan, pairs, slot, width_);
    held[slot] = r;
    return slot;
  };
  std::int32_t v = g_.y0 % Hy;
  for (std::int32_t row = 0; row < b_.ScreenHeight; ++row, v = Down(v)) {
    const std::int32_t fy = v & 255;
    const std::int32_t r = v >> 8;
    const int top = hold(r, r + 1);
    hold(r + 1, r);
    const auto up = static_cast<std::uint32_t>(256 - fy), down = static_cast<std::uint32_t>(fy);
    k_.BlendPairsOut(pairs, top == 0 ? up | down << 16 : down | up << 16, FrameRow(row), width_);
  }
}

// Two gathered rows, each starting a cache line, each with room for a window
// of values read from any column (the last value of each is the right
// neighbour of the last column: the next row's first texel).
void Resampler::ByGatheredRows() {
  PlanShuffles(s_.ColumnIndex.data(), s_.ColumnShuffle.data(), width_);
  const kernels::Columns cols{s_.ColumnIndex.data(), s_.ColumnWeights.data(),
                              s_.ColumnFraction.data(), s_.ColumnShuffle.data()};
  std::int16_t* slot[2] = {s_.Rows.data(), s_.Rows.data() + RowLength(width_)};
  std::int32_t key[2] = {-1, -1};
  // Filled with texture row r, keeping the slot that holds row `keep`.
  auto gathered = [&](std::int32_t r, std::int32_t keep) -> const std::int16_t* {
    if (key[0] == r) return slot[0];
    if (key[1] == r) return slot[1];
    const int i = key[0] == keep ? 1 : 0;
    k_.GatherBytes(T_ + r * TexWidth, cols, slot[i], width_);
    key[i] = r;
    return slot[i];
  };
  std::int32_t v = g_.y0 % Hy;
  for (std::int32_t row = 0; row < b_.ScreenHeight; ++row, v = Down(v)) {
    const std::int32_t r = v >> 8;
    const std::int16_t* top = gathered(r, r + 1);
    const std::int16_t* bottom = gathered(r + 1, r);
    k_.BlendRowsOut(top, bottom, v & 255, FrameRow(row), width_);
  }
}

// Up to GatherBatch blended texture rows, each starting a cache line and
// with room for a window of values read from any column.
void Resampler::ByBlendedRows(int batch) {
  const std::size_t rowLen = RowLength(width_);
  const kernels::Columns cols{s_.ColumnIndex.data(), s_.ColumnWeights.data(),
                              s_.ColumnFraction.data(), nullptr};
  // Only batches read the picks.
  if (batch > 1)
    PlanPicks(s_.ColumnIndex.data(), s_.ColumnPickFrom.data(), s_.ColumnPicks.data(), width_);
  const kernels::Columns pickCols{s_.ColumnIndex.data(),    s_.ColumnWeights.data(),
                                  s_.ColumnFraction.data(), nullptr,
                                  s_.ColumnPickFrom.data(), s_.ColumnPicks.data()};
  std::int32_t v = g_.y0 % Hy;
  for (std::int32_t row = 0; row < b_.ScreenHeight;) {
    const std::int16_t* blended[kernels::GatherBatch];
    std::uint8_t* out[kernels::GatherBatch];
    int rows = 0;
    for (; rows < batch && row < b_.ScreenHeight; ++rows, ++row, v = Down(v)) {
      std::int16_t* into = s_.Rows.data() + rows * rowLen;
      const std::int32_t r = v >> 8;
      k_.BlendBytes(T_ + r * TexWidth, T_ + (r + 1) * TexWidth, v & 255, into, TexWidth + 1);
      blended[rows] = into;
      out[rows] = FrameRow(row);
    }
    if (batch > 1)
      k_.GatherOutRows(blended, out, rows, pickCols, width_);
    else
      k_.GatherOut(blended[0], cols, out[0], width_);
  }
}

void ZoomFrame(Buffers& b, std::int32_t px, std::int32_t py, double s) {
  if (b.ScreenWidth <= 0 || b.ScreenHeight <= 0) return;
  CopyWrapRows(b.Texture.data());
  const kernels::Kernels& k = ActiveKernels();
  const Geometry g = FrameGeometry(b, px, py, s);
  Resampler frame(b, k, g);
  if (k.WeighRow != nullptr && g.dy < k.PairRowsBelowStep)
    frame.ByPairRows();
  else if (g.dy < k.ReuseRowsBelowStep)
    frame.ByGatheredRows();
  else
    frame.ByBlendedRows(k.GatherOutRows != nullptr ? kernels::GatherBatch : 1);
}

}  // namespace renderer
