// The real settings dialog (Vorrasin.scr /c) under Wine, driven by mouse and keys, and what it
// leaves in the settings file; one start of the program per scenario.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/contract.h"
#include "support/win32/desktop.h"
// After windows.h (from desktop.h):
#include <shlobj.h>

namespace {

namespace desktop = support::desktop;

using contract::DialogCaption;

std::string IniPath() { return desktop::ProgramFolder() + contract::IniFile; }
// The settings file of a user who may not write beside the shell, and its folder.
std::string UserFolder() {
  char appData[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
  return std::string(appData) + "\\" + contract::UserSettingsFolder;
}
std::string UserIniPath() { return UserFolder() + "\\" + contract::IniFile; }

std::string Ini(const std::string& mode, const std::string& repeat, const std::string& file) {
  return std::string("[") + contract::IniSection + "]\r\n" + contract::KeyMode + "=" + mode +
         "\r\n" + contract::KeyRepeat + "=" + repeat + "\r\n" + contract::KeyFile + "=" + file +
         "\r\n";
}

class Dialog : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(desktop::WaitForNoWindow(DialogCaption, 5000)); }
  void TearDown() override {
    SetFileAttributesA(IniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    for (const std::string& file : {IniPath(), UserIniPath()}) DeleteFileA(file.c_str());
    for (const std::string& dir : {UserIniPath(), UserFolder(), IniPath()})
      RemoveDirectoryA(dir.c_str());
  }

  // Starts the shell over this settings file (none if empty); waits until the dialog is painted.
  // This thread's messages keep going: the shell may ask a host window of the test things.
  void Open(const std::string& ini, const std::string& args) {
    ASSERT_TRUE(ini.empty() || desktop::WriteBytes(IniPath(), ini));
    proc_ = desktop::Process::StartBeside(contract::ShellFile, args);
    const auto shown = [&] {
      return (dialog_ = FindWindowA(nullptr, DialogCaption)) != nullptr && IsWindowVisible(dialog_);
    };
    ASSERT_TRUE(desktop::PumpUntil(shown, 15000)) << "no settings dialog";
    desktop::PumpUntil([] { return false; }, 400);
    const HWND panel = FindWindowExA(dialog_, nullptr, "VorrasinPanel", nullptr);
    combo_ = FindWindowExA(panel, nullptr, "ComboBox", nullptr);
    buttons_.clear();
    browse_ = FindWindowExA(panel, nullptr, "VorrasinCommand", nullptr);
    for (HWND b = nullptr; (b = FindWindowExA(dialog_, b, "VorrasinCommand", nullptr));)
      buttons_.push_back(b);  // 設定, ｷｬﾝｾﾙ, その他の作品
    ASSERT_TRUE(combo_ && browse_ && buttons_.size() == 3);
    client_ = {0, 0};
    ClientToScreen(dialog_, &client_);
  }

  // Screen point of a twip position on the dialog, or on the panel.
  POINT At(int x, int y) const { return {client_.x + x / 15, client_.y + y / 15}; }
  POINT OnPanel(int x, int y) const { return At(180 + x, 240 + y); }
  static void MoveTo(POINT p, DWORD wait) {
    desktop::MoveMouse(p.x, p.y);
    Sleep(wait);
  }
  static void Click(POINT p, bool right = false) {
    desktop::ClickAt(p.x, p.y, right);
    Sleep(250);
  }
  // The program ended cleanly, leaving these bytes in the settings file.
  void ExpectEnded(const std::string& ini) {
    ASSERT_TRUE(desktop::EndsCleanly(proc_, 10000)) << "the dialog";
    EXPECT_EQ(desktop::ReadBytes(IniPath()), ini);
  }

  // The message box the shell shows over the dialog.
  HWND WaitForMessage() const {
    const HWND box = desktop::WaitForWindow(contract::ProgramTitle, 5000, "#32770");
    EXPECT_NE(box, nullptr) << "no message";
    EXPECT_EQ(GetWindow(box, GW_OWNER), dialog_);
    EXPECT_TRUE(IsWindowVisible(dialog_)) << "the dialog closed";
    return box;
  }

  // The mark with the dot (index = mode, -1 none); whether the combo box and "..." work.
  void ExpectMode(int mark, bool combo, bool browse) {
    const int rowTop[3] = {1140, 840, 1440};
    for (int i = 0; i < 3; ++i) {
      const POINT p = OnPanel(300, rowTop[i]);
      const desktop::Shot shot = desktop::TakeShot(p.x, p.y, 12, 12);
      EXPECT_EQ(shot.At(1, 5), 0x003C74u) << "ring of mark " << i;
      EXPECT_EQ(shot.At(5, 5), i == mark ? 0xFF8C00u : 0xFFFFFFu) << "dot of mark " << i;
    }
    EXPECT_EQ(IsWindowEnabled(combo_) != FALSE, combo);
    EXPECT_EQ(IsWindowEnabled(browse_) != FALSE, browse);
  }

  desktop::Process proc_;
  HWND dialog_ = nullptr, combo_ = nullptr, browse_ = nullptr;
  std::vector<HWND> buttons_;
  POINT client_{0, 0};
  const POINT save_{4800 + 547, 3000 + 187}, cancel_{5940 + 517, 3000 + 187};  // twips
};

TEST_F(Dialog, LooksAsDesignedLightsUpAndTheCloseBoxWritesNothing) {
  Open(Ini("1", "7", ""), "/c:1234");
  char caption[64] = {}, track[16] = {};
  GetWindowTextA(dialog_, caption, sizeof caption);
  EXPECT_STREQ(caption, DialogCaption);
  EXPECT_EQ(GetWindow(dialog_, GW_OWNER), nullptr) << "1234 names no window";
  RECT c{}, w{};
  GetClientRect(dialog_, &c);
  GetWindowRect(dialog_, &w);
  EXPECT_EQ(c.right * 1000 + c.bottom, 479252) << "client size";
  EXPECT_EQ(GetWindowLongA(dialog_, GWL_STYLE) & WS_THICKFRAME, 0) << "must not be resizable";
  // Centred across, a third of the free height down.
  EXPECT_NEAR(w.left, (GetSystemMetrics(SM_CXSCREEN) - (w.right - w.left)) / 2, 1);
  EXPECT_NEAR(w.top, (GetSystemMetrics(SM_CYSCREEN) - (w.bottom - w.top)) / 3, 1);
  // Navy top and bottom rows, lavender middle, grey panel, the Normal face's frame on 設定.
  const desktop::Shot shot = desktop::TakeShot(client_.x, client_.y, 479, 252);
  const int pixels[] = {4,   0,   0x030321, 4,   126, 0xDCDCFA, 4, 251, 0x00001E,  // x, y, colour
                        412, 100, 0xFAFAFA, 350, 200, 0x003C74};
  for (int i = 0; i < 15; i += 3)
    EXPECT_EQ(shot.At(pixels[i], pixels[i + 1]), std::uint32_t(pixels[i + 2])) << "pixel " << i / 3;
  ExpectMode(1, true, false);
  // The stored track shown; 31 items listed, the first one empty.
  SendMessageA(combo_, WM_GETTEXT, sizeof track, reinterpret_cast<LPARAM>(track));
  EXPECT_STREQ(track, "7");
  EXPECT_EQ(SendMessageA(combo_, CB_GETCOUNT, 0, 0), 31);
  EXPECT_EQ(SendMessageA(combo_, CB_GETLBTEXTLEN, 0, 0), 0);

  // ｷｬﾝｾﾙ's orange ring under the pointer, gone a poll after it left.
  auto ring = [&] { return desktop::TakeShot(client_.x + 426, client_.y + 201, 1, 1).pixels[0]; };
  const std::uint32_t resting = ring();
  const POINT cancel = At(cancel_.x, cancel_.y);
  Click({cancel.x, cancel.y - 200});  // on the dialog, away from every control
  MoveTo(cancel, 300);
  EXPECT_EQ(ring(), 0xFF9C1Cu);
  MoveTo({cancel.x, cancel.y - 100}, 400);
  EXPECT_EQ(ring(), resting);

  PostMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
  ExpectEnded(Ini("1", "7", ""));
}

TEST_F(Dialog, TabOrderThenChoosingByLabelAndMarkAndSaving) {
  const std::string sound = desktop::ProgramFolder() + contract::RendererFile;  // a file there
  Open(Ini("2", "0", sound), "/c");
  ExpectMode(2, false, true);
  // "...", 設定, ｷｬﾝｾﾙ, その他の作品 and round again: the marks and labels never take the focus.
  // Keys never press a button.
  desktop::Activate(dialog_);
  for (HWND expected : {browse_, buttons_[0], buttons_[1], buttons_[2], browse_}) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog_, nullptr), &info);
    EXPECT_EQ(info.hwndFocus, expected);
    desktop::PressKey(VK_TAB);
    Sleep(200);
  }
  desktop::PressKey(VK_RETURN);
  desktop::PressKey(VK_SPACE);
  Sleep(300);
  ASSERT_TRUE(proc_.Running());

  Click(OnPanel(540 + 60, 1140 + 90));  // the label 無し
  ExpectMode(0, false, false);
  Click(OnPanel(300 + 90, 840 + 90), true);  // the right button on the mark of 音楽CD
  ExpectMode(1, true, false);
  SendMessageA(combo_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("3.5"));
  Click(At(save_.x, save_.y));
  // The track rounded to even; the path written whatever the mode.
  ExpectEnded(Ini("1", "4", sound));
}

TEST_F(Dialog, HandEditedModeDraggingOffCancelsAClickAndCancelWritesNothing) {
  Open(Ini("5", "7", ""), "-C");
  ExpectMode(-1, false, false);         // no mark for a mode from a hand-edited file
  Click(OnPanel(540 + 100, 840 + 90));  // the label 音楽CD
  ExpectMode(1, true, false);
  const POINT save = At(save_.x, save_.y);
  MoveTo(save, 200);
  desktop::MouseButton(MOUSEEVENTF_LEFTDOWN);
  Sleep(200);
  MoveTo({save.x, save.y - 60}, 400);  // off onto the dialog: the 100 ms poll sees it gone
  MoveTo(save, 200);                   // back, the left button still held
  desktop::MouseButton(MOUSEEVENTF_LEFTUP);
  Sleep(500);
  EXPECT_TRUE(proc_.Running()) << "a dragged-off click saved and closed";
  Click(At(cancel_.x, cancel_.y));
  ExpectEnded(Ini("5", "7", ""));
}

TEST_F(Dialog, AFailedSaveIsToldAndTheDialogStaysThenCancelWritesNothing) {
  // Folders where both settings files would be: no profile write can succeed.
  ASSERT_TRUE(CreateDirectoryA(IniPath().c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(UserFolder().c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(UserIniPath().c_str(), nullptr));
  Open("", "/c");
  Click(OnPanel(540 + 60, 1140 + 90));  // the label 無し
  Click(At(save_.x, save_.y));
  const HWND box = WaitForMessage();
  char text[512] = {};  // the message names the file
  SendMessageA(GetDlgItem(box, 0xFFFF), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  EXPECT_NE(std::strstr(text, UserIniPath().c_str()), nullptr) << text;
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  Sleep(300);
  ASSERT_TRUE(proc_.Running()) << "the dialog closed";
  Click(At(cancel_.x, cancel_.y));
  ExpectEnded("");
  EXPECT_TRUE(RemoveDirectoryA(IniPath().c_str())) << "no longer an empty folder";
  EXPECT_TRUE(RemoveDirectoryA(UserIniPath().c_str())) << "no longer an empty folder";
}

// A user who may not write beside the shell (here a folder stands in the way: Wine, run as root,
// writes read-only files) keeps settings of their own, in a file made at the first save, and the
// next start reads it.
TEST_F(Dialog, AUserWhoMayNotWriteBesideTheShellSavesToTheirOwnFile) {
  ASSERT_TRUE(CreateDirectoryA(IniPath().c_str(), nullptr));
  ASSERT_EQ(GetFileAttributesA(UserFolder().c_str()), INVALID_FILE_ATTRIBUTES);
  Open("", "/c");
  ExpectMode(0, false, false);
  Click(OnPanel(300 + 90, 840 + 90));  // the mark of 音楽CD
  SendMessageA(combo_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("3"));
  Click(At(save_.x, save_.y));
  ExpectEnded("");
  EXPECT_EQ(desktop::ReadBytes(UserIniPath()), Ini("1", "3", ""));
  Open("", "/c");
  ExpectMode(1, true, false);
  Click(At(cancel_.x, cancel_.y));
  ExpectEnded("");
  EXPECT_TRUE(RemoveDirectoryA(IniPath().c_str())) << "no longer an empty folder";
}

// Also a path longer than 255 characters (up to MAX_PATH - 1): never cut.
TEST_F(Dialog, AMissingSoundFileUntouchedIsWrittenBackAsStored) {
  for (const std::string& file :
       {std::string("C:\\gone\\song.mp3"), "C:\\gone\\" + std::string(247, 'x') + ".mp3"}) {
    SCOPED_TRACE(file.size());
    const std::string ini = Ini("2", "0", file);
    Open(ini, "/c");
    ExpectMode(0, false, false);  // shown as no music
    Click(At(save_.x, save_.y));
    ExpectEnded(ini);
  }
}

// In code page 1252 (Wine's default): a Japanese name that exists is stored by its short name; one
// that does not (typed in) is refused with a message and the previous choice stays.
TEST_F(Dialog, AJapaneseFileNameIsStoredByItsShortNameOrRefused) {
  const std::string sound = desktop::ProgramFolder() + contract::RendererFile, content = "song";
  const std::wstring folder(sound.begin(), sound.end() - std::strlen(contract::RendererFile));
  const std::wstring chosen = folder + L"\u65e5\u672c\u8a9e\u306e\u66f2.mp3";  // 日本語の曲.mp3
  std::FILE* f = _wfopen(chosen.c_str(), L"wb");
  ASSERT_TRUE(f != nullptr && std::fputs(content.c_str(), f) >= 0 && std::fclose(f) == 0);
  Open(Ini("2", "0", sound), "/c");
  ASSERT_EQ(GetACP(), 1252u);
  for (const std::wstring& name : {chosen, folder + L"\u66f2.mp3"}) {  // the second: missing
    const POINT browse = OnPanel(540 + 217, 1740 + 157);  // "...": left and back, or it only
    MoveTo({browse.x, browse.y - 40}, 200);               // has the focus and takes no click
    Click(browse);
    HWND open = nullptr;  // the file-open dialog, typed into and confirmed
    for (int i = 0; i < 600 && !open; ++i, Sleep(25))
      for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", nullptr));)
        if (GetWindow(w, GW_OWNER) == dialog_) open = w;
    ASSERT_NE(open, nullptr);
    HWND edit = GetDlgItem(open, 0x480);  // edt1, or the combo box cmb13
    SendMessageW(edit ? edit : GetDlgItem(open, 0x47c), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(name.c_str()));
    PostMessageA(open, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 400 && IsWindow(open); ++i) Sleep(25);
  }
  PostMessageA(WaitForMessage(), WM_COMMAND, IDOK, 0);
  Sleep(300);
  Click(At(save_.x, save_.y));
  ASSERT_TRUE(desktop::EndsCleanly(proc_, 10000));
  char stored[MAX_PATH] = {};
  GetPrivateProfileStringA(contract::IniSection, contract::KeyFile, "", stored, MAX_PATH,
                           IniPath().c_str());
  EXPECT_NE(stored, sound);
  EXPECT_EQ(desktop::ReadBytes(stored), content) << stored;
  DeleteFileW(chosen.c_str());
}

TEST_F(Dialog, AHostWindowAfterCIsDisabledWhileTheDialogIsOpen) {
  const desktop::Window host = desktop::MakeWindow("host", 40, 40, true);
  Open("", "/c:" + desktop::HandleText(host.get()));
  EXPECT_EQ(GetWindow(dialog_, GW_OWNER), host.get());
  EXPECT_FALSE(IsWindowEnabled(host.get()));
  PostMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
  ExpectEnded("");
  EXPECT_TRUE(IsWindowEnabled(host.get()));
}

}  // namespace
