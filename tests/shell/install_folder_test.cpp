// Where the renderer and the settings file are looked for: beside the shell,
// or through Sysnative when the shell sits in the native system folder; and
// the user's own settings file where the user may not write beside the shell.
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
  bool MayWrite(const std::string& path) override { return refused.count(path) == 0; }
  bool MakeFolder(const std::string&) override { return true; }
  std::set<std::string> there, refused;
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

TEST(InstallFolder, SettingsOfTheirOwnOnlyForAUserWhoMayNotWriteBesideTheShell) {
  const std::string data = "C:\\Windows\\System32", beside = data + "\\Vorrasin.ini";
  const std::string user = "C:\\Users\\Ann\\AppData\\Roaming\\Vorrasin";
  const std::string own = user + "\\Vorrasin.ini";
  struct Row {
    const char* what;
    std::string userFolder;
    bool mayWriteBeside;
    std::set<std::string> there;
    std::string readFrom, saveTo, makeFirst;
  };
  const Row rows[] = {
      {"may write", user, true, {beside, own}, beside, beside, ""},
      {"may write, none yet", user, true, {}, beside, beside, ""},
      {"refused, first save", user, false, {}, beside, own, user},
      {"refused, the administrator's file", user, false, {beside}, beside, own, user},
      {"refused, own file made", user, false, {beside, own}, own, own, ""},
      {"refused, own file trailing slash", user + "\\", false, {own}, own, own, ""},
      {"refused, first save, trailing slash", user + "\\", false, {}, beside, own, user},
      {"no user folder", "", false, {own}, beside, beside, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Files files;
    files.there = r.there;
    if (!r.mayWriteBeside) files.refused = {beside};
    const install_folder::SettingsFiles got =
        install_folder::SettingsFilesFor(files, data, r.userFolder);
    EXPECT_EQ(got.ReadFrom, r.readFrom);
    EXPECT_EQ(got.SaveTo, r.saveTo);
    EXPECT_EQ(got.MakeFirst, r.makeFirst);
  }
}

}  // namespace
