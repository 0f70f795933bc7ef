// Command: the owner-drawn push button as a child window. It paints its face
// into a persistent surface image (gradient body, border slices from a state
// picture), draws its caption on top, polls the pointer every 100 ms, and
// raises onClick.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "button/command_model.h"
#include "forms/property_bag.h"
#include "forms/win32/form.h"

namespace command {

class Command : public CommandView {
 public:
  // Placed in twips on its container; design holds its stored properties.
  Command(forms::Container& parent, forms::TwipRect r, const forms::PropertyBag& design,
          const forms::Font& ambientFont);
  ~Command() override;
  Command(const Command&) = delete;
  Command& operator=(const Command&) = delete;

  HWND hwnd() const { return hwnd_; }
  CommandModel& model() { return model_; }

  void Initialize() { model_.Initialize(); }
  bool Enabled() { return model_.Enabled(); }
  void SetEnabled(bool on);

  std::function<void()> onClick;

  // CommandView
  void DrawFace(Face face, bool invertGradient) override;
  void CaptionChanged() override;
  void PropertyChanged(const char*) override {}
  void StartHoverTimer() override;
  void Click() override;

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  void FillGradient(bool invert);
  void PaintCaption(HDC dc);
  void Poll();

  HWND hwnd_ = nullptr;
  forms::Twips twips_;
  CommandModel model_;
  forms::MemoryImage surface_;
  forms::Gdi<HFONT> font_;
  forms::Font madeFont_;
  bool timerRunning_ = false;
};

}  // namespace command
