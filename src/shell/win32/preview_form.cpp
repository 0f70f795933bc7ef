#include "shell/win32/preview_form.h"

#include "shell/win32/resources.h"

namespace shell {

PreviewForm::PreviewForm()
    : forms::Form(Caption), still_(Add<forms::Image>({0, 0, 152 * 15, 112 * 15})) {
  // Drawn unscaled from the pane's top-left corner; black beyond it.
  still_.Show(
      static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_PREVIEW),
                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

bool PreviewForm::ShowIn(HWND pane) {
  RECT r{};
  if (pane == nullptr || pane == GetDesktopWindow() || !IsWindow(pane) ||
      !GetWindowRect(pane, &r) || !Loaded())
    return false;
  const int width = r.right - r.left, height = r.bottom - r.top;
  // A child window is no pop-up.
  const LONG style = GetWindowLongA(Hwnd(), GWL_STYLE);
  SetWindowLongA(Hwnd(), GWL_STYLE, (style & ~WS_POPUP) | WS_CHILD);
  if (SetParent(Hwnd(), pane) == nullptr) return false;
  MovePixels(0, 0, width, height);
  Show();
  return true;
}

}  // namespace shell
