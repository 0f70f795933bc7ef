#include "hack/frame_rate.h"

#include <cstdio>

namespace hack {

void FrameRateMeter::Frame(double wallSeconds, double cpuSeconds) {
  if (!started_) {
    started_ = true;
    startWall_ = wallSeconds;
    startCpu_ = cpuSeconds;
    return;
  }
  ++frames_;
  const double span = wallSeconds - startWall_;
  if (span < 1.0) return;
  char text[48];
  std::snprintf(text, sizeof text, "FPS: %.1f", static_cast<double>(frames_) / span);
  fpsLine_ = text;
  std::snprintf(text, sizeof text, "Load: %.1f%%", 100.0 * (cpuSeconds - startCpu_) / span);
  loadLine_ = text;
  startWall_ = wallSeconds;
  startCpu_ = cpuSeconds;
  frames_ = 0;
}

}  // namespace hack
