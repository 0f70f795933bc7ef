#pragma once

#include <string>

#include "button/command_model.h"

// A button view that writes down what the model asks of it, in order: a face
// by letter (N Normal, H HighLight, P Pressed, D Disable, L HighLightSelect,
// S Selected; "~" when the body runs from the tint at the top), "caption",
// "=Key" for a changed property, "timer" and "click".
struct RecordingView : command::CommandView {
  std::string log;
  void DrawFace(command::Face f, bool invert) override {
    log += std::string(" ") + "NHPDLS"[static_cast<int>(f)] + (invert ? "~" : "");
  }
  void CaptionChanged() override { log += " caption"; }
  void PropertyChanged(const char* key) override { log += std::string(" =") + key; }
  void StartHoverTimer() override { log += " timer"; }
  void Click() override { log += " click"; }
};
