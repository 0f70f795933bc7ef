// The mode letter, the preview handle and what each start does.
#include "shell/command_line.h"

#include <gtest/gtest.h>

namespace {

using command_line::Action;

TEST(CommandLine, EachStart) {
  struct Row {
    const char* args;
    char letter;
    Action action;
    bool hidesCursor;
    std::int32_t handle;
  };
  const Row rows[] = {
      {"/s", 'S', Action::Run, true, 0},
      {"xs", 'S', Action::Run, true, 0},
      {"", '\0', Action::Run, false, 0},
      {"S", '\0', Action::End, false, 0},
      {"/a", 'A', Action::End, false, 0},
      {"/z", 'Z', Action::End, false, 0},
      {"/c:1234", 'C', Action::Configure, false, 1234},
      {"/C 99", 'C', Action::Configure, false, 99},
      {"/p 1234", 'P', Action::Preview, false, 1234},
      {"/p1234", 'P', Action::Preview, false, 234},  // one separator is skipped, whatever it is
      {"/p", 'P', Action::Preview, false, 0},
      {"/p 7", 'P', Action::Preview, false, 7},
      {"/p abc", 'P', Action::Preview, false, 0},
      {"/p \t12abc", 'P', Action::Preview, false, 12},
      {"/p -5", 'P', Action::Preview, false, -5},
      {"/p +.5e1", 'P', Action::Preview, false, 5},
      {"/p 2.5", 'P', Action::Preview, false, 2},  // ties to even
      {"/p 13.5", 'P', Action::Preview, false, 14},
      {"/p 1E3x", 'P', Action::Preview, false, 1000},
      {"/p 7e", 'P', Action::Preview, false, 7},
      {"/p 2147483647", 'P', Action::Preview, false, 2147483647},
      {"/p -2147483648", 'P', Action::Preview, false, -2147483647 - 1},
      {"/p 2147483647.5", 'P', Action::Preview, false, 0},
      {"/p -2147483649", 'P', Action::Preview, false, 0},
      {"/p 1e999", 'P', Action::Preview, false, 0},
      {"/p .", 'P', Action::Preview, false, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.args);
    EXPECT_EQ(command_line::ModeLetter(r.args), r.letter);
    EXPECT_EQ(command_line::ActionFor(r.args), r.action);
    EXPECT_EQ(command_line::RunHidesCursor(r.args), r.hidesCursor);
    EXPECT_EQ(command_line::PreviewHandle(r.args), r.handle);
    EXPECT_EQ(command_line::OwnerHandle(r.args), r.handle);
  }
}

}  // namespace
