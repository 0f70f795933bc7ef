// The owner-drawn push button as a child window. It paints its face
// into a persistent surface image (gradient body, border slices from a state
// picture), draws its caption on top, polls the pointer every 100 ms, and
// raises OnClick.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "button/command_model.h"
#include "forms/win32/form.h"
#include "forms/win32/window.h"

namespace button {

class Command : public forms::Window, private CommandView {
 public:
  // Placed in twips on its container, with this caption (Shift-JIS bytes)
  // in this font.
  Command(forms::Container& parent, forms::TwipRect r, std::string caption,
          const forms::Font& font);
  ~Command() override;

  CommandModel& Model() { return model_; }
  void Initialize() { model_.Initialize(); }
  void SetEnabled(bool on);

  std::function<void()> OnClick;

 private:
  // CommandView
  void DrawFace(Face face, bool invertGradient) override;
  void CaptionChanged() override;
  void StartHoverTimer() override;
  void Click() override;

  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  // Makes the surface the size of the window and draws the resting face.
  void FitSurface();
  void FillGradient(bool invert);
  void PaintCaption(HDC dc);
  void Poll();

  forms::Twips twips_;
  CommandModel model_;
  forms::MemoryImage surface_;
  forms::FontCache font_;
  bool timerRunning_ = false;
};

}  // namespace button
