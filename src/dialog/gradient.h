// The settings dialog's backgrounds: a vertical gradient shaped by a sine
// arch, dark at the top and bottom edges and light in the middle.
#pragma once

#include <cstdint>
#include <vector>

#include "forms/picture.h"

namespace dialog {

enum class Surface { Dialog, Panel };

// Brightness c of the line at y (0 ... 220) on a surface H units high.
int ArchLevel(double y, double heightUnits);

// Colour of the line at y: (c, c, c + 30) on the dialog, (c + 30) grey on
// the panel.
forms::Rgb LineColour(Surface s, double y, double heightUnits);

// Colour of each pixel row of a surface heightUnits twips high drawn at
// twipsPerPixel: one line per twip, the last line falling into a row gives
// it its colour. Rows that no line reaches keep the colour of the row
// above. Empty for a height of 0 or less.
std::vector<forms::Rgb> GradientRows(Surface s, int heightUnits, int rows, double twipsPerPixel);

}  // namespace dialog
