// The Command button without a window: its pointer and focus state table, what each property access
// redraws and tells the host, and its properties' persistence through the property bag's text.
#include "button/command_model.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <tuple>

#include "forms/property_bag.h"

namespace {

// A button view that writes down what the model asks of it, in order: a face by letter (N Normal,
// H HighLight, P Pressed, D Disable, L HighLightSelect, S Selected; "~" when the body runs from
// the tint at the top), "caption", "=Key" for a changed property, "timer" and "click".
struct RecordingView : command::CommandView {
  std::string log;
  void DrawFace(command::Face f, bool invert) override {
    log += std::string(" ") + "NHPDLS"[static_cast<int>(f)] + (invert ? "~" : "");
  }
  void CaptionChanged() override { log += " caption"; }
  void PropertyChanged(const char* key) override { log += std::string(" =") + key; }
  void StartHoverTimer() override { log += " timer"; }
  void Click() override { log += " click"; }
};

enum Event { Move, LeftPress, LeftRelease, OtherRelease, FocusGained, FocusLost, Poll, Events };

void Apply(command::CommandModel& m, Event e) {
  if (e == Move) m.MouseMove();
  if (e == LeftPress) m.MouseDown(command::LeftButton);
  if (e == LeftRelease) m.MouseUp(command::LeftButton);
  if (e == OtherRelease) m.MouseUp(command::RightButton);
  if (e == FocusGained) m.GotFocus();
  if (e == FocusLost) m.LostFocus();
  if (e == Poll) m.PointerLeft();
}

// From state (held: the left button was pressed over the button and is still
// down), then the cell of each event in the order of Event.
const std::tuple<int, bool, std::array<const char*, Events>> Table[] = {
    {0, false, {"0", "0 P", "0 click", "0 click", "3 S", "1 N", "0"}},
    {1, false, {"2 H~", "1 P", "1 click", "1 click", "3 S", "1", "1"}},
    {2, false, {"2", "2 P~", "2 N~ click", "2 click", "4 P~", "1 N", "1 N"}},
    {3, false, {"4 L", "3 P", "3", "3", "3 S", "1 N", "3"}},
    {3, true, {"3", "3 P", "3", "3", "3 S", "1 N", "3"}},  // dragged off: no hover, no click
    {4, false, {"4", "4 P~", "4 L~ click", "4 click", "3 S", "1 N", "3 S"}},
};

TEST(CommandState, EveryCellEnabledAndDisabled) {
  for (const auto& [from, held, cells] : Table) {
    for (int e = 0; e < Events; ++e) {
      for (bool enabled : {true, false}) {
        SCOPED_TRACE(::testing::Message() << "state " << from << (held ? " held, " : ", ")
                                          << "event " << e << (enabled ? "" : ", disabled"));
        // Brought into the state the way a user would.
        RecordingView view;
        command::CommandModel m(view);
        m.ReadProperties(forms::PropertyBag{}, forms::Font{});
        if (from != 0) m.Initialize();
        if (from == 2 || from == 4) m.MouseMove();
        if (from == 3 || from == 4) m.GotFocus();
        if (held) m.MouseDown(command::LeftButton);
        if (!enabled) m.SetEnabled(false);
        view.log.clear();
        Apply(m, static_cast<Event>(e));
        // A disabled button stays as it is and draws nothing.
        EXPECT_EQ(std::to_string(m.ButtonState()) + view.log,
                  enabled ? cells[e] : std::to_string(from));
        // A left press always sets the flag, a left release clears it.
        const bool pressOrRelease = enabled && (e == LeftPress || e == LeftRelease);
        EXPECT_EQ(m.LeftButtonDown(), pressOrRelease ? e == LeftPress : held);
      }
    }
  }
}

using M = command::CommandModel;
const forms::Font Ambient = forms::JapaneseUiFont();

TEST(CommandProperties, EachAccessRedrawsAndNotifiesAsDesigned) {
  // Design data (nullptr: never restored), an access, the value it gives, what the view was asked.
  using Access = std::function<std::int64_t(M&)>;
  const Access colour5 = [](M& m) { return m.SetFontColour(5), m.FontColour(); };
  const std::tuple<const char*, Access, std::int64_t, const char*> rows[] = {
      {"", [](M& m) { return m.SetEnabled(false), m.Enabled(); }, 0, " =Enabled D caption"},
      {"Enabled=0", [](M& m) { return m.ReadEnabled(); }, 0, " D caption"},
      {nullptr, [](M& m) { return m.ReadEnabled() ? 10 + m.FirstRun() : 0; }, 11, " N"},
      {nullptr, [](M& m) { return m.SetEnabled(true), m.ReadEnabled(); }, 1, " =Enabled N N N"},
      {"", [](M& m) { return m.SetCaption("x"), 0; }, 0, " caption =Caption"},
      {"", [](M& m) { return m.SetFont(Ambient), 0; }, 0, " caption =Font"},
      {"", colour5, 5, " caption N =FontColour"},
      {"FirstRun=0", colour5, 0, " caption caption N =FontColour"},
      {"FirstRun=0\nEnabled=0", colour5, 5, " caption =FontColour"},
      {"FontColour=9", [](M& m) { return m.ReadFontColour(); }, 9, " N"},
      {"", [](M& m) { return m.SetVisible(7), m.FaceStyle(); }, 1, " N =Visible"},
      {"", [](M& m) { return m.SetVisible(0), m.ReadVisible(); }, 0, " =Visible"},
      {"Visible=7", [](M& m) { return m.ReadVisible(); }, 255, " N"},
      {"Visible=-32769", [](M& m) { return m.ReadVisible(); }, 0, ""},
      {"Enabled=0", [](M& m) { return m.Resize(), 0; }, 0, " D caption"},
      {"", [](M& m) { return m.Initialize(), m.ButtonState(); }, 1, " timer"},
  };
  for (const auto& [bag, access, value, log] : rows) {
    SCOPED_TRACE(::testing::Message() << (bag ? bag : "never restored") << ":" << log);
    RecordingView view;
    M m(view);
    if (bag != nullptr) m.ReadProperties(forms::PropertyBag::Load(bag), Ambient);
    view.log.clear();
    EXPECT_EQ(access(m), value);
    EXPECT_EQ(view.log, log);
  }
}

TEST(CommandProperties, DefaultsRoundTripAndTextThatDoesNotConvert) {
  RecordingView view;
  M m(view);
  m.ReadProperties(forms::PropertyBag{}, Ambient);
  EXPECT_EQ(std::tuple(m.Enabled(), m.Caption(), m.FirstRun(), m.FaceStyle(), m.FontColour()),
            std::tuple(true, "Command1", 1, 1, 0u));
  EXPECT_EQ(m.Font(), Ambient);
  forms::PropertyBag bag = forms::PropertyBag::Load("Caption=stale\nVisible=1.0\n");
  m.WriteProperties(bag, Ambient);  // values equal to their defaults are left out
  EXPECT_EQ(bag.Save(), "");
  EXPECT_EQ(view.log, " caption N N");
  // Every key away from its default, written by hand in the stored format:
  // "設定", a line break, and a font name with ';' and '\'.
  const std::string stored =
      "Enabled=False\nCaption=\x90\xdd\x92\xe8\\r\\nline\nFirstRun=0\n"
      "Font=Semi\\\\scolon\\\\\\\\back;14.25;700;False;True;False;128\n"
      "FontColour=16744448\nVisible=0\n";
  m.ReadProperties(forms::PropertyBag::Load(stored), Ambient);
  EXPECT_EQ(m.Caption(), "\x90\xdd\x92\xe8\r\nline");
  EXPECT_EQ(m.Font().Name, "Semi;colon\\back");
  m.WriteProperties(bag, Ambient);
  EXPECT_EQ(bag.Save(), stored);

  // Text that does not convert leaves a new button's values; later keys and
  // lines are still read.
  const forms::PropertyBag in = forms::PropertyBag::Load(
      "no equals sign\n=value\nEnabled=perhaps\nFont=Tahoma;8;400;False;False;False\n"
      "FirstRun=256\nFontColour=red\nVisible=32768\nCaption=A\\nB\\\\\\x\r\n");
  M fresh(view);
  fresh.ReadProperties(in, Ambient);
  EXPECT_EQ(in.Keys().size(), 6u);
  EXPECT_EQ(std::tuple(fresh.Enabled(), fresh.FirstRun(), fresh.FontColour(), fresh.FaceStyle(),
                       fresh.Caption()),
            std::tuple(false, 0, 0u, 0, "A\nB\\x"));
  EXPECT_EQ(fresh.Font(), forms::Font{});
}

TEST(PropertyBag, BooleansAndFontsOfStoredText) {
  // Words in any case among blanks, or numbers (not 0 is true).
  EXPECT_EQ(forms::ToBoolean(" fAlse "), false);
  EXPECT_EQ(forms::ToBoolean("-1"), true);
  // The font's limits: size above 0 up to 2048, weight to 1000, charset to 255.
  EXPECT_TRUE(forms::ToFont("T;2048;1000;False;False;False;255"));
  EXPECT_TRUE(forms::ToFont("T;1;0;False;False;False;0"));
  for (const char* font :
       {"T;0;400;False;False;False;0", "T;2049;400;False;False;False;0",
        "T;9;1001;False;False;False;0", "T;9;400;x;False;False;0", "T;9;400;False;x;False;0",
        "T;9;400;False;False;x;0", "T;9;400;False;False;False;256"})
    EXPECT_FALSE(forms::ToFont(font)) << font;
}

}  // namespace
