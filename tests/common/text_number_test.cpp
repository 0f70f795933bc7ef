// Numbers in text as the settings file, the command line and the multimedia
// library's replies hold them: plain decimal notation, no locale.
#include "common/text_number.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

namespace {

using common::text_number::Parse;

TEST(TextNumber, WholeTextAndLeadingNumber) {
  const std::optional<double> none;
  // The text, then Parse and ParseLeading.
  const std::tuple<const char*, std::optional<double>, double> rows[] = {
      {"1.9", 1.9, 1.9},  {" 2e1\t", 20, 20},  {"+.5", .5, .5},    {"-0.5", -.5, -.5},
      {"7E+2", 700, 700}, {"12abc", none, 12}, {"1,5", none, 1},   {"1.2.3", none, 1.2},
      {"7e", none, 7},    {"0x10", none, 0},   {"abc", none, 0},   {".", none, 0},
      {"-", none, 0},     {"", none, 0},       {"1e999", none, 0}, {"\t-3 ", -3, -3},
  };
  for (const auto& [text, whole, leading] : rows) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Parse(text), whole);
    EXPECT_EQ(common::text_number::ParseLeading(text), leading);
  }
  // Only the text given is read, whatever follows it in memory.
  EXPECT_EQ(Parse(std::string_view("5.5", 1)), 5);
  EXPECT_EQ(Parse(std::string_view(" \t 5", 2)), std::nullopt);
}

TEST(TextNumber, RoundedIntoARange) {
  using common::text_number::FloorToInt16;
  EXPECT_EQ(FloorToInt16(32767.99), 32767);
  EXPECT_EQ(FloorToInt16(-0.5), -1);
  EXPECT_EQ(FloorToInt16(-32768), -32768);
  EXPECT_EQ(FloorToInt16(-32768.5), std::nullopt);
  EXPECT_EQ(FloorToInt16(32768), std::nullopt);
  // Ties to even, then within the bounds.
  const std::optional<std::int64_t> none;
  const std::tuple<const char*, std::optional<std::int64_t>> rows[] = {
      {"2.5", 2}, {"3.5", 4},     {"-0.5", 0},    {"10.4", 10}, {"10.5", 10},
      {"-1", -1}, {"-1.6", none}, {"11.5", none}, {"x", none},
  };
  for (const auto& [text, rounded] : rows)
    EXPECT_EQ(common::text_number::RoundWithin(text, -1, 10), rounded) << text;
}

}  // namespace
