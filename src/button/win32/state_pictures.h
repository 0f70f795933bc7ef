// The button's six 64 x 25 state pictures, drawn in code. Only their outer
// 4-pixel band is ever shown: it is cut into corners and edges that frame
// the button's gradient body.
#pragma once

#include "button/command_model.h"
#include "forms/picture.h"

namespace button {

constexpr int StatePictureWidth = 64;
constexpr int StatePictureHeight = 25;

forms::Picture StatePicture(Face face);

}  // namespace button
