// What goes black beside the picture, for monitor layouts worked out by hand.
#include "renderer/cover_monitors.h"

#include <gtest/gtest.h>

namespace {

using gdi::CoverRects;
using gdi::ScreenRect;

struct Layout {
  const char* name;
  std::vector<ScreenRect> monitors;
  ScreenRect picture;
  std::vector<ScreenRect> covers;
};

TEST(CoverRects, BlacksOutEveryPartOfEveryMonitorThePictureMisses) {
  const ScreenRect full{0, 0, 1920, 1080};
  const ScreenRect right{1920, 0, 3200, 1024};
  const Layout layouts[] = {
      {"one monitor, picture exactly on it", {full}, full, {}},
      {"one monitor, picture larger all round", {full}, {-8, -8, 1928, 1088}, {}},
      {"picture a taskbar short, overhanging right",
       {full},
       {0, 0, 1936, 1056},
       {{0, 1056, 1920, 1080}}},
      {"second monitor on the right", {full, right}, full, {right}},
      {"primary listed second", {right, full}, full, {right}},
      {"picture overhangs into the right monitor",
       {full, right},
       {0, 0, 1936, 1096},
       {{1936, 0, 3200, 1024}}},
      {"monitors left of and above the primary",
       {{-1280, 0, 0, 1024}, {0, -768, 1024, 0}, full},
       full,
       {{-1280, 0, 0, 1024}, {0, -768, 1024, 0}}},
      {"picture inside the monitor: four bands",
       {{0, 0, 100, 100}},
       {10, 20, 70, 90},
       {{0, 0, 100, 20}, {0, 90, 100, 100}, {0, 20, 10, 90}, {70, 20, 100, 90}}},
      {"picture across the top left corner",
       {{0, 0, 100, 100}},
       {-5, -5, 40, 30},
       {{0, 30, 100, 100}, {40, 0, 100, 30}}},
      {"clones listed once, a clone of the primary not at all",
       {full, right, right, full},
       full,
       {right}},
      {"empty and inverted monitors skipped",
       {{5, 5, 5, 100}, {5, 5, 100, 5}, {3200, 0, 1920, 1024}, right},
       full,
       {right}},
      {"no picture: every monitor whole", {full, right}, {0, 0, 0, 0}, {full, right}},
      {"no monitors", {}, full, {}},
  };
  for (const Layout& l : layouts) {
    SCOPED_TRACE(l.name);
    EXPECT_EQ(CoverRects(l.monitors, l.picture), l.covers);
  }
}

}  // namespace
