#include "common/text_number.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace common::text_number {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the number at the start of s (sign, digits, '.', exponent), 0 if
// none is there.
std::size_t NumberLength(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    const std::size_t first = j;
    while (j < s.size() && IsDigit(s[j])) ++j;
    if (j > first) i = j;
  }
  return i;
}

std::optional<double> Convert(std::string_view number) {
  const std::string copy(number);  // strtod needs the NUL
  const double v = std::strtod(copy.c_str(), nullptr);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

}  // namespace

std::optional<double> Parse(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  const std::string_view body = text.substr(b, e - b);
  const std::size_t n = NumberLength(body);
  if (n == 0 || n != body.size()) return std::nullopt;
  return Convert(body);
}

double ParseLeading(std::string_view text) {
  std::size_t b = 0;
  while (b < text.size() && IsBlank(text[b])) ++b;
  const std::string_view body = text.substr(b);
  const std::size_t n = NumberLength(body);
  if (n == 0) return 0;
  return Convert(body.substr(0, n)).value_or(0);
}

std::optional<std::int16_t> FloorToInt16(double value) {
  const double f = std::floor(value);
  if (!(f >= -32768.0 && f <= 32767.0)) return std::nullopt;
  return static_cast<std::int16_t>(f);
}

std::optional<std::int64_t> RoundWithin(std::string_view text, std::int64_t lo, std::int64_t hi) {
  const std::optional<double> v = Parse(text);
  if (!v) return std::nullopt;
  const double r = std::nearbyint(*v);
  if (!(r >= static_cast<double>(lo) && r <= static_cast<double>(hi))) return std::nullopt;
  return static_cast<std::int64_t>(r);
}

}  // namespace common::text_number
