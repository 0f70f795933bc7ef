// The -fps overlay's figures from a run of frames.
#include "hack/frame_rate.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

TEST(FrameRateMeter, FramesAndLoadOverEachSecond) {
  // Frames at wall and processor seconds, then the overlay's two lines.
  const std::tuple<std::vector<std::pair<double, double>>, const char*, const char*> rows[] = {
      {{}, "FPS: --", "Load: --"},
      {{{5, 1}, {5.5, 1.2}, {5.99, 1.4}}, "FPS: --", "Load: --"},  // not a second yet
      {{{5, 1}, {5.5, 1.2}, {6, 1.25}}, "FPS: 2.0", "Load: 25.0%"},
      {{{0, 0}, {0.25, 0.1}, {0.5, 0.2}, {2, 1.5}}, "FPS: 1.5", "Load: 75.0%"},
      // The next second starts where the last ended: 2 frames from 1 to 2.
      {{{0, 0}, {1, 1}, {1.5, 1}, {2, 1.1}, {2.5, 1.3}}, "FPS: 2.0", "Load: 10.0%"},
      // Kept till the next.
      {{{0, 0}, {1, 0.5}, {1.2, 0.5}, {1.4, 0.5}}, "FPS: 1.0", "Load: 50.0%"},
      {{{10, 3}, {10.1, 3}, {13.3, 3}}, "FPS: 0.6", "Load: 0.0%"},
  };
  for (const auto& [frames, fps, load] : rows) {
    hack::FrameRateMeter meter;
    for (const auto& [wall, cpu] : frames) meter.Frame(wall, cpu);
    EXPECT_EQ(meter.FpsLine() + " " + meter.LoadLine(), std::string(fps) + " " + load)
        << testing::PrintToString(frames);
  }
}

}  // namespace
