// The mouse cursor hidden while an object lives: shown again exactly once,
// by Restore or at the latest with the object.
#pragma once

#include <windows.h>

namespace common {

class HiddenCursor {
 public:
  // hide false: nothing is hidden, and nothing is shown again.
  explicit HiddenCursor(bool hide = true) : hidden_(hide) {
    if (hidden_) ShowCursor(FALSE);
  }
  HiddenCursor(const HiddenCursor&) = delete;
  HiddenCursor& operator=(const HiddenCursor&) = delete;
  ~HiddenCursor() { Restore(); }
  void Restore() {
    if (hidden_) ShowCursor(TRUE);
    hidden_ = false;
  }

 private:
  bool hidden_;
};

}  // namespace common
