// The real settings dialog (Vorrasin.scr /c) driven with real mouse clicks
// at its controls, and what it leaves in the settings file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/win32/desktop.h"

namespace {

constexpr char Title[] = "<Vorrasin>";
const std::string KeyMode = "BGM\x8b\xe6\x95\xaa";
const std::string KeyRepeat = "BGM\xd8\xcb\xdf\xb0\xc4";
const std::string KeyFile = "BGM\xcc\xa7\xb2\xd9";

std::string IniPath() { return desktop::ProgramFolder() + "Vorrasin.ini"; }

std::string Ini(const std::string& mode, const std::string& repeat, const std::string& file) {
  return "[Section]\r\n" + KeyMode + "=" + mode + "\r\n" + KeyRepeat + "=" + repeat + "\r\n" +
         KeyFile + "=" + file + "\r\n";
}

struct Controls {
  HWND panel = nullptr, combo = nullptr, browse = nullptr;
  std::vector<HWND> buttons;  // the Command windows on the dialog itself
};

BOOL CALLBACK Collect(HWND w, LPARAM lp) {
  auto* c = reinterpret_cast<Controls*>(lp);
  char cls[64] = {}, parentCls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  GetClassNameA(GetParent(w), parentCls, sizeof parentCls);
  const std::string k = cls, pk = parentCls;
  if (k == "VorrasinPanel") c->panel = w;
  if (k == "ComboBox") c->combo = w;
  if (k == "VorrasinCommand" && pk == "VorrasinPanel") c->browse = w;
  if (k == "VorrasinCommand" && pk == "VorrasinForm") c->buttons.push_back(w);
  return TRUE;
}

class Dialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(desktop::WaitForNoWindow(Title, 5000)) << "a dialog from before is still open";
    sound_ = desktop::ProgramFolder() + "e2e tone.wav";
    ASSERT_TRUE(desktop::WriteBytes(sound_, "RIFF"));
  }
  void TearDown() override {
    DeleteFileA(IniPath().c_str());
    DeleteFileA(sound_.c_str());
  }

  // Starts the dialog over the given settings file.
  void Open(const std::string& ini) {
    ASSERT_TRUE(desktop::WriteBytes(IniPath(), ini));
    before_ = desktop::ReadBytes(IniPath());
    proc_ = desktop::Process::Start(desktop::ProgramFolder() + "Vorrasin.scr", "/c");
    ASSERT_TRUE(proc_.Started());
    dialog_ = desktop::WaitForWindow(Title, 15000);
    ASSERT_NE(dialog_, nullptr) << "no settings dialog";
    // Wait until it is shown and painted.
    for (int i = 0; i < 200 && !IsWindowVisible(dialog_); ++i) Sleep(25);
    Sleep(400);
    controls_ = Controls{};
    EnumChildWindows(dialog_, Collect, reinterpret_cast<LPARAM>(&controls_));
    ASSERT_NE(controls_.panel, nullptr);
    ASSERT_NE(controls_.combo, nullptr);
    ASSERT_NE(controls_.browse, nullptr);
    ASSERT_EQ(controls_.buttons.size(), 3u);
    POINT origin{0, 0};
    ClientToScreen(dialog_, &origin);
    client_ = origin;
  }

  // Screen point of a position in twips on the dialog, or on the panel.
  POINT OnDialog(int xTwips, int yTwips) const {
    return {client_.x + xTwips / 15, client_.y + yTwips / 15};
  }
  POINT OnPanel(int xTwips, int yTwips) const { return OnDialog(180 + xTwips, 240 + yTwips); }

  void Click(POINT p, bool right = false) {
    desktop::ClickAt(p.x, p.y, right);
    Sleep(250);
  }
  // The middle of a button, given its twip rectangle on the dialog.
  void ClickButton(int left, int top, int width, int height) {
    Click(OnDialog(left + width / 2, top + height / 2));
  }
  void ClickSave() { ClickButton(4800, 3000, 1095, 375); }
  void ClickCancel() { ClickButton(5940, 3000, 1035, 375); }

  void ExpectEnded() {
    DWORD code = 1;
    ASSERT_TRUE(proc_.WaitExit(10000, &code)) << "the dialog did not close";
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(FindWindowA(nullptr, Title), nullptr);
  }

  // Which of the three marks (0 none, 1 audio CD, 2 sound file) shows the
  // dot, -1 for none; also checks each mark is drawn at all.
  int SelectedMark() {
    const int rowTop[3] = {1140, 840, 1440};
    const desktop::Shot shot =
        desktop::TakeShot(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    int selected = -1;
    for (int i = 0; i < 3; ++i) {
      const POINT p = OnPanel(300, rowTop[i]);
      const std::uint32_t centre = shot.At(p.x + 5, p.y + 5);
      const std::uint32_t ring = shot.At(p.x + 1, p.y + 5);
      EXPECT_EQ(ring, 0x003C74u) << "mark " << i << " not drawn";
      if (centre == 0xFF8C00u) {
        EXPECT_EQ(selected, -1);
        selected = i;
      } else {
        EXPECT_EQ(centre, 0xFFFFFFu) << "mark " << i;
      }
    }
    return selected;
  }

  desktop::Process proc_;
  HWND dialog_ = nullptr;
  Controls controls_;
  POINT client_{};
  std::string before_, sound_;
};

TEST_F(Dialog, CaptionClientSizeAndLook) {
  Open(Ini("1", "7", ""));
  char caption[64] = {};
  GetWindowTextA(dialog_, caption, sizeof caption);
  EXPECT_STREQ(caption, Title);
  RECT c{};
  GetClientRect(dialog_, &c);
  EXPECT_EQ(c.right, 479);
  EXPECT_EQ(c.bottom, 252);
  EXPECT_EQ(GetWindowLongA(dialog_, GWL_STYLE) & WS_THICKFRAME, 0) << "must not be resizable";
  // Centred across, a third of the free height down.
  RECT w{};
  GetWindowRect(dialog_, &w);
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_NEAR(w.left, (sw - (w.right - w.left)) / 2, 1);
  EXPECT_NEAR(w.top, (sh - (w.bottom - w.top)) / 3, 1);
  // The gradients: dark navy at the dialog's top row, lavender in the
  // middle (left of the panel), grey on the panel.
  const desktop::Shot shot = desktop::TakeShot(client_.x, client_.y, 479, 252);
  EXPECT_EQ(shot.At(4, 0), 0x030321u);  // the line at 14 twips: (3, 3, 33)
  EXPECT_EQ(shot.At(4, 126), 0xDCDCFAu);
  EXPECT_EQ(shot.At(4, 251), 0x00001Eu);
  const std::uint32_t panelMiddle = shot.At(12 + 400, 16 + 84);
  EXPECT_EQ(panelMiddle & 0xFF, (panelMiddle >> 8) & 0xFF) << "panel is grey";
  EXPECT_GT(panelMiddle & 0xFF, 0xF0u);
  // A Normal button face: dark blue frame at its top edge.
  EXPECT_EQ(shot.At(320 + 30, 200), 0x003C74u);
  EXPECT_EQ(SelectedMark(), 1);
  ClickCancel();
  ExpectEnded();
}

TEST_F(Dialog, MarksAndEnablementForEachStoredMode) {
  struct Case {
    std::string mode;
    int mark;
    bool combo, browse;
  };
  for (const Case& c : {Case{"0", 0, false, false}, Case{"1", 1, true, false},
                        Case{"2", 2, false, true}, Case{"5", -1, false, false}}) {
    SCOPED_TRACE("mode " + c.mode);
    Open(Ini(c.mode, "3", c.mode == "2" ? sound_ : ""));
    EXPECT_EQ(SelectedMark(), c.mark);
    EXPECT_EQ(IsWindowEnabled(controls_.combo) != FALSE, c.combo);
    EXPECT_EQ(IsWindowEnabled(controls_.browse) != FALSE, c.browse);
    // The combo box shows the stored track and lists 31 items, the first empty.
    char text[16] = {};
    SendMessageA(controls_.combo, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "3");
    EXPECT_EQ(SendMessageA(controls_.combo, CB_GETCOUNT, 0, 0), 31);
    EXPECT_EQ(SendMessageA(controls_.combo, CB_GETLBTEXTLEN, 0, 0), 0);
    ClickCancel();
    ExpectEnded();
    EXPECT_EQ(desktop::ReadBytes(IniPath()), before_);
  }
}

TEST_F(Dialog, ClickingAChoiceSelectsItAndEnablesOnlyItsControls) {
  Open(Ini("1", "7", ""));
  Click(OnPanel(540 + 100, 1440 + 90));  // the label "MP3、WAV"
  EXPECT_EQ(SelectedMark(), 2);
  EXPECT_FALSE(IsWindowEnabled(controls_.combo));
  EXPECT_TRUE(IsWindowEnabled(controls_.browse));
  Click(OnPanel(300 + 90, 1140 + 90), true);  // right button on the mark of "無し"
  EXPECT_EQ(SelectedMark(), 0);
  EXPECT_FALSE(IsWindowEnabled(controls_.browse));
  Click(OnPanel(540 + 100, 840 + 90));  // "音楽CD"
  EXPECT_EQ(SelectedMark(), 1);
  EXPECT_TRUE(IsWindowEnabled(controls_.combo));
  ClickCancel();
  ExpectEnded();
  EXPECT_EQ(desktop::ReadBytes(IniPath()), before_) << "cancel wrote to the settings file";
}

TEST_F(Dialog, SaveWritesTheThreeKeys) {
  Open(Ini("2", "7", sound_));
  Click(OnPanel(540 + 60, 1140 + 90));  // "無し"
  ClickSave();
  ExpectEnded();
  // The path is still written, whatever the mode.
  EXPECT_EQ(desktop::ReadBytes(IniPath()), Ini("0", "7", sound_));
}

TEST_F(Dialog, HandEditedModeIsWrittenBackUnlessAChoiceIsClicked) {
  Open(Ini("5", "0", ""));
  ClickSave();
  ExpectEnded();
  EXPECT_EQ(desktop::ReadBytes(IniPath()), Ini("5", "0", ""));
}

TEST_F(Dialog, TrackTextIsSavedRoundedOrAsZero) {
  for (auto [typed, saved] : {std::pair<const char*, const char*>{"3.5", "4"},
                              {"2.5", "2"},
                              {"abc", "0"},
                              {"", "0"},
                              {"99999", "0"},
                              {"12", "12"}}) {
    SCOPED_TRACE(typed);
    Open(Ini("1", "7", ""));
    SendMessageA(controls_.combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed));
    ClickSave();
    ExpectEnded();
    EXPECT_EQ(desktop::ReadBytes(IniPath()), Ini("1", saved, ""));
  }
}

TEST_F(Dialog, CloseBoxWritesNothing) {
  Open(Ini("1", "7", ""));
  Click(OnPanel(540 + 60, 1140 + 90));
  PostMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
  ExpectEnded();
  EXPECT_EQ(desktop::ReadBytes(IniPath()), before_);
}

TEST_F(Dialog, EveryConfigureFormOpensIt) {
  for (const char* args : {"/c:1234", "-C", "/C 5678"}) {
    SCOPED_TRACE(args);
    ASSERT_TRUE(desktop::WriteBytes(IniPath(), Ini("0", "0", "")));
    desktop::Process p = desktop::Process::Start(desktop::ProgramFolder() + "Vorrasin.scr", args);
    HWND w = desktop::WaitForWindow(Title, 15000);
    ASSERT_NE(w, nullptr);
    PostMessageA(w, WM_CLOSE, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(p.WaitExit(10000, &code));
    EXPECT_EQ(code, 0u);
  }
}

TEST_F(Dialog, TabWalksTheControlsThatTakeInput) {
  Open(Ini("2", "0", sound_));  // "..." enabled, the combo box not
  const DWORD thread = GetWindowThreadProcessId(dialog_, nullptr);
  auto focused = [&] {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(thread, &info);
    return info.hwndFocus;
  };
  desktop::Activate(dialog_);
  // "..." first, then "設定", "ｷｬﾝｾﾙ", "その他の作品", and round again; the
  // marks and labels never take the focus.
  const std::vector<HWND> order = {controls_.browse, controls_.buttons[0], controls_.buttons[1],
                                   controls_.buttons[2], controls_.browse};
  EXPECT_EQ(focused(), order[0]);
  for (std::size_t i = 1; i < order.size(); ++i) {
    desktop::PressKey(VK_TAB);
    Sleep(200);
    EXPECT_EQ(focused(), order[i]) << "after " << i << " tabs";
  }
  // Keys never press a button: Enter and space leave the dialog open.
  desktop::PressKey(VK_RETURN);
  desktop::PressKey(VK_SPACE);
  Sleep(300);
  EXPECT_TRUE(proc_.Running());
  ClickCancel();
  ExpectEnded();
  EXPECT_EQ(desktop::ReadBytes(IniPath()), before_);
}

TEST_F(Dialog, SecondStartEndsAtOnce) {
  Open(Ini("0", "0", ""));
  desktop::Process second =
      desktop::Process::Start(desktop::ProgramFolder() + "Vorrasin.scr", "/c");
  DWORD code = 1;
  EXPECT_TRUE(second.WaitExit(10000, &code)) << "the second start stayed";
  EXPECT_TRUE(proc_.Running());
  ClickCancel();
  ExpectEnded();
}

TEST_F(Dialog, DraggingOffTheButtonCancelsItsClick) {
  Open(Ini("1", "7", ""));
  const POINT save = OnDialog(4800 + 547, 3000 + 187);
  auto move = [](POINT p) { desktop::MoveMouse(p.x, p.y); };
  auto button = desktop::MouseButton;
  move(save);
  Sleep(200);
  button(MOUSEEVENTF_LEFTDOWN);
  Sleep(200);
  move(POINT{save.x, save.y - 60});  // off the button, onto the dialog
  Sleep(400);                        // the 100 ms poll sees it gone
  move(save);                        // back, left button still held
  Sleep(200);
  button(MOUSEEVENTF_LEFTUP);
  Sleep(500);
  EXPECT_TRUE(proc_.Running()) << "a dragged-off click saved and closed";
  EXPECT_EQ(desktop::ReadBytes(IniPath()), before_);
  ClickSave();  // a plain click still works
  ExpectEnded();
}

TEST_F(Dialog, ButtonLightsUpUnderThePointer) {
  Open(Ini("1", "7", ""));
  const POINT cancel = OnDialog(5940 + 517, 3000 + 187);
  auto ring = [&] {
    // The inner ring just inside the top edge of "ｷｬﾝｾﾙ".
    return desktop::TakeShot(client_.x + 396 + 30, client_.y + 201, 1, 1).pixels[0];
  };
  const std::uint32_t resting = ring();
  desktop::ClickAt(cancel.x, cancel.y - 200, false);  // a click on the dialog, away
  Sleep(200);
  desktop::MoveMouse(cancel.x, cancel.y);
  Sleep(300);
  EXPECT_EQ(ring(), 0xFF9C1Cu) << "no orange ring under the pointer";
  desktop::MoveMouse(cancel.x, cancel.y - 100);
  Sleep(400);
  EXPECT_EQ(ring(), resting) << "the hover look stayed after the pointer left";
  ClickCancel();
  ExpectEnded();
}

}  // namespace
