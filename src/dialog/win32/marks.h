// The settings dialog's pictures, drawn in code: the two 12 x 12 round marks
// of the music choices.
#pragma once

#include "forms/picture.h"

namespace dialog {

constexpr int MarkSize = 12;

// The mark of a choice: an empty ring, or a ring with a dot when selected.
forms::Picture Mark(bool selected);

}  // namespace dialog
