// The button's properties: what each access redraws and tells the host, and
// their persistence through the property bag's stored text.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "button/command_model.h"
#include "button/recording_view.h"
#include "forms/property_bag.h"

namespace {

using M = command::CommandModel;
const forms::Font Ambient = forms::JapaneseUiFont();

TEST(CommandProperties, EachAccessRedrawsAndNotifiesAsDesigned) {
  // Stored design data (nullptr: never restored), an access and the value it
  // returns or leaves, then what the view was asked, in order.
  using Access = std::function<std::int64_t(M&)>;
  const std::tuple<const char*, Access, std::int64_t, const char*> rows[] = {
      {"", [](M& m) { return m.SetEnabled(false), m.Enabled(); }, 0, " =Enabled D caption"},
      {"", [](M& m) { return m.SetEnabled(true), m.Enabled(); }, 1, " =Enabled N"},
      {"Enabled=0", [](M& m) { return m.ReadEnabled(); }, 0, " D caption"},
      {nullptr, [](M& m) { return m.ReadEnabled() ? 10 + m.FirstRun() : 0; }, 11, " N"},
      {"", [](M& m) { return m.SetCaption("x"), 0; }, 0, " caption =Caption"},
      {"", [](M& m) { return m.SetFont(Ambient), 0; }, 0, " caption =Font"},
      {"", [](M& m) { return m.SetFontColour(5), m.FontColour(); }, 5, " caption N =FontColour"},
      {"FirstRun=0", [](M& m) { return m.SetFontColour(5), m.FontColour(); }, 0,
       " caption caption N =FontColour"},
      {"FirstRun=0\nEnabled=0", [](M& m) { return m.SetFontColour(5), m.FontColour(); }, 5,
       " caption =FontColour"},
      {"FontColour=9", [](M& m) { return m.ReadFontColour(); }, 9, " N"},
      {"", [](M& m) { return m.SetVisible(7), m.FaceStyle(); }, 1, " N =Visible"},
      {"", [](M& m) { return m.SetVisible(0), m.ReadVisible(); }, 0, " =Visible"},
      {"Visible=7", [](M& m) { return m.ReadVisible(); }, 255, " N"},
      {"Enabled=0", [](M& m) { return m.Resize(), 0; }, 0, " D caption"},
      {"Enabled=0", [](M& m) { return m.RefreshNormal(), 0; }, 0, ""},
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

TEST(CommandProperties, DefaultsAndARoundTripThroughTheStoredText) {
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
}

TEST(CommandProperties, StoredTextThatDoesNotConvertLeavesItsTarget) {
  const forms::PropertyBag in = forms::PropertyBag::Load(
      "no equals sign\n=value\nEnabled=perhaps\r\nFont=Tahoma;8;400;False;False;False\n"
      "FirstRun=256\nFontColour=red\nVisible=32768\nCaption=A\\nB\\\\\\x");
  EXPECT_EQ(in.Keys().size(), 6u);
  RecordingView view;
  M m(view);
  m.ReadProperties(in, Ambient);
  // A new button's values; later keys are still read.
  EXPECT_EQ(std::tuple(m.Enabled(), m.FirstRun(), m.FontColour(), m.FaceStyle(), m.Caption()),
            std::tuple(false, 0, 0u, 0, "A\nB\\x"));
  EXPECT_EQ(m.Font(), forms::Font{});
}

TEST(PropertyBag, BooleansAndFontsOfStoredText) {
  // Words in any case among blanks, or numbers: not 0 is true.
  EXPECT_EQ(forms::ToBoolean(" fAlse "), false);
  EXPECT_EQ(forms::ToBoolean("-1"), true);
  EXPECT_EQ(forms::ToBoolean("0"), false);
  EXPECT_EQ(forms::ToBoolean("0x10"), std::nullopt);
  // The font's limits: size above 0 up to 2048, weight to 1000, charset to 255.
  EXPECT_TRUE(forms::ToFont("T;2048;1000;False;False;False;255"));
  for (const char* font :
       {"T;0;400;False;False;False;0", "T;2049;400;False;False;False;0",
        "T;9;1001;False;False;False;0", "T;9;400;x;False;False;0", "T;9;400;False;x;False;0",
        "T;9;400;False;False;x;0", "T;9;400;False;False;False;256"})
    EXPECT_FALSE(forms::ToFont(font)) << font;
}

}  // namespace
