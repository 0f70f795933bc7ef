#include "shell/command_line.h"

#include <cmath>

#include "common/ascii.h"
#include "common/text_number.h"

namespace shell::command_line {

char ModeLetter(std::string_view args) {
  if (args.size() < 2) return '\0';
  return common::ascii::Upper(args[1]);
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A number given by its sign and size as a handle of handleBits bits; 0 when
// it does not fit.
std::uint64_t AsHandle(bool negative, std::uint64_t size, unsigned handleBits) {
  const std::uint64_t all =
      handleBits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << handleBits) - 1;
  if (!negative) return size <= all ? size : 0;
  const std::uint64_t mostNegative = std::uint64_t{1} << (handleBits - 1);
  return size <= mostNegative ? (0 - size) & all : 0;
}

}  // namespace

std::uint64_t WindowHandle(std::string_view args, unsigned handleBits) {
  if (args.size() < 4 || handleBits == 0 || handleBits > 64) return 0;
  std::string_view text = args.substr(3);
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  std::size_t i = text.empty() || (text[0] != '+' && text[0] != '-') ? 0 : 1;
  const bool negative = i == 1 && text[0] == '-';
  std::uint64_t size = 0;
  bool tooBig = false;
  const std::size_t firstDigit = i;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    const auto digit = static_cast<std::uint64_t>(text[i] - '0');
    tooBig = tooBig || size > (~std::uint64_t{0} - digit) / 10;
    size = size * 10 + digit;
  }
  const bool whole =
      i > firstDigit && (i == text.size() || (text[i] != '.' && text[i] != 'e' && text[i] != 'E'));
  if (whole) return tooBig ? 0 : AsHandle(negative, size, handleBits);
  // Anything else through the double reading of numbers: exact up to 2^53.
  const double rounded = std::nearbyint(common::text_number::ParseLeading(text));
  if (!(std::fabs(rounded) < 18446744073709551616.0)) return 0;
  return AsHandle(rounded < 0, static_cast<std::uint64_t>(std::fabs(rounded)), handleBits);
}

Action ActionFor(std::string_view args) {
  switch (ModeLetter(args)) {
    case 'P':
      return Action::Preview;
    case 'C':
      return Action::Configure;
    case 'S':
      return Action::Run;
    default:
      return args.empty() ? Action::Run : Action::End;
  }
}

bool RunHidesCursor(std::string_view args) { return ModeLetter(args) == 'S'; }

}  // namespace shell::command_line
