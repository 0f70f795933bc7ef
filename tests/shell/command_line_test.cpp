// The mode letter, the preview handle and what each start does.
#include "shell/command_line.h"

#include <gtest/gtest.h>

namespace {

using namespace shell::command_line;

// The mode, and the preview pane's or the dialog owner's handle as a 32-bit
// and a 64-bit program reads it: a 64-bit host writes handles unsigned, a
// 32-bit one may write them signed; whole numbers are exact beyond 2^53.
TEST(CommandLine, EachStart) {
  struct Row {
    const char* args;
    char letter;
    Action action;
    std::uint64_t handle32, handle64;
  };
  constexpr Action P = Action::Preview;
  const Row rows[] = {
      {"/s", 'S', Action::Run, 0, 0},
      {"xs", 'S', Action::Run, 0, 0},
      {"", '\0', Action::Run, 0, 0},
      {"S", '\0', Action::End, 0, 0},
      {"/z", 'Z', Action::End, 0, 0},
      {"/c:1234", 'C', Action::Configure, 1234, 1234},
      {"/C 99", 'C', Action::Configure, 99, 99},
      {"/p1234", 'P', P, 234, 234},  // one separator is skipped, whatever it is
      {"/p", 'P', P, 0, 0},
      {"/p abc", 'P', P, 0, 0},
      {"/p 7", 'P', P, 7, 7},
      {"/p \t12abc", 'P', P, 12, 12},
      {"/p +.5e1", 'P', P, 5, 5},
      {"/p +5", 'P', P, 5, 5},
      {"/p 2.5", 'P', P, 2, 2},  // ties to even
      {"/p 13.5", 'P', P, 14, 14},
      {"/p 1E3x", 'P', P, 1000, 1000},
      {"/p 7e", 'P', P, 7, 7},
      {"/p 4294967295", 'P', P, 0xFFFFFFFF, 0xFFFFFFFF},
      {"/p 4294967296", 'P', P, 0, 0x100000000},
      {"/p -5", 'P', P, 0xFFFFFFFB, 0xFFFFFFFFFFFFFFFB},
      {"/p -2147483648", 'P', P, 0x80000000, 0xFFFFFFFF80000000},
      {"/p -2147483649", 'P', P, 0, 0xFFFFFFFF7FFFFFFF},
      {"/p 2147483647.5", 'P', P, 0x80000000, 0x80000000},
      {"/p: 18446744073709551615", 'P', P, 0, 0xFFFFFFFFFFFFFFFF},
      {"/p 9007199254740993 ", 'P', P, 0, 0x20000000000001},
      {"/p 18446744073709551617", 'P', P, 0, 0},
      {"/p -9223372036854775808", 'P', P, 0, 0x8000000000000000},
      {"/p -9223372036854775809", 'P', P, 0, 0},
      {"/p 1e19", 'P', P, 0, 10000000000000000000u},
      {"/p 1e20", 'P', P, 0, 0},
      {"/p -1e3", 'P', P, 0xFFFFFC18, 0xFFFFFFFFFFFFFC18},
      {"/p 1e999", 'P', P, 0, 0},
      {"/p -", 'P', P, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.args);
    EXPECT_EQ(ModeLetter(r.args), r.letter);
    EXPECT_EQ(ActionFor(r.args), r.action);
    EXPECT_EQ(RunHidesCursor(r.args), r.letter == 'S');
    EXPECT_EQ(WindowHandle(r.args, 32), r.handle32);
    EXPECT_EQ(WindowHandle(r.args, 64), r.handle64);
  }
  EXPECT_EQ(WindowHandle("/p 5", 0) | WindowHandle("/p 5", 65), 0u);
  // Only the text given is read, whatever follows it in memory.
  EXPECT_EQ(WindowHandle(std::string_view("/p 123", 5), 64), 12u);
}

}  // namespace
