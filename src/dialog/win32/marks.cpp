#include "dialog/win32/marks.h"

#include <cmath>

namespace dialog {

forms::Picture Mark(bool selected) {
  forms::Picture p(MarkSize, MarkSize, forms::Picture::Clear);
  const double c = (MarkSize - 1) / 2.0;
  for (int y = 0; y < MarkSize; ++y) {
    for (int x = 0; x < MarkSize; ++x) {
      const double r = std::hypot(x - c, y - c);
      if (r <= 5.6 && r > 4.4)
        p.At(x, y) = {0, 60, 116};  // ring
      else if (r <= 4.4)
        p.At(x, y) = selected && r <= 2.6 ? forms::Rgb{255, 140, 0} : forms::Rgb{255, 255, 255};
    }
  }
  return p;
}

}  // namespace dialog
