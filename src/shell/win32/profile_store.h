// The settings file through the system's private-profile calls (ANSI forms,
// so names and values stay in the bytes Japanese Windows stores).
#pragma once

#include <string>

#include "shell/settings.h"

namespace shell {

class Win32ProfileStore : public settings::ProfileStore {
 public:
  std::string Read(const std::string& section, const std::string& key, const std::string& path,
                   std::size_t bufferSize) override;
  bool Write(const std::string& section, const std::string& key, const std::string& value,
             const std::string& path) override;
  bool CanOpen(const std::string& path) override;
  bool MayWrite(const std::string& path) override;
  bool MakeFolder(const std::string& path) override;
};

// The folder of the running program, without a trailing separator.
std::string ProgramFolder();

}  // namespace shell
