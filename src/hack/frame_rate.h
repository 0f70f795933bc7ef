// What the hack's -fps overlay says: frames a second and the share of one
// processor the hack used, each worked out once a second over the second
// before. Portable: the caller reads the clocks.
#pragma once

#include <string>

namespace hack {

class FrameRateMeter {
 public:
  // A frame was drawn at wallSeconds, with cpuSeconds of processor time used
  // so far (both from any fixed start). The first call starts the count.
  void Frame(double wallSeconds, double cpuSeconds);

  // "FPS: 59.9" and "Load: 12.3%"; "FPS: --" and "Load: --" until a second
  // has passed.
  const std::string& FpsLine() const { return fpsLine_; }
  const std::string& LoadLine() const { return loadLine_; }

 private:
  bool started_ = false;
  double startWall_ = 0;
  double startCpu_ = 0;
  long frames_ = 0;
  std::string fpsLine_ = "FPS: --";
  std::string loadLine_ = "Load: --";
};

}  // namespace hack
