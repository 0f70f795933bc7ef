// The hack's state in the shape of an XScreenSaver hack: Init, Draw, Reshape
// and (in the destructor) Free, over the renderer's portable picture core.
#pragma once

#include <X11/Xlib.h>

#include <memory>

#include "hack/frame_rate.h"
#include "hack/hack_options.h"
#include "hack/pixel_format.h"
#include "hack/x11/image_surface.h"
#include "hack/x11/x_resources.h"
#include "renderer/julia_zoom.h"

namespace hack::x11 {

// Milliseconds since the system started, as timeGetTime counts on Windows.
class SystemClock : public uzoom::Clock {
 public:
  std::uint32_t Now() override;
};

class ZoomHack {
 public:
  // Null (the reason printed) when the window's visual is not TrueColor with
  // usable masks, or the buffers cannot be had (no memory, a side over
  // uzoom::MaxSurfaceSide).
  static std::unique_ptr<ZoomHack> Init(Display* display, TargetWindow& window,
                                        const Options& options, ErrorTrap& trap);
  // One frame: the picture at the clock's reading, converted and put on the
  // window, with -fps the overlay over its bottom-left corner.
  void Draw();
  // The window has a new size; false when buffers of that size cannot be had.
  bool Reshape(int width, int height);

 private:
  ZoomHack(Display* display, TargetWindow& window, const Options& options, ErrorTrap& trap);
  // Frames a second and processor load, white on a black box, in the core
  // X11 font of the window's graphics context.
  void DrawOverlay();

  Display* display_;
  TargetWindow& window_;
  ImageSurface surface_;
  PixelTable pixels_{};
  uzoom::PathTable path_;
  uzoom::Buffers buffers_;
  SystemClock systemClock_;
  uzoom::FixedClock fixedClock_;
  uzoom::Clock* clock_;
  struct FontInfoFree {
    void operator()(XFontStruct* f) const { XFreeFontInfo(nullptr, f, 0); }
  };
  // The overlay's font metrics; null without -fps.
  std::unique_ptr<XFontStruct, FontInfoFree> overlayFont_;
  FrameRateMeter frameRate_;
};

}  // namespace hack::x11
