#include "nimbrel_r.h"

#include "resources.h"

Nimbrel_R::Nimbrel_R()
    : forms::Form(Caption),
      Img_Prev(*this, static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                                      MAKEINTRESOURCEA(IDB_PREVIEW), IMAGE_BITMAP,
                                                      0, 0, LR_CREATEDIBSECTION))) {}

bool Nimbrel_R::ShowIn(HWND pane) {
  RECT r{};
  if (pane == nullptr || !IsWindow(pane) || !GetWindowRect(pane, &r) || !Loaded()) return false;
  const int width = r.right - r.left, height = r.bottom - r.top;
  // A child window is no pop-up.
  const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
  SetWindowLongA(Handle(), GWL_STYLE, (style & ~WS_POPUP) | WS_CHILD);
  if (SetParent(Handle(), pane) == nullptr) return false;
  Move(0, 0, width, height);
  Img_Prev.Move(0, 0, width, height);
  Show();
  return true;
}
