// ASCII letter case and hex digits: the letters' neighbours and Shift-JIS
// bytes stay as they are.
#include "common/ascii.h"

#include <gtest/gtest.h>

namespace {

TEST(Ascii, CaseAndHexDigitsAtTheEdgesOfTheirRanges) {
  const std::string text = "@AZ[`az{09:/Gg\x82\xa0\xe8";
  EXPECT_EQ(common::ascii::Upper(text), "@AZ[`AZ{09:/GG\x82\xa0\xe8");
  std::string lower;
  for (char c : text) lower += common::ascii::Lower(c);
  EXPECT_EQ(lower, "@az[`az{09:/gg\x82\xa0\xe8");
  std::string hex;
  for (char c : std::string("09afAF/:`gG@\x82"))
    hex += std::to_string(common::ascii::HexDigit(c)) + ",";
  EXPECT_EQ(hex, "0,9,10,15,10,15,-1,-1,-1,-1,-1,-1,-1,");
  EXPECT_TRUE(common::ascii::EqualIgnoringCase("C:\\Win", "c:\\wIN"));
  EXPECT_FALSE(common::ascii::EqualIgnoringCase("C:\\Win", "C:\\Win\\"));
  EXPECT_FALSE(common::ascii::EqualIgnoringCase("[", "{"));
}

}  // namespace
