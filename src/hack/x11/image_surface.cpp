#include "hack/x11/image_surface.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace hack::x11 {

ImageSurface::ImageSurface(Display* display, Visual* visual, int depth, ErrorTrap& trap)
    : display_(display),
      visual_(visual),
      depth_(depth),
      trap_(trap),
      tryShared_(XShmQueryExtension(display) == True) {}

ImageSurface::~ImageSurface() { Release(); }

bool ImageSurface::Resize(int width, int height) {
  Release();
  if (tryShared_ && CreateShared(width, height)) return true;
  // A remote server cannot reach our memory; stop asking.
  tryShared_ = false;
  return CreatePlain(width, height);
}

bool ImageSurface::CreateShared(int width, int height) {
  image_ = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr,
                           &segment_, static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (image_ == nullptr) return false;
  const auto size = static_cast<std::size_t>(image_->bytes_per_line) * image_->height;
  segment_.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
  if (segment_.shmid < 0) {
    Release();
    return false;
  }
  void* address = shmat(segment_.shmid, nullptr, 0);
  if (address == reinterpret_cast<void*>(-1)) {
    shmctl(segment_.shmid, IPC_RMID, nullptr);
    Release();
    return false;
  }
  segment_.shmaddr = image_->data = static_cast<char*>(address);
  segment_.readOnly = False;
  const Status sent = XShmAttach(display_, &segment_);
  const bool ok = trap_.TakeError(display_) == 0 && sent != 0;
  // Marked for removal at once: the segment goes when the server and we have
  // both let go of it, however this process ends.
  shmctl(segment_.shmid, IPC_RMID, nullptr);
  attached_ = ok;
  if (!ok) Release();
  return ok;
}

bool ImageSurface::CreatePlain(int width, int height) {
  image_ = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                        static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
  if (image_ == nullptr) return false;
  try {
    plain_.assign(static_cast<std::size_t>(image_->bytes_per_line) * image_->height, 0);
  } catch (const std::bad_alloc&) {
    Release();
    return false;
  }
  image_->data = plain_.data();
  return true;
}

void ImageSurface::Put(Drawable drawable, GC gc) {
  if (attached_)
    XShmPutImage(display_, drawable, gc, image_, 0, 0, 0, 0, static_cast<unsigned>(image_->width),
                 static_cast<unsigned>(image_->height), False);
  else
    XPutImage(display_, drawable, gc, image_, 0, 0, 0, 0, static_cast<unsigned>(image_->width),
              static_cast<unsigned>(image_->height));
  XSync(display_, False);
}

void ImageSurface::Release() {
  if (attached_) {
    XShmDetach(display_, &segment_);
    XSync(display_, False);
    attached_ = false;
  }
  if (segment_.shmaddr != nullptr) shmdt(segment_.shmaddr);
  segment_ = XShmSegmentInfo{};
  if (image_ != nullptr) {
    image_->data = nullptr;  // the memory is ours, not Xlib's
    XDestroyImage(image_);
    image_ = nullptr;
  }
  plain_.clear();
  plain_.shrink_to_fit();
}

}  // namespace hack::x11
