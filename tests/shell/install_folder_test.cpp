// Where the renderer and the settings file are looked for: beside the shell,
// or through Sysnative when the shell sits in the native system folder.
#include "shell/install_folder.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct Files : settings::ProfileStore {
  std::string Read(const std::string&, const std::string&, const std::string&,
                   std::size_t) override {
    return {};
  }
  bool Write(const std::string&, const std::string&, const std::string&,
             const std::string&) override {
    return true;
  }
  bool CanOpen(const std::string& path) override { return there.count(path) != 0; }
  std::set<std::string> there;
};

TEST(InstallFolder, SysnativeOnlyForTheSystemFolderWithoutTheRenderer) {
  const std::string sys = "C:\\Windows\\system32", nat = "C:\\Windows\\Sysnative";
  const std::string there = nat + "\\Vorrasin.dll";
  struct Row {
    std::string program, system, windows;
    std::set<std::string> there;
    std::string folder;
  };
  const Row rows[] = {
      {"C:\\WINDOWS\\System32", sys, "C:\\Windows", {there}, nat},
      {sys, sys + "\\", "C:\\Windows\\", {there}, nat},
      {sys + "\\", sys, "C:\\Windows", {there}, nat},
      {sys, sys, "C:\\Windows", {there, sys + "\\Vorrasin.dll"}, sys},
      {sys, sys, "C:\\Windows", {}, sys},
      {"C:\\Windows\\system33", sys, "C:\\Windows", {there}, "C:\\Windows\\system33"},
      {"C:\\Windows\\system3", sys, "C:\\Windows", {there}, "C:\\Windows\\system3"},
      {"", "", "C:\\Windows", {there}, ""},
      {"Z:\\A", "z:\\a", "z:", {"z:\\Sysnative\\Vorrasin.dll"}, "z:\\Sysnative"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.program + " | " + r.system);
    Files files;
    files.there = r.there;
    EXPECT_EQ(install_folder::DataFolder(files, r.program, r.system, r.windows), r.folder);
  }
}

}  // namespace
