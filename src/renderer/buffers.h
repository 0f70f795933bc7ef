// The memory of a run: the frame, the texture and the resampler's working
// memory. The frame is a plain byte buffer laid out like an 8-bit top-down
// DIB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace renderer {

// Bytes per frame row: the width rounded up to a multiple of 4.
std::int64_t RowStride(std::int32_t width);

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

// The resampler's working memory (resampler.cpp): per column the texel index,
// the weights and gather offsets, and rows of blended texels. Sized for a
// frame width before any frame, so that no frame allocates.
class ResamplerScratch {
 public:
  void Size(std::int32_t width);

 private:
  friend class Resampler;
  std::vector<std::int32_t, CacheLineAllocator<std::int32_t>> ColumnIndex;
  std::vector<std::uint32_t, CacheLineAllocator<std::uint32_t>> ColumnWeights;
  std::vector<std::uint16_t> ColumnFraction;
  std::vector<std::uint8_t> ColumnShuffle;
  std::vector<std::int32_t> ColumnPickFrom;
  std::vector<std::uint8_t, CacheLineAllocator<std::uint8_t>> ColumnPicks;
  std::vector<std::uint32_t, CacheLineAllocator<std::uint32_t>> PackedWeights;
  std::vector<std::int16_t, CacheLineAllocator<std::int16_t>> Rows;
};

// The buffers of a run. FrameBuffer rows lie at RowStride(ScreenWidth);
// Texture holds TexHeight image rows and two wrap rows.
struct Buffers {
  std::int32_t ScreenWidth = 0;
  std::int32_t ScreenHeight = 0;
  std::int64_t Stride = 0;
  std::vector<std::uint8_t, CacheLineAllocator<std::uint8_t>> FrameBuffer;
  std::vector<std::uint8_t> Texture;
  ResamplerScratch Scratch;
};

// Largest width or height we accept for the surface.
constexpr std::int32_t MaxSurfaceSide = 32767;

enum class AllocResult { Ok, BadSize, NoMemory };
// Sizes the buffers once (zero-filled). Refuses sizes of 0 or less, sides
// beyond MaxSurfaceSide, and reports when the memory cannot be had.
AllocResult Allocate(Buffers& b, std::int32_t width, std::int32_t height);

}  // namespace renderer
