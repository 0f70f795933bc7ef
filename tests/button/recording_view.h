#pragma once

#include <string>
#include <utility>
#include <vector>

#include "button/command_model.h"

// A button view that remembers what the model asked of it.
struct RecordingView : command::CommandView {
  std::vector<std::pair<command::Face, bool>> faces;
  std::vector<std::string> changed;
  int clicks = 0;
  int captionChanges = 0;
  bool timerStarted = false;

  void DrawFace(command::Face f, bool invert) override { faces.emplace_back(f, invert); }
  void CaptionChanged() override { ++captionChanges; }
  void PropertyChanged(const char* key) override { changed.emplace_back(key); }
  void StartHoverTimer() override { timerStarted = true; }
  void Click() override { ++clicks; }
  void Forget() {
    faces.clear();
    changed.clear();
    clicks = 0;
    captionChanges = 0;
  }
};
