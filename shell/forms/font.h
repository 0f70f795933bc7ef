// A font as the forms keep it: face name (ANSI bytes of its character set,
// Shift-JIS for character set 128), point size and style.
#pragma once

#include <string>

namespace forms {

struct Font {
  std::string name;
  double size = 0;  // points
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  int charset = 0;

  bool operator==(const Font&) const = default;
};

}  // namespace forms
