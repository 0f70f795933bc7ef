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
  };
  const Row rows[] = {
      {"/s", 'S', Action::Run, true},
      {"xs", 'S', Action::Run, true},
      {"", '\0', Action::Run, false},
      {"S", '\0', Action::End, false},
      {"/a", 'A', Action::End, false},
      {"/z", 'Z', Action::End, false},
      {"/c:1234", 'C', Action::Configure, false},
      {"/C 99", 'C', Action::Configure, false},
      {"/p 1234", 'P', Action::Preview, false},
      {"/P", 'P', Action::Preview, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.args);
    EXPECT_EQ(command_line::ModeLetter(r.args), r.letter);
    EXPECT_EQ(command_line::ActionFor(r.args), r.action);
    EXPECT_EQ(command_line::RunHidesCursor(r.args), r.hidesCursor);
  }
}

// The preview pane's or the dialog owner's handle, in a 32-bit and a 64-bit
// program.
TEST(CommandLine, WindowHandleOfEachWidth) {
  struct Row {
    const char* args;
    std::uint64_t handle32, handle64;
  };
  const Row rows[] = {
      {"/c:1234", 1234, 1234},
      {"/C 99", 99, 99},
      {"/p1234", 234, 234},  // one separator is skipped, whatever it is
      {"/p", 0, 0},
      {"/p 7", 7, 7},
      {"/p abc", 0, 0},
      {"/p \t12abc", 12, 12},
      {"/p +.5e1", 5, 5},
      {"/p 2.5", 2, 2},  // ties to even
      {"/p 13.5", 14, 14},
      {"/p 1E3x", 1000, 1000},
      {"/p 7e", 7, 7},
      {"/p 2147483647", 0x7FFFFFFF, 0x7FFFFFFF},
      // A 64-bit host writes handles unsigned; a 32-bit one may write them signed.
      {"/p 4294967295", 0xFFFFFFFF, 0xFFFFFFFF},
      {"/p 4294967296", 0, 0x100000000},
      {"/p -5", 0xFFFFFFFB, 0xFFFFFFFFFFFFFFFB},
      {"/p -2147483648", 0x80000000, 0xFFFFFFFF80000000},
      {"/p -2147483649", 0, 0xFFFFFFFF7FFFFFFF},
      {"/p 2147483647.5", 0x80000000, 0x80000000},
      // Whole numbers are exact beyond the 53 bits of a double.
      {"/p 18446744073709551615", 0, 0xFFFFFFFFFFFFFFFF},
      {"/p 9007199254740993", 0, 0x20000000000001},
      {"/p 18446744073709551616", 0, 0},
      {"/p 99999999999999999999999", 0, 0},
      {"/p -9223372036854775808", 0, 0x8000000000000000},
      {"/p -9223372036854775809", 0, 0},
      {"/p 1e19", 0, 10000000000000000000u},
      {"/p 1e20", 0, 0},
      {"/p -1e3", 0xFFFFFC18, 0xFFFFFFFFFFFFFC18},
      {"/p 1e999", 0, 0},
      {"/p .", 0, 0},
      {"/p -", 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.args);
    EXPECT_EQ(command_line::WindowHandle(r.args, 32), r.handle32);
    EXPECT_EQ(command_line::WindowHandle(r.args, 64), r.handle64);
  }
}

}  // namespace
