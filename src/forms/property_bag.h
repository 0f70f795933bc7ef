// A property bag: the named values a control keeps in its host form's stored
// design data. Values are kept as text; a font is kept as one text value.
//
// Stored format (Save/Load): UTF-8-agnostic bytes, one property a line,
//   Key=Value
// where the value has backslash, carriage return and line feed escaped as
// \\, \r and \n. A font value reads
//   name;size;weight;italic;underline;strikethrough;charset
// with the name escaped the same way and ';' in it as \s. Lines without '='
// are ignored, so a garbled bag restores defaults rather than failing.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "forms/font.h"

namespace forms {

class PropertyBag {
 public:
  // A stored value, or nothing when the key is absent.
  std::optional<std::string> Find(const std::string& key) const;
  void Set(const std::string& key, std::string text);
  void Remove(const std::string& key);
  // Keys in the order they were first written.
  const std::vector<std::string>& Keys() const { return order_; }

  std::string Save() const;
  static PropertyBag Load(const std::string& stored);

 private:
  std::map<std::string, std::string> values_;
  std::vector<std::string> order_;
};

// Conversions between stored text and the types controls use. Each returns
// nothing when the text does not convert, so the caller can leave its target
// unchanged.
std::optional<bool> ToBoolean(const std::string& text);
std::optional<Font> ToFont(const std::string& text);
std::string FromBoolean(bool v);  // "True" / "False"
std::string FromInteger(std::int64_t v);
std::string FromFont(const Font& f);

}  // namespace forms
