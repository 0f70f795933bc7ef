#include "button/slices.h"

#include <limits>

namespace button {
namespace {

bool Fits(std::int32_t v) {
  return v >= std::numeric_limits<std::int16_t>::min() &&
         v <= std::numeric_limits<std::int16_t>::max();
}

using forms::TwipRect;

std::optional<TwipRect> Rect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
  if (!Fits(x) || !Fits(y) || !Fits(w) || !Fits(h) || w <= 0 || h <= 0) return std::nullopt;
  return TwipRect{x, y, w, h};
}

std::optional<Slice> Make(std::optional<TwipRect> d, std::optional<TwipRect> s) {
  if (!d || !s) return std::nullopt;
  return Slice{*d, *s};
}

}  // namespace

std::array<std::optional<Slice>, 8> SliceGeometry(std::int32_t W, std::int32_t H) {
  constexpr std::int32_t C = CornerTwips;
  constexpr std::int32_t mid = PictureWidthTwips - 2 * C;    // 840
  constexpr std::int32_t right = C + mid;                    // 900
  constexpr std::int32_t band = PictureHeightTwips - 2 * C;  // 255
  constexpr std::int32_t bottom = C + band;                  // 315
  return {
      Make(Rect(1, 1, C, C), Rect(0, 0, C, C)),
      Make(Rect(C, 1, W - 2 * C, C), Rect(C, 1, mid, C)),
      Make(Rect(W - C, 1, C, C), Rect(right, 1, C, C)),
      Make(Rect(W - C, C, C, H - 2 * C), Rect(right, C, C, band)),
      Make(Rect(W - C, H - C, C, C), Rect(right, bottom, C, C)),
      Make(Rect(C, H - C, W - 2 * C, C), Rect(C, bottom, mid, C)),
      Make(Rect(1, H - C, C, C), Rect(0, bottom, C, C)),
      Make(Rect(1, C, C, H - 2 * C), Rect(1, C, C, band)),
  };
}

PixelRect ToPixels(const TwipRect& r, int tx, int ty) {
  // Edges, not sizes, are converted, so neighbouring slices meet exactly.
  // Slices never reach left of or above the button: the division rounds down.
  const int x0 = r.Left / tx, y0 = r.Top / ty;
  const int x1 = (r.Left + r.Width) / tx, y1 = (r.Top + r.Height) / ty;
  return {x0, y0, x1 - x0, y1 - y0};
}

std::int32_t CaptionTop(std::int32_t H, std::int32_t captionHeight) {
  return (H - captionHeight - 20) / 2;
}

}  // namespace button
