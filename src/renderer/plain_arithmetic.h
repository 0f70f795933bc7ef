// One-element versions of the kernels, for the portable table and for the
// tails of the vector loops. Internal linkage on purpose: every translation
// unit, whatever instruction set it is built for, gets its own copy.
#pragma once

#include <cstdint>

#include "renderer/kernels.h"

namespace renderer::kernels {

static inline std::uint8_t EscapeValue(std::int32_t x, std::int32_t y, std::int32_t cx,
                                       std::int32_t cy, int maxIter) {
  for (int k = 0; k < maxIter; ++k) {
    // 32-bit products wrap; the shift is logical.
    const std::uint32_t ux = static_cast<std::uint32_t>(x), uy = static_cast<std::uint32_t>(y);
    const std::int32_t xx = static_cast<std::int32_t>((ux * ux) >> 10);
    const std::int32_t yy = static_cast<std::int32_t>((uy * uy) >> 10);
    if (xx + yy > 2048) return static_cast<std::uint8_t>((4 * k) % 256);
    y = static_cast<std::int32_t>(ux * uy) / 512 + cy;
    x = xx - yy + cx;
  }
  return 255;
}

static inline std::int32_t Low(std::uint32_t w) { return static_cast<std::int32_t>(w & 0xFFFF); }
static inline std::int32_t High(std::uint32_t w) { return static_cast<std::int32_t>(w >> 16); }

static inline std::int16_t BlendBytes(std::uint8_t a, std::uint8_t b, std::int32_t fy) {
  return static_cast<std::int16_t>(a * (256 - fy) + b * fy - RowBias);
}

static inline std::int16_t GatherBytes(const std::uint8_t* t, std::int32_t i, std::uint32_t w) {
  return static_cast<std::int16_t>(t[i] * Low(w) + t[i + 1] * High(w) - RowBias);
}

static inline std::uint8_t BlendRowsOut(std::int16_t a, std::int16_t b, std::int32_t fy) {
  return static_cast<std::uint8_t>((a * (256 - fy) + b * fy + SumBias) >> 16);
}

static inline std::uint8_t GatherOut(const std::int16_t* v, std::int32_t i, std::uint32_t w) {
  return static_cast<std::uint8_t>((v[i] * Low(w) + v[i + 1] * High(w) + SumBias) >> 16);
}

}  // namespace renderer::kernels
