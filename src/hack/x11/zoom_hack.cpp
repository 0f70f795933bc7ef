#include "hack/x11/zoom_hack.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <ctime>
#include <string>

namespace hack::x11 {
namespace {

double Seconds(clockid_t which) {
  timespec t{};
  clock_gettime(which, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

ZoomHack::ZoomHack(Display* display, TargetWindow& window, const Options& options, ErrorTrap& trap)
    : display_(display),
      window_(window),
      surface_(display, window.WindowVisual(), window.Depth(), trap),
      path_(renderer::MakePathTable()),
      fixedClock_(options.ClockMs),
      clock_(options.FixedClock ? static_cast<renderer::Clock*>(&fixedClock_) : &steadyClock_),
      overlayFont_(options.ShowFps ? XQueryFont(display, XGContextFromGC(window.Gc())) : nullptr) {}

std::unique_ptr<ZoomHack> ZoomHack::Init(Display* display, TargetWindow& window,
                                         const Options& options, ErrorTrap& trap) {
  const Visual* v = window.WindowVisual();
  const ChannelMasks masks{static_cast<std::uint32_t>(v->red_mask),
                           static_cast<std::uint32_t>(v->green_mask),
                           static_cast<std::uint32_t>(v->blue_mask)};
  if (v->c_class != TrueColor || !MasksUsable(masks)) {
    std::fprintf(stderr, "vorrasin: the window's visual is not TrueColor (depth %d)\n",
                 window.Depth());
    return nullptr;
  }
  std::unique_ptr<ZoomHack> h(new ZoomHack(display, window, options, trap));
  h->pixels_ = MakePixelTable(renderer::MakeColourTable(), masks);
  if (!h->Reshape(window.Width(), window.Height())) return nullptr;
  return h;
}

bool ZoomHack::Reshape(int width, int height) {
  if (renderer::Allocate(buffers_, width, height) != renderer::AllocResult::Ok ||
      !surface_.Resize(width, height)) {
    std::fprintf(stderr, "vorrasin: cannot make a %dx%d picture\n", width, height);
    return false;
  }
  window_.SetSize(width, height);
  return true;
}

void ZoomHack::Draw() {
  renderer::DrawFrame(buffers_, path_, *clock_);
  XImage* image = surface_.Image();
  const bool hostOrder =
      (image->byte_order == LSBFirst) == (std::endian::native == std::endian::little);
  if (!hostOrder ||
      !ExpandFrame(buffers_.FrameBuffer.data(), buffers_.Stride, buffers_.ScreenWidth,
                   buffers_.ScreenHeight, pixels_, reinterpret_cast<std::uint8_t*>(image->data),
                   image->bytes_per_line, image->bits_per_pixel / 8)) {
    // Packed 24-bit pixels or the other byte order: Xlib places each one.
    for (int y = 0; y < buffers_.ScreenHeight; ++y) {
      const std::uint8_t* row = buffers_.FrameBuffer.data() + y * buffers_.Stride;
      for (int x = 0; x < buffers_.ScreenWidth; ++x) XPutPixel(image, x, y, pixels_[row[x]]);
    }
  }
  surface_.Put(window_.Id(), window_.Gc());
  if (overlayFont_ != nullptr) DrawOverlay();
}

void ZoomHack::DrawOverlay() {
  frameRate_.Frame(Seconds(CLOCK_MONOTONIC), Seconds(CLOCK_PROCESS_CPUTIME_ID));
  XFontStruct* font = overlayFont_.get();
  const std::string* lines[] = {&frameRate_.FpsLine(), &frameRate_.LoadLine()};
  const int lineHeight = font->ascent + font->descent;
  const int margin = 4;
  int width = 0;
  for (const std::string* line : lines)
    width = std::max(width, XTextWidth(font, line->data(), static_cast<int>(line->size())));
  const int screen = DefaultScreen(display_);
  const int top = window_.Height() - 2 * lineHeight - 2 * margin;
  XSetForeground(display_, window_.Gc(), BlackPixel(display_, screen));
  XFillRectangle(display_, window_.Id(), window_.Gc(), 0, top,
                 static_cast<unsigned>(width + 2 * margin),
                 static_cast<unsigned>(2 * lineHeight + 2 * margin));
  XSetForeground(display_, window_.Gc(), WhitePixel(display_, screen));
  for (int i = 0; i < 2; ++i)
    XDrawString(display_, window_.Id(), window_.Gc(), margin,
                top + margin + i * lineHeight + font->ascent, lines[i]->data(),
                static_cast<int>(lines[i]->size()));
}

}  // namespace hack::x11
