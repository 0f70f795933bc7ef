// The preview form: a borderless black form with one image, the still
// picture of the screen saver; it is made a child of the display control
// panel's preview pane.
#pragma once

#include <windows.h>

#include "common/contract.h"
#include "forms/win32/form.h"

namespace shell {

class PreviewForm : public forms::Form {
 public:
  static constexpr const char* Caption = contract::PreviewCaption;

  PreviewForm();

  // Moves the form into the pane and shows it, covering the pane. False when
  // the handle names no window, or the desktop window (which the preview
  // would cover with nothing to end it): there is nothing to show it in.
  bool ShowIn(HWND pane);

 private:
  forms::Image& still_;
};

}  // namespace shell
