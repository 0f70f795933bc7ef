#include "renderer/audience.h"

namespace renderer {

void Audience::DisplayState(std::uint32_t state) {
  if (state <= 2) displayOff_ = state == 0;
}

void Audience::SessionChange(std::uint32_t change) {
  switch (change) {
    case 1:  // console connect
    case 3:  // remote connect
      away_ = false;
      break;
    case 2:  // console disconnect
    case 4:  // remote disconnect
      away_ = true;
      break;
    case 7:
      locked_ = true;
      break;
    case 8:
      locked_ = false;
      break;
    default:
      break;
  }
}

}  // namespace renderer
