#include "shell/command_line.h"

#include "common/text_number.h"

namespace command_line {

char ModeLetter(std::string_view args) {
  if (args.size() < 2) return '\0';
  const char c = args[1];
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::int32_t PreviewHandle(std::string_view args) {
  if (args.size() < 4) return 0;
  return text_number::RoundToInt32(text_number::ParseLeading(args.substr(3))).value_or(0);
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

}  // namespace command_line
