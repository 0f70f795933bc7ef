// Where the renderer and the settings file are looked for: beside the shell,
// or through Sysnative when the shell sits in the native system folder; and
// the user's own settings file where the user may not write beside the shell.
#include "shell/install_folder.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "shell/fake_store.h"

namespace {

TEST(InstallFolder, SysnativeOnlyForTheSystemFolderWithoutTheRenderer) {
  const std::string sys = "C:\\Windows\\system32", nat = "C:\\Windows\\Sysnative";
  const std::string there = nat + "\\Vorrasin.dll";
  // The shell's folder, the system and Windows folders, the files there; the data folder.
  const std::tuple<std::string, std::string, std::string, std::set<std::string>, std::string>
      rows[] = {
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
  for (const auto& [program, system, windows, there, folder] : rows) {
    FakeStore files;
    files.openable = there;
    EXPECT_EQ(shell::install_folder::DataFolder(files, program, system, windows), folder)
        << program << " | " << system;
  }
}

// Read from, save to, make first, for a user who may (or may not) write
// beside the shell, with (or without) their own file there yet.
TEST(InstallFolder, SettingsOfTheirOwnOnlyForAUserWhoMayNotWriteBesideTheShell) {
  const std::string data = "C:\\Windows\\System32", beside = data + "\\Vorrasin.ini";
  const std::string user = "C:\\Users\\Ann\\AppData\\Roaming\\Vorrasin",
                    own = user + "\\Vorrasin.ini";
  using Files = std::set<std::string>;
  const std::tuple<std::string, bool, Files, std::string, std::string, std::string> rows[] = {
      {user, true, {beside, own}, beside, beside, ""},  // may write: the file beside the shell
      {user, true, {}, beside, beside, ""},
      {user, false, {}, beside, own, user},        // may not: the first save makes the user's own
      {user, false, {beside}, beside, own, user},  // an administrator's file is read until then
      {user, false, {beside, own}, own, own, ""},
      {user + "\\", false, {own}, own, own, ""},
      {user + "\\", false, {}, beside, own, user},
      {"", false, {own}, beside, beside, ""},  // no user folder known
  };
  for (const auto& [userFolder, mayWrite, there, readFrom, saveTo, makeFirst] : rows) {
    SCOPED_TRACE(userFolder + (mayWrite ? " may write" : " may not") + " " + readFrom);
    FakeStore files;
    files.openable = there;
    if (!mayWrite) files.readOnly = {beside};
    const shell::install_folder::SettingsFiles got =
        shell::install_folder::SettingsFilesFor(files, data, userFolder);
    EXPECT_EQ(std::tie(got.ReadFrom, got.SaveTo, got.MakeFirst),
              std::tie(readFrom, saveTo, makeFirst));
  }
}

}  // namespace
