// A rectangle in twips (1/1440 inch), as the forms place their controls and
// the button cuts its pictures.
#pragma once

namespace forms {

struct TwipRect {
  int Left, Top, Width, Height;
};

}  // namespace forms
