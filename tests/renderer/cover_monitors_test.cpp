// What goes black beside the picture, for monitor layouts worked out by hand.
#include "renderer/cover_monitors.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using R = renderer::ScreenRect;

TEST(CoverRects, BlacksOutEveryPartOfEveryMonitorThePictureMisses) {
  const R full{0, 0, 1920, 1080}, right{1920, 0, 3200, 1024}, left{-1280, 0, 0, 1024};
  // What the row shows; the monitors, the picture, what goes black.
  const std::tuple<const char*, std::vector<R>, R, std::vector<R>> rows[] = {
      {"picture exactly on the one monitor", {full}, full, {}},
      {"a taskbar row short, overhanging right",
       {full},
       {0, 0, 1936, 1056},
       {{0, 1056, 1920, 1080}}},
      {"primary listed between the others", {right, full, left}, full, {right, left}},
      {"overhang into the right monitor",
       {full, right},
       {0, 0, 1936, 1096},
       {{1936, 0, 3200, 1024}}},
      {"four bands, above, below, left, right",
       {{0, 0, 100, 100}},
       {10, 20, 70, 90},
       {{0, 0, 100, 20}, {0, 90, 100, 100}, {0, 20, 10, 90}, {70, 20, 100, 90}}},
      {"clones once, a clone of the primary not at all", {full, right, right, full}, full, {right}},
      {"empty and inverted monitors",
       {{5, 5, 5, 100}, {5, 5, 100, 5}, {3200, 0, 1920, 1024}},
       full,
       {}},
      {"no picture: every monitor whole", {full, right}, {}, {full, right}},
  };
  for (const auto& [name, monitors, picture, covers] : rows)
    EXPECT_EQ(renderer::CoverRects(monitors, picture), covers) << name;
}

}  // namespace
