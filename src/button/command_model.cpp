#include "button/command_model.h"

#include <limits>

#include "common/text_number.h"

namespace command {

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

std::uint8_t CommandModel::ReadVisible() {
  if (faceStyle_ == 0) return 0;
  RefreshNormal();
  return 255;
}

void CommandModel::SetVisible(std::uint8_t v) {
  if (v != 0) {
    faceStyle_ = 1;
    RefreshNormal();
  } else {
    faceStyle_ = 0;
  }
  view_.PropertyChanged("Visible");
}

std::uint32_t CommandModel::ReadFontColour() {
  const std::uint32_t c = fontColour_;
  RefreshNormal();
  return c;
}

void CommandModel::SetFontColour(std::uint32_t colour) {
  fontColour_ = colour;
  view_.CaptionChanged();
  RefreshNormal();
  view_.PropertyChanged("FontColour");
}

bool CommandModel::ReadEnabled() {
  if (firstRun_ == 0) {
    RefreshNormal();
    firstRun_ = 1;
    enabled_ = true;
  }
  const bool result = enabled_;
  ShowEnabledState();
  return result;
}

void CommandModel::SetEnabled(bool on) {
  enabled_ = on;
  view_.PropertyChanged("Enabled");
  ShowEnabledState();
}

void CommandModel::SetCaption(const std::string& text) {
  caption_ = text;
  view_.CaptionChanged();
  view_.PropertyChanged("Caption");
}

void CommandModel::SetFont(const forms::Font& f) {
  font_ = f;
  view_.CaptionChanged();
  view_.PropertyChanged("Font");
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

void CommandModel::RefreshNormal() {
  if (!enabled_) return;
  SetCaptionEnabled(true);
  if (firstRun_ == 0 && fontColour_ != 0) {
    fontColour_ = 0;
    view_.CaptionChanged();
  }
  DrawFace(Face::Normal);
}

void CommandModel::ReadProperties(const forms::PropertyBag& bag, const forms::Font& ambientFont) {
  // A stored value that does not convert leaves its target as it is.
  if (auto v = forms::ToBoolean(bag.Find("Enabled").value_or("True"))) enabled_ = *v;
  caption_ = bag.Find("Caption").value_or("Command1");
  if (auto s = bag.Find("Font")) {
    if (auto f = forms::ToFont(*s)) font_ = *f;
  } else {
    font_ = ambientFont;
  }
  if (auto v = text_number::RoundWithin(bag.Find("FirstRun").value_or("1"), 0, 255))
    firstRun_ = static_cast<std::uint8_t>(*v);
  if (auto v = text_number::RoundWithin(bag.Find("FontColour").value_or("0"),
                                        std::numeric_limits<std::int32_t>::min(),
                                        std::numeric_limits<std::uint32_t>::max()))
    fontColour_ = static_cast<std::uint32_t>(*v);
  if (auto v = text_number::RoundWithin(bag.Find("Visible").value_or("1"), -32768, 32767))
    faceStyle_ = static_cast<std::int16_t>(*v);
  view_.CaptionChanged();
  RefreshNormal();
}

namespace {

// Writes the value, or leaves the key out when it equals the default.
void Write(forms::PropertyBag& bag, const std::string& key, bool isDefault, std::string text) {
  if (isDefault)
    bag.Remove(key);
  else
    bag.Set(key, std::move(text));
}

}  // namespace

void CommandModel::WriteProperties(forms::PropertyBag& bag, const forms::Font& ambientFont) {
  Write(bag, "Enabled", enabled_, forms::FromBoolean(enabled_));
  Write(bag, "Caption", caption_ == "Command1", caption_);
  Write(bag, "FirstRun", firstRun_ == 1, forms::FromInteger(firstRun_));
  Write(bag, "Font", font_ == ambientFont, forms::FromFont(font_));
  Write(bag, "FontColour", fontColour_ == 0, forms::FromInteger(fontColour_));
  Write(bag, "Visible", faceStyle_ == 1, forms::FromInteger(faceStyle_));
  RefreshNormal();
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

}  // namespace command
