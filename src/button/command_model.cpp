#include "button/command_model.h"

namespace button {

void CommandModel::DrawFace(Face face) {
  if (buttonState_ == Idle || buttonState_ == Focused) invertGradient_ = false;
  if (buttonState_ == Hover) invertGradient_ = true;
  view_.DrawFace(face, invertGradient_);
}

void CommandModel::SetCaptionEnabled(bool on) {
  if (captionEnabled_ == on) return;
  captionEnabled_ = on;
  view_.CaptionChanged();
}

void CommandModel::Initialize() {
  buttonState_ = Idle;
  view_.StartHoverTimer();
}

void CommandModel::SetEnabled(bool on) {
  enabled_ = on;
  ShowEnabledState();
}

void CommandModel::ShowEnabledState() {
  if (enabled_) {
    DrawFace(Face::Normal);
    SetCaptionEnabled(true);
  } else {
    DrawFace(Face::Disable);
    SetCaptionEnabled(false);
  }
}

void CommandModel::MouseDown(int button) {
  if (!enabled_) return;
  if (button == LeftButton) {
    leftButtonDown_ = true;
    DrawFace(Face::Pressed);
  }
}

void CommandModel::MouseMove() {
  if (!enabled_) return;
  if (buttonState_ == Idle) {
    buttonState_ = Hover;
    DrawFace(Face::HighLight);
  }
  if (buttonState_ == Focused && !leftButtonDown_) {
    buttonState_ = FocusedHover;
    DrawFace(Face::HighLightSelect);
  }
}

void CommandModel::MouseUp(int button) {
  if (!enabled_) return;
  if (button == LeftButton) {
    leftButtonDown_ = false;
    if (buttonState_ == Hover) DrawFace(Face::Normal);
    if (buttonState_ == FocusedHover) DrawFace(Face::HighLightSelect);
  }
  if (buttonState_ != Focused && enabled_) view_.Click();
}

void CommandModel::GotFocus() {
  if (!enabled_) return;
  if (buttonState_ != Hover) {
    buttonState_ = Focused;
    DrawFace(Face::Selected);
  }
  if (buttonState_ == Hover) {
    buttonState_ = FocusedHover;
    DrawFace(Face::Pressed);
  }
}

void CommandModel::LostFocus() {
  if (!enabled_) return;
  if (buttonState_ != Idle) {
    buttonState_ = Idle;
    DrawFace(Face::Normal);
  }
}

void CommandModel::PointerLeft() {
  if (!enabled_) return;
  if (buttonState_ == Hover) {
    buttonState_ = Idle;
    DrawFace(Face::Normal);
  }
  if (buttonState_ == FocusedHover) {
    buttonState_ = Focused;
    DrawFace(Face::Selected);
  }
}

}  // namespace button
