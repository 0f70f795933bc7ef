// The mode letter, the preview handle and what each start does.
#include "shell/command_line.h"

#include <gtest/gtest.h>

namespace {

using command_line::Action;

TEST(CommandLine, ModeLetterIsTheSecondCharacterUpperCased) {
  struct Row {
    const char* args;
    char letter;
  };
  const Row rows[] = {{"/s", 'S'},    {"/S", 'S'},    {"-s", 'S'},      {"xs", 'S'},
                      {"/p 12", 'P'}, {"/P:12", 'P'}, {"/c:1234", 'C'}, {"-C", 'C'},
                      {"/a", 'A'},    {"S", '\0'},    {"", '\0'},       {"//", '/'},
                      {"/1", '1'},    {" s", 'S'},    {"/\xb1", '\xb1'}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.args);
    EXPECT_EQ(command_line::ModeLetter(r.args), r.letter);
  }
}

TEST(CommandLine, PreviewHandleIsTheNumberFromTheFourthCharacter) {
  struct Row {
    const char* args;
    std::int32_t handle;
  };
  const Row rows[] = {
      {"/p 1234", 1234},
      {"/p:1234", 1234},
      {"/P 66002", 66002},
      {"/p", 0},
      {"/p ", 0},
      {"/p abc", 0},
      {"/p 12abc", 12},
      {"/p  77", 77},
      {"/p\t\t5", 5},
      {"/p -5", -5},
      {"/p +9", 9},
      {"/p 2147483647", 2147483647},
      {"/p 2147483648", 0},
      {"/p -2147483648", -2147483647 - 1},
      {"/p 99999999999999999999999", 0},
      {"/p 1e3", 1000},
      {"/p 12.5", 12},
      {"/p 13.5", 14},
      {"/p 7 8", 7},
      {"/p1234", 234},  // the separator is taken to be there
      {"/p .", 0},
      {"/p -", 0},
      {"/p 1e999", 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.args);
    EXPECT_EQ(command_line::PreviewHandle(r.args), r.handle);
  }
}

TEST(CommandLine, ActionForEachMode) {
  struct Row {
    const char* args;
    Action action;
    bool hidesCursor;
  };
  const Row rows[] = {
      {"/p 1234", Action::Preview, false},
      {"/P:1234", Action::Preview, false},
      {"/p", Action::Preview, false},
      {"/c", Action::Configure, false},
      {"/c:1234", Action::Configure, false},
      {"-C", Action::Configure, false},
      {"/s", Action::Run, true},
      {"/S", Action::Run, true},
      {"-s", Action::Run, true},
      {"", Action::Run, false},
      {"/a", Action::End, false},
      {"S", Action::End, false},
      {" ", Action::End, false},
      {"/x 5", Action::End, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.args);
    EXPECT_EQ(command_line::ActionFor(r.args), r.action);
    EXPECT_EQ(command_line::RunHidesCursor(r.args), r.hidesCursor);
  }
}

}  // namespace
