#pragma once

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "shell/settings.h"

using Written = std::tuple<std::string, std::string, std::string, std::string>;

// Private-profile files in memory, with the truncation of the real read call;
// writes of the keys in refused fail; the next write of a key in garbled is kept with a "?" added;
// files in openable open; the user may write anywhere but in readOnly.
class FakeStore : public shell::settings::ProfileStore {
 public:
  std::string Read(const std::string& section, const std::string& key, const std::string& path,
                   std::size_t bufferSize) override {
    const auto it = values.find({path, section, key});
    return it == values.end() ? std::string() : it->second.substr(0, bufferSize - 1);
  }
  bool Write(const std::string& section, const std::string& key, const std::string& value,
             const std::string& path) override {
    writes.push_back({section, key, value, path});
    if (refused.count(key) != 0) return false;
    values[{path, section, key}] = garbled.erase(key) != 0 ? value + "?" : value;
    return true;
  }
  bool CanOpen(const std::string& path) override { return openable.count(path) != 0; }
  bool MayWrite(const std::string& path) override { return readOnly.count(path) == 0; }
  bool MakeFolder(const std::string&) override { return true; }

  std::map<std::tuple<std::string, std::string, std::string>, std::string> values;
  std::set<std::string> openable{"C:\\a.wav", "C:\\" + std::string(297, 'x')};
  std::vector<Written> writes;
  std::set<std::string> refused, garbled, readOnly;  // keys, keys, folders
};
