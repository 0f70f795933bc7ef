// The shipped programs as Windows sees them: their manifests read through the system's own manifest
// parser, the name Screen Saver Settings lists, and a run. It tests the programs beside itself: the
// build's, or, copied into an unpacked download, the shipped ones (tests/package/package_check.sh).
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/contract.h"
#include "support/win32/desktop.h"

namespace {

namespace desktop = support::desktop;

using ActCtx = std::unique_ptr<void, decltype(&ReleaseActCtx)>;
using Module = std::unique_ptr<HINSTANCE__, decltype(&FreeLibrary)>;
Module LoadAsData(const std::string& path) {
  return {LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE), &FreeLibrary};
}

struct ManifestRow {
  const char* file;
  const wchar_t* dpiAware;      // 2005 namespace: Vista to 8.1
  const wchar_t* dpiAwareness;  // 2016 namespace: Windows 10 1607 on
};

void CheckManifest(const ManifestRow& row) {
  const std::string path = desktop::ProgramFolder() + row.file;
  ACTCTXA request{};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = path.c_str();
  request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
  const ActCtx context(CreateActCtxA(&request), &ReleaseActCtx);
  ASSERT_NE(context.get(), INVALID_HANDLE_VALUE) << "no manifest 1, or it does not parse";
  const auto setting = [&](const wchar_t* space, const wchar_t* name) {
    wchar_t text[64] = L"";
    SIZE_T size = 0;
    QueryActCtxSettingsW(0, context.get(), space, name, text, 64, &size);
    return std::wstring(text);
  };
  EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
            row.dpiAware);
  EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
            row.dpiAwareness);

  // The element layout differs between system versions: look for the GUIDs' bytes.
  alignas(8) char compat[1024] = {};
  SIZE_T size = 0;
  ASSERT_TRUE(QueryActCtxW(0, context.get(), nullptr, CompatibilityInformationInActivationContext,
                           compat, sizeof compat, &size));
  EXPECT_EQ(*reinterpret_cast<DWORD*>(compat), 5u);
  const std::string_view bytes(compat, size);
  for (const wchar_t* os : {L"{e2011457-1546-43c5-a5fe-008deee3d3f0}",     // Vista
                            L"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",     // 7
                            L"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",     // 8
                            L"{1f676c76-80e1-4239-95bb-83d0f6d0da78}",     // 8.1
                            L"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {  // 10, 11
    GUID id{};
    CLSIDFromString(os, &id);
    EXPECT_NE(bytes.find({reinterpret_cast<char*>(&id), sizeof id}), bytes.npos) << os;
  }

  ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
  ASSERT_TRUE(QueryActCtxW(0, context.get(), nullptr, RunlevelInformationInActivationContext,
                           &level, sizeof level, nullptr));
  EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_UNSPECIFIED)
      << "an execution level stops VirtualStore";

  // Windows refuses to start a program whose manifest names another processor.
  const Module file = LoadAsData(path);
  ASSERT_NE(file, nullptr);
  const HRSRC found = FindResourceA(file.get(), CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
  ASSERT_NE(found, nullptr);
  const std::string_view manifest(
      static_cast<const char*>(LockResource(LoadResource(file.get(), found))),
      SizeofResource(file.get(), found));
  EXPECT_NE(manifest.find(sizeof(void*) == 8 ? R"(processorArchitecture="amd64")"
                                             : R"(processorArchitecture="x86")"),
            manifest.npos);
}

TEST(ShippedManifest, DpiSupportedSystemsAndNoExecutionLevel) {
  for (const ManifestRow& row :
       {ManifestRow{contract::RendererFile, L"true/pm", L"PerMonitorV2, PerMonitor"},
        ManifestRow{contract::ShellFile, L"false", L"unaware"}}) {
    SCOPED_TRACE(row.file);
    CheckManifest(row);
  }
}

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR to) {
  reinterpret_cast<std::vector<WORD>*>(to)->push_back(language);
  return TRUE;
}

TEST(ShippedName, StringOneOfTheShellIsVorrasinInNoLanguage) {
  const Module shell = LoadAsData(desktop::ProgramFolder() + contract::ShellFile);
  ASSERT_NE(shell, nullptr);
  // Strings 0 to 15 are block 1 of RT_STRING: in no language, and only so.
  std::vector<WORD> languages;
  EnumResourceLanguagesA(shell.get(), RT_STRING, MAKEINTRESOURCEA(1), AddLanguage,
                         reinterpret_cast<LONG_PTR>(&languages));
  EXPECT_EQ(languages, std::vector<WORD>{MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)});
  char name[64] = "";
  LoadStringA(shell.get(), 1, name, sizeof name);
  EXPECT_STREQ(name, "Vorrasin");
}

// Run only in an unpacked download: in the build, ShellRun does this.
TEST(ShippedRun, EscapeEndsBothPrograms) {
  ASSERT_TRUE(desktop::WaitForNoWindow(contract::RendererTitle, 5000));
  desktop::Process shell = desktop::Process::StartBeside(contract::ShellFile, "/s");
  const HWND canvas =
      desktop::WaitForWindow(contract::RendererTitle, 30000, contract::RendererClass);
  ASSERT_NE(canvas, nullptr) << "no renderer window";
  desktop::PressKeyIn(canvas, VK_ESCAPE);
  EXPECT_TRUE(desktop::EndsCleanly(shell, 10000));
  EXPECT_TRUE(desktop::WaitForNoWindow(contract::RendererTitle, 10000));
}

}  // namespace
