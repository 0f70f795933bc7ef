// One frame of the loop, and the clocks it reads.
#pragma once

#include <cstdint>

#include "renderer/buffers.h"
#include "renderer/formulas.h"

namespace renderer {

// The clock the frame reads: every call is a fresh reading.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint32_t Now() = 0;
};

// Milliseconds of the system's steady clock (on Linux CLOCK_MONOTONIC, since
// the system started), wrapping after 2^32 ms like the Windows tick count,
// which the Windows renderer reads instead (renderer/win32/frame_loop.cpp).
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

// The two stages of a frame: the texture for a Julia parameter, and the
// resampling of it to the frame.
using TextureStage = void (*)(std::uint8_t* texture, double cx, double cy, int maxIter);
using ResampleStage = void (*)(Buffers& b, std::int32_t px, std::int32_t py, double s);

// One frame: parameter, texture, pan and scale, resample. Reads the clock six
// times, in the order the animation formulas use it.
void DrawFrameWith(TextureStage texture, ResampleStage resample, Buffers& b, const PathTable& path,
                   Clock& clock);
// The frame on the active code path.
void DrawFrame(Buffers& b, const PathTable& path, Clock& clock);

}  // namespace renderer
