// The dialog's owner-drawn push button as a model without any window. It
// keeps the button's caption, font and enabled state and its pointer/focus
// state, and tells its view which state picture to draw, with which gradient
// direction, and when to raise Click. The window (command.cpp) is one view;
// tests use another.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "forms/font.h"

namespace button {

// The six state pictures.
enum class Face : std::uint8_t { Normal, HighLight, Pressed, Disable, HighLightSelect, Selected };

// ButtonState values; 0 before Initialize.
enum : std::uint8_t { Idle = 1, Hover = 2, Focused = 3, FocusedHover = 4 };

// Mouse buttons as the mouse handlers receive them.
enum : int { LeftButton = 1, RightButton = 2, MiddleButton = 4 };

class CommandView {
 public:
  virtual ~CommandView() = default;
  // Redraw the whole face from this picture; invertGradient runs the body
  // from the tint at the top to white at the bottom.
  virtual void DrawFace(Face face, bool invertGradient) = 0;
  // The caption's enabled look changed.
  virtual void CaptionChanged() = 0;
  virtual void StartHoverTimer() = 0;
  virtual void Click() = 0;
};

class CommandModel {
 public:
  // An enabled button with this caption (Shift-JIS bytes) in this font.
  CommandModel(CommandView& view, std::string caption, const forms::Font& font)
      : view_(view), caption_(std::move(caption)), font_(font) {}

  void Initialize();
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  const std::string& Caption() const { return caption_; }
  const forms::Font& Font() const { return font_; }

  // Pointer, focus and size.
  void Resize() { ShowEnabledState(); }
  void MouseDown(int button);
  void MouseMove();
  void MouseUp(int button);
  void GotFocus();
  void LostFocus();
  // The hover poll found the pointer elsewhere than over the button.
  void PointerLeft();

  // The resting look: the normal face, or the disabled one.
  void ShowEnabledState();

  // Read-only views of the fields, for drawing and tests.
  std::uint8_t ButtonState() const { return buttonState_; }
  bool LeftButtonDown() const { return leftButtonDown_; }
  bool CaptionEnabled() const { return captionEnabled_; }

 private:
  void DrawFace(Face face);
  void SetCaptionEnabled(bool on);

  CommandView& view_;
  std::string caption_;
  forms::Font font_;
  bool invertGradient_ = false;
  bool enabled_ = true;
  std::uint8_t buttonState_ = 0;
  bool leftButtonDown_ = false;
  bool captionEnabled_ = true;
};

}  // namespace button
