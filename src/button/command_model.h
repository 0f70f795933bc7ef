// Command: the shell's owner-drawn push button, as a model without any
// window. It keeps the button's properties and its pointer/focus state, and
// tells its view which state picture to draw, with which gradient direction,
// and when to raise Click. The window (command.cpp) is one view; tests use
// another.
#pragma once

#include <cstdint>
#include <string>

#include "forms/font.h"
#include "forms/property_bag.h"

namespace command {

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
  // The caption's text, font, colour or enabled look changed.
  virtual void CaptionChanged() = 0;
  // A property changed: the host saves its design data again.
  virtual void PropertyChanged(const char* key) = 0;
  virtual void StartHoverTimer() = 0;
  virtual void Click() = 0;
};

class CommandModel {
 public:
  explicit CommandModel(CommandView& view) : view_(view) {}

  // Properties. The setters and the Read... members are the host's
  // accesses, with the redraws and notifications each makes; the plain
  // getters only read.
  void Initialize();
  std::uint8_t ReadVisible();
  void SetVisible(std::uint8_t v);
  std::uint32_t FontColour() const { return fontColour_; }
  std::uint32_t ReadFontColour();
  void SetFontColour(std::uint32_t colour);
  bool Enabled() const { return enabled_; }
  // The first read of a button never restored enables it (FirstRun 0 -> 1).
  bool ReadEnabled();
  void SetEnabled(bool on);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& text);
  const forms::Font& Font() const { return font_; }
  void SetFont(const forms::Font& f);

  // Design data.
  void ReadProperties(const forms::PropertyBag& bag, const forms::Font& ambientFont);
  void WriteProperties(forms::PropertyBag& bag, const forms::Font& ambientFont);

  // Pointer, focus and size.
  void Resize() { ShowEnabledState(); }
  void MouseDown(int button);
  void MouseMove();
  void MouseUp(int button);
  void GotFocus();
  void LostFocus();
  // The hover poll found the pointer elsewhere than over the button.
  void PointerLeft();

  // The resting looks.
  void ShowEnabledState();
  void RefreshNormal();

  // Read-only views of the fields, for drawing and tests.
  std::uint8_t ButtonState() const { return buttonState_; }
  bool LeftButtonDown() const { return leftButtonDown_; }
  std::uint8_t FirstRun() const { return firstRun_; }
  std::int16_t FaceStyle() const { return faceStyle_; }
  bool CaptionEnabled() const { return captionEnabled_; }

 private:
  void DrawFace(Face face);
  void SetCaptionEnabled(bool on);

  CommandView& view_;
  bool invertGradient_ = false;
  std::uint8_t firstRun_ = 0;
  bool enabled_ = false;
  std::uint8_t buttonState_ = 0;
  bool leftButtonDown_ = false;
  std::int16_t faceStyle_ = 0;
  std::string caption_;
  forms::Font font_;
  std::uint32_t fontColour_ = 0;
  bool captionEnabled_ = true;
};

}  // namespace command
