#include "renderer/buffers.h"

#include <stdexcept>

#include "renderer/formulas.h"

namespace renderer {

std::int64_t RowStride(std::int32_t width) {
  return (static_cast<std::int64_t>(width) + 3) / 4 * 4;
}

AllocResult Allocate(Buffers& b, std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0 || width > MaxSurfaceSide || height > MaxSurfaceSide)
    return AllocResult::BadSize;
  const std::int64_t stride = RowStride(width);
  try {
    b.FrameBuffer.assign(static_cast<std::size_t>(stride * height), 0);
    b.Texture.assign(static_cast<std::size_t>(TexWidth) * (TexHeight + 2), 0);
    b.Scratch.Size(width);
  } catch (const std::bad_alloc&) {
    b = Buffers{};
    return AllocResult::NoMemory;
  } catch (const std::length_error&) {
    b = Buffers{};
    return AllocResult::NoMemory;
  }
  b.ScreenWidth = width;
  b.ScreenHeight = height;
  b.Stride = stride;
  return AllocResult::Ok;
}

}  // namespace renderer
