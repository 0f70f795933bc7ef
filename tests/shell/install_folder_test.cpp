// Where the renderer and the settings file are looked for: beside the shell,
// or through Sysnative when the shell sits in the native system folder.
#include "shell/install_folder.h"

#include <gtest/gtest.h>

#include <set>

namespace {

class FilesStore : public settings::ProfileStore {
 public:
  explicit FilesStore(std::set<std::string> files) : files_(std::move(files)) {}
  std::string Read(const std::string&, const std::string&, const std::string&,
                   std::size_t) override {
    return {};
  }
  void Write(const std::string&, const std::string&, const std::string&,
             const std::string&) override {}
  bool CanOpen(const std::string& path) override { return files_.count(path) != 0; }

 private:
  std::set<std::string> files_;
};

TEST(InstallFolder, SysnativeOnlyForTheSystemFolderWithoutTheRenderer) {
  const std::string native = "C:\\Windows\\Sysnative\\Vorrasin.dll";
  struct Row {
    const char *program, *system, *windows;
    std::set<std::string> files;
    const char* folder;
  };
  const Row rows[] = {
      {"C:\\WINDOWS\\System32",
       "C:\\Windows\\system32",
       "C:\\Windows",
       {native},
       "C:\\Windows\\Sysnative"},
      {"C:\\Windows\\system32",
       "C:\\Windows\\system32\\",
       "C:\\Windows\\",
       {native},
       "C:\\Windows\\Sysnative"},
      {"C:\\Windows\\system32\\",
       "C:\\Windows\\system32",
       "C:\\Windows",
       {native},
       "C:\\Windows\\Sysnative"},
      {"C:\\Windows\\system32",
       "C:\\Windows\\system32",
       "C:\\Windows",
       {native, "C:\\Windows\\system32\\Vorrasin.dll"},
       "C:\\Windows\\system32"},
      {"C:\\Windows\\system32",
       "C:\\Windows\\system32",
       "C:\\Windows",
       {},
       "C:\\Windows\\system32"},
      {"C:\\Windows\\system33",
       "C:\\Windows\\system32",
       "C:\\Windows",
       {native},
       "C:\\Windows\\system33"},
      {"C:\\Windows\\system3",
       "C:\\Windows\\system32",
       "C:\\Windows",
       {native},
       "C:\\Windows\\system3"},
      {"C:\\Saver", "C:\\Windows\\system32", "C:\\Windows", {native}, "C:\\Saver"},
      {"", "", "C:\\Windows", {native}, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.program << " | " << r.system);
    FilesStore store(r.files);
    EXPECT_EQ(install_folder::DataFolder(store, r.program, r.system, r.windows), r.folder);
  }
}

}  // namespace
