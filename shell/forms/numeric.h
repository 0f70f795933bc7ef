// Numeric text as the forms read it: blanks around it, an optional sign,
// digits with an optional decimal point, an optional exponent ("1e3").
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace forms {

// The value of a numeric text, or nothing for any other text (the empty
// text included).
std::optional<double> ParseNumeric(const std::string& text);

// A numeric text rounded to the nearest integer, ties to even, when the
// result lies within [lo, hi]; nothing otherwise.
std::optional<std::int64_t> RoundNumeric(const std::string& text, std::int64_t lo, std::int64_t hi);

}  // namespace forms
