// The client-side image a frame is put through: in a shared-memory segment
// when the server offers MIT-SHM and can attach it (a local display), else in
// ordinary memory sent with XPutImage.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <vector>

#include "hack/x11/x_resources.h"

namespace hack::x11 {

class ImageSurface {
 public:
  ImageSurface(Display* display, Visual* visual, int depth, ErrorTrap& trap);
  ~ImageSurface();
  ImageSurface(const ImageSurface&) = delete;
  ImageSurface& operator=(const ImageSurface&) = delete;

  // A new image of this size; false when it cannot be had.
  bool Resize(int width, int height);
  // Sends the whole image to the drawable and waits until the server has
  // taken it, so the memory can be written again.
  void Put(Drawable drawable, GC gc);

  XImage* Image() const { return image_; }
  bool Shared() const { return attached_; }

 private:
  bool CreateShared(int width, int height);
  bool CreatePlain(int width, int height);
  void Release();

  Display* display_;
  Visual* visual_;
  int depth_;
  ErrorTrap& trap_;
  bool tryShared_;
  XImage* image_ = nullptr;
  XShmSegmentInfo segment_{};
  bool attached_ = false;
  std::vector<char> plain_;
};

}  // namespace hack::x11
