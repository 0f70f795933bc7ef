// What the renderer's tests share: the pins and their checksums, a random
// sequence, and a check run on every code path this machine has.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>

#include "renderer/buffers.h"
#include "renderer/code_path.h"

namespace renderer_test {

#include "renderer/pins.inc"

inline std::uint32_t Fnv(const std::uint8_t* p, std::size_t n, std::uint32_t h = 2166136261u) {
  for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
  return h;
}

// The visible pixels, row by row.
inline std::uint32_t FrameFnv(const renderer::Buffers& b) {
  std::uint32_t h = 2166136261u;
  for (int r = 0; r < b.ScreenHeight; ++r)
    h = Fnv(b.FrameBuffer.data() + r * b.Stride, static_cast<std::size_t>(b.ScreenWidth), h);
  return h;
}

inline std::uint32_t Random(std::uint32_t& seed, std::uint32_t below) {
  seed = seed * 1664525u + 1013904223u;
  return (seed >> 8) % below;
}

// Runs check once per path this machine has, with that path chosen.
inline void OnEveryPath(const std::function<void()>& check) {
  for (renderer::CodePath p : renderer::AllCodePaths) {
    if (!renderer::CodePathAvailable(p)) continue;
    SCOPED_TRACE(renderer::CodePathName(p));
    ASSERT_TRUE(renderer::SetCodePath(p));
    check();
  }
  renderer::SetCodePath(renderer::BestCodePath());
}

}  // namespace renderer_test
