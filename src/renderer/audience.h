// Whether anyone can see the picture, from what the system says about the
// display and the session. While nobody can, the renderer draws nothing: a
// display switched off by the power plan, a session that is locked, or one
// that is not the console's (another user switched in) or was disconnected
// from its remote desktop.
#pragma once

#include <cstdint>

namespace renderer {

class Audience {
 public:
  // The display's power state as the power notifications give it:
  // 0 off, 1 on, 2 dimmed (still seen). Other values change nothing.
  void DisplayState(std::uint32_t state);
  // A session change as its notification gives it: 1/3 console/remote
  // connect, 2/4 console/remote disconnect, 7 lock, 8 unlock. Other codes
  // (log-on, log-off, remote control) change nothing.
  void SessionChange(std::uint32_t change);
  bool CanSee() const { return !displayOff_ && !away_ && !locked_; }

 private:
  bool displayOff_ = false;
  bool away_ = false;
  bool locked_ = false;
};

}  // namespace renderer
