// Numbers written as text, read the way the shell reads them everywhere: the
// settings file, the command line and the multimedia library's replies.
// Plain decimal notation only (optional blanks, sign, digits, one '.',
// exponent); no grouping separators and no locale, so a file reads the same
// on every machine.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace common::text_number {

// The whole text as a number; nothing when it is not one (or is empty, or
// does not fit a double).
std::optional<double> Parse(std::string_view text);

// The number at the start of the text, after blanks; 0 when there is none.
double ParseLeading(std::string_view text);

// Rounded down, when that fits a 16-bit signed integer.
std::optional<std::int16_t> FloorToInt16(double value);

// A whole text that is a number, rounded to the nearest integer (ties to
// even), when the result lies within [lo, hi].
std::optional<std::int64_t> RoundWithin(std::string_view text, std::int64_t lo, std::int64_t hi);

}  // namespace common::text_number
