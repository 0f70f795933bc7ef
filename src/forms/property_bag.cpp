#include "forms/property_bag.h"

#include <algorithm>
#include <cstdio>

#include "common/text_number.h"

namespace forms {
namespace {

std::string Escape(const std::string& s, bool semicolons) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case ';':
        out += semicolons ? "\\s" : ";";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Unescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    switch (s[++i]) {
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 's':
        out += ';';
        break;
      default:
        out += s[i];
    }
  }
  return out;
}

// Splits at ';' that are not escaped.
std::vector<std::string> SplitFields(const std::string& s) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      parts.back() += s[i];
      parts.back() += s[++i];
    } else if (s[i] == ';') {
      parts.emplace_back();
    } else {
      parts.back() += s[i];
    }
  }
  return parts;
}

}  // namespace

std::optional<std::string> PropertyBag::Find(const std::string& key) const {
  const auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

void PropertyBag::Set(const std::string& key, std::string text) {
  if (values_.find(key) == values_.end()) order_.push_back(key);
  values_[key] = std::move(text);
}

void PropertyBag::Remove(const std::string& key) {
  if (values_.erase(key) != 0) order_.erase(std::find(order_.begin(), order_.end(), key));
}

std::string PropertyBag::Save() const {
  std::string out;
  for (const std::string& key : order_)
    out += Escape(key, false) + "=" + Escape(values_.at(key), false) + "\n";
  return out;
}

PropertyBag PropertyBag::Load(const std::string& stored) {
  PropertyBag bag;
  std::size_t start = 0;
  while (start < stored.size()) {
    std::size_t end = stored.find('\n', start);
    if (end == std::string::npos) end = stored.size();
    std::string line = stored.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    bag.Set(Unescape(line.substr(0, eq)), Unescape(line.substr(eq + 1)));
  }
  return bag;
}

std::optional<bool> ToBoolean(const std::string& text) {
  std::string t;
  for (char c : text)
    if (c != ' ') t += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (t == "true") return true;
  if (t == "false") return false;
  const std::optional<double> v = text_number::Parse(text);
  if (!v) return std::nullopt;
  return *v != 0;
}

std::string FromBoolean(bool v) { return v ? "True" : "False"; }

std::string FromInteger(std::int64_t v) { return std::to_string(v); }

std::string FromFont(const Font& f) {
  char size[32];
  std::snprintf(size, sizeof size, "%.17g", f.Size);
  return Escape(f.Name, true) + ";" + size + ";" + std::to_string(f.Weight) + ";" +
         FromBoolean(f.Italic) + ";" + FromBoolean(f.Underline) + ";" +
         FromBoolean(f.Strikethrough) + ";" + std::to_string(f.Charset);
}

std::optional<Font> ToFont(const std::string& text) {
  const std::vector<std::string> p = SplitFields(text);
  if (p.size() != 7) return std::nullopt;
  Font f;
  f.Name = Unescape(p[0]);
  const std::optional<double> size = text_number::Parse(p[1]);
  const std::optional<std::int64_t> weight = text_number::RoundWithin(p[2], 0, 1000);
  const std::optional<bool> italic = ToBoolean(p[3]), underline = ToBoolean(p[4]),
                            strike = ToBoolean(p[5]);
  const std::optional<std::int64_t> charset = text_number::RoundWithin(p[6], 0, 255);
  if (!size || *size <= 0 || *size > 2048 || !weight || !italic || !underline || !strike ||
      !charset)
    return std::nullopt;
  f.Size = *size;
  f.Weight = static_cast<int>(*weight);
  f.Italic = *italic;
  f.Underline = *underline;
  f.Strikethrough = *strike;
  f.Charset = static_cast<int>(*charset);
  return f;
}

}  // namespace forms
