#include "button/win32/state_pictures.h"

namespace button {
namespace {

using forms::Picture;
using forms::Rgb;

constexpr Rgb FrameBlue{0, 60, 116};
constexpr Rgb FrameGrey{201, 199, 186};

// One rounded ring: the rectangle's outline with its four corner pixels left
// out, inset by `inset` pixels from (x0, y0)-(x1, y1) inclusive.
void Ring(Picture& p, int x0, int y0, int x1, int y1, int inset, Rgb c) {
  x0 += inset, y0 += inset, x1 -= inset, y1 -= inset;
  const bool round = inset == 0;
  for (int x = x0; x <= x1; ++x) {
    if (round && (x == x0 || x == x1)) continue;
    p.At(x, y0) = c;
    p.At(x, y1) = c;
  }
  for (int y = y0; y <= y1; ++y) {
    if (round && (y == y0 || y == y1)) continue;
    p.At(x0, y) = c;
    p.At(x1, y) = c;
  }
}

Picture Framed(Rgb frame, Rgb ring1, Rgb ring2, Rgb face, int offset) {
  Picture p(StatePictureWidth, StatePictureHeight, Picture::Clear);
  const int x0 = offset, y0 = offset, x1 = StatePictureWidth - 1, y1 = StatePictureHeight - 1;
  for (int y = y0 + 1; y < y1; ++y)
    for (int x = x0 + 1; x < x1; ++x) p.At(x, y) = face;
  Ring(p, x0, y0, x1, y1, 0, frame);
  Ring(p, x0, y0, x1, y1, 1, ring1);
  Ring(p, x0, y0, x1, y1, 2, ring2);
  return p;
}

}  // namespace

forms::Picture StatePicture(Face face) {
  switch (face) {
    case Face::Normal:
      return Framed(FrameBlue, {236, 240, 250}, {250, 250, 255}, {245, 245, 250}, 0);
    case Face::HighLight:
    case Face::HighLightSelect:
      return Framed(FrameBlue, {255, 156, 28}, {255, 204, 120}, {250, 246, 238}, 0);
    case Face::Pressed:
      return Framed(FrameBlue, {112, 122, 150}, {160, 166, 190}, {196, 196, 212}, 1);
    case Face::Selected:
      return Framed(FrameBlue, {96, 168, 240}, {168, 210, 250}, {240, 246, 255}, 0);
    case Face::Disable:
      return Framed(FrameGrey, {244, 243, 238}, {250, 250, 246}, {248, 248, 244}, 0);
  }
  return Picture(StatePictureWidth, StatePictureHeight, Picture::Clear);
}

}  // namespace button
