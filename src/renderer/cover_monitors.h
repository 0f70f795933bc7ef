// Which parts of the screens go black during a run: everything the picture
// window does not reach. Portable: the rectangles come from the caller.
#pragma once

#include <cstdint>
#include <vector>

namespace renderer {

// A rectangle in virtual-screen pixels; right and bottom are exclusive.
struct ScreenRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  bool operator==(const ScreenRect&) const = default;
};

// The parts of the monitors outside the picture window: a monitor the picture
// does not touch, whole; on a monitor it overlaps, the bands around it (the
// taskbar row a maximised-size window falls short of). Per monitor in its
// order: the band above (full width), below (full width), then left and right
// of the picture between them. Empty monitors give nothing; a part already
// listed (a monitor cloned onto another) is listed once.
std::vector<ScreenRect> CoverRects(const std::vector<ScreenRect>& monitors,
                                   const ScreenRect& picture);

}  // namespace renderer
