// the renderer's picture. Colour table, the Julia parameter path, the
// escape-time texture and the bilinear, tiling resampler that maps it to the
// screen. Portable: no windowing calls here; the frame is a plain byte buffer
// laid out like an 8-bit top-down DIB.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace renderer {

constexpr int TexWidth = 320;
constexpr int TexHeight = 240;
constexpr int MaxIter = 64;

// One colour entry in DIB colour-table order.
struct Colour {
  std::uint8_t blue, green, red, reserved;
};
using ColourTable = std::array<Colour, 256>;

struct PathPoint {
  double x, y;
};
constexpr int StoredPathPoints = 151;
using PathTable = std::array<PathPoint, 2 * StoredPathPoints>;

// x raised to the power a, in extended precision; exactly 0 for x = 0.
long double PowerOf(long double x, long double a);

ColourTable MakeColourTable();

// The stored path and its mirror image run backwards: a closed loop.
PathTable MakePathTable();

// Floating point to integer: nearest, ties to even.
std::int32_t RoundToInt(long double v);

// Bytes per frame row: the width rounded up to a multiple of 4.
std::int64_t RowStride(std::int32_t width);

// The per-frame parameters, each a function of one or more clock readings.
struct JuliaParameter {
  double cx, cy;
};
JuliaParameter JuliaAt(const PathTable& path, std::uint32_t t);
// Pan centre in texels from two readings each (a, then b).
std::int32_t PanX(std::uint32_t ta, std::uint32_t tb);
std::int32_t PanY(std::uint32_t ta, std::uint32_t tb);
// Number of texture widths the screen spans, from one reading.
double ScaleAt(std::uint32_t t);

// Memory that starts a cache line, so that whole frame rows of a multiple of
// 64 bytes are stored by whole lines, and 64-byte pieces of the column
// tables and working rows are read without crossing one.
template <class T>
struct CacheLineAllocator {
  using value_type = T;
  static constexpr std::align_val_t Line{64};
  CacheLineAllocator() = default;
  template <class U>
  explicit CacheLineAllocator(const CacheLineAllocator<U>&) {}
  T* allocate(std::size_t n) { return static_cast<T*>(::operator new(n * sizeof(T), Line)); }
  void deallocate(T* p, std::size_t) { ::operator delete(p, Line); }
  friend bool operator==(const CacheLineAllocator&, const CacheLineAllocator&) { return true; }
  friend bool operator!=(const CacheLineAllocator&, const CacheLineAllocator&) { return false; }
};

// The two buffers of a run. FrameBuffer rows lie at RowStride(ScreenWidth);
// Texture holds TexHeight image rows and two wrap rows.
struct Buffers {
  std::int32_t ScreenWidth = 0;
  std::int32_t ScreenHeight = 0;
  std::int64_t Stride = 0;
  std::vector<std::uint8_t, CacheLineAllocator<std::uint8_t>> FrameBuffer;
  std::vector<std::uint8_t> Texture;
  // Working memory of ZoomFrame, sized on first use: per column the texel
  // index, the weights and gather offsets, and rows of blended texels.
  std::vector<std::int32_t, CacheLineAllocator<std::int32_t>> ColumnIndex;
  std::vector<std::uint32_t, CacheLineAllocator<std::uint32_t>> ColumnWeights;
  std::vector<std::uint16_t> ColumnFraction;
  std::vector<std::uint8_t> ColumnShuffle;
  std::vector<std::int32_t> ColumnPickFrom;
  std::vector<std::uint8_t, CacheLineAllocator<std::uint8_t>> ColumnPicks;
  std::vector<std::uint32_t, CacheLineAllocator<std::uint32_t>> PackedWeights;
  std::vector<std::int16_t, CacheLineAllocator<std::int16_t>> Rows;
};

// Largest width or height we accept for the surface.
constexpr std::int32_t MaxSurfaceSide = 32767;

enum class AllocResult { Ok, BadSize, NoMemory };
// Sizes both buffers once (zero-filled). Refuses sizes of 0 or less, sides
// beyond MaxSurfaceSide, and reports when the memory cannot be had.
AllocResult Allocate(Buffers& b, std::int32_t width, std::int32_t height);

// Fills the 320 x 240 image rows of texture (at least TexWidth * TexHeight
// bytes) with the escape-time picture of z -> z^2 + c.
void RenderJulia(std::uint8_t* texture, double cx, double cy, int maxIter);

// Resamples the texture to the frame: (px, py) is the texel under the centre
// of the screen, s the number of texture widths the screen spans.
void ZoomFrame(Buffers& b, std::int32_t px, std::int32_t py, double s);

// RenderJulia and ZoomFrame run on one of these code paths; all give the same
// bytes. The best one the processor has is chosen on first use.
enum class CodePath { Portable, Sse2, Avx2, Avx512 };
constexpr CodePath AllCodePaths[] = {CodePath::Portable, CodePath::Sse2, CodePath::Avx2,
                                     CodePath::Avx512};
// Built into this program and supported by this processor and system.
bool CodePathAvailable(CodePath p);
// Chooses the path for later calls; false (and no change) if unavailable.
bool SetCodePath(CodePath p);
CodePath ActiveCodePath();
CodePath BestCodePath();
const char* CodePathName(CodePath p);

// The clock the frame reads: every call is a fresh reading.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint32_t Now() = 0;
};

// One frame of the loop: parameter, texture, pan and scale, resample. Reads
// the clock six times, in the order the animation formulas use it.
void DrawFrame(Buffers& b, const PathTable& path, Clock& clock);

// The same picture computed plainly, one point and one pixel at a time: the
// yardstick for speed and for exactness.
namespace plain {
void RenderJulia(std::uint8_t* texture, double cx, double cy, int maxIter);
void ZoomFrame(Buffers& b, std::int32_t px, std::int32_t py, double s);
void DrawFrame(Buffers& b, const PathTable& path, Clock& clock);
}  // namespace plain

// Milliseconds of the system's steady clock (on Linux CLOCK_MONOTONIC, since
// the system started), wrapping after 2^32 ms like the Windows tick count.
class SteadyClock : public Clock {
 public:
  std::uint32_t Now() override;
};

// A clock that always answers the same value: the frame at one instant.
class FixedClock : public Clock {
 public:
  explicit FixedClock(std::uint32_t t) : t_(t) {}
  std::uint32_t Now() override { return t_; }

 private:
  std::uint32_t t_;
};

}  // namespace renderer
