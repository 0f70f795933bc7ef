// A font as the forms keep it: face name (ANSI bytes of its character set,
// Shift-JIS for character set 128), point size and style.
#pragma once

#include <string>

namespace forms {

struct Font {
  std::string Name;
  double Size = 0;  // points
  int Weight = 400;
  bool Italic = false;
  bool Underline = false;
  bool Strikethrough = false;
  int Charset = 0;

  bool operator==(const Font&) const = default;
};

// "ＭＳ Ｐゴシック" 9.75 pt, weight 400, character set 128: the font of the
// dialog's labels and buttons.
inline Font JapaneseUiFont() {
  return Font{
      "\x82l\x82r \x82o\x83S\x83V\x83"
      "b\x83N",
      9.75,
      400,
      false,
      false,
      false,
      128};
}

}  // namespace forms
