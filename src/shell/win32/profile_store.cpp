#include "shell/win32/profile_store.h"

#include <windows.h>

#include <vector>

#include "common/win32/unique_handle.h"

namespace shell {

std::string Win32ProfileStore::Read(const std::string& section, const std::string& key,
                                    const std::string& path, std::size_t bufferSize) {
  std::vector<char> buffer(bufferSize, '\0');
  GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(),
                           static_cast<DWORD>(buffer.size()), path.c_str());
  buffer.back() = '\0';
  return buffer.data();
}

bool Win32ProfileStore::Write(const std::string& section, const std::string& key,
                              const std::string& value, const std::string& path) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) !=
         FALSE;
}

bool Win32ProfileStore::CanOpen(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return false;
  const common::UniqueHandle file(CreateFileA(
      path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

bool Win32ProfileStore::MayWrite(const std::string& path) {
  // Asked the way a write asks, so that the answer is the system's own: its
  // access rights, a read-only file, a folder of that name, and for a 32-bit
  // program without an execution level the redirection of writes to the
  // user's VirtualStore. A missing file is made and at once removed again.
  const bool exists = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  const common::UniqueHandle file(CreateFileA(
      path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      exists ? OPEN_EXISTING : CREATE_NEW,
      exists ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
      nullptr));
  return static_cast<bool>(file) || GetLastError() != ERROR_ACCESS_DENIED;
}

bool Win32ProfileStore::MakeFolder(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) return true;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string ProgramFolder() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      const std::string full(path.data(), n);
      const std::size_t slash = full.find_last_of("\\/");
      return slash == std::string::npos ? std::string() : full.substr(0, slash);
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace shell
