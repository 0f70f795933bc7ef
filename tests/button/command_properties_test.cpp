// The button's properties: restoring and saving through a property bag, and
// what each access redraws.
#include <gtest/gtest.h>

#include "button/command_model.h"
#include "button/recording_view.h"
#include "forms/property_bag.h"

namespace {

using command::Face;

const forms::Font Ambient = forms::JapaneseUiFont();

TEST(CommandProperties, EmptyBagRestoresTheDefaults) {
  RecordingView view;
  command::CommandModel m(view);
  m.ReadProperties(forms::PropertyBag{}, Ambient);
  EXPECT_TRUE(m.EnabledValue());
  EXPECT_EQ(m.Caption(), "Command1");
  EXPECT_EQ(m.Font(), Ambient);
  EXPECT_EQ(m.CaptionColour(), 0u);
  EXPECT_EQ(m.FaceStyle(), 1);
  EXPECT_EQ(m.FirstRun(), 1);
  // Restoring ends with the resting face of an enabled button.
  ASSERT_FALSE(view.faces.empty());
  EXPECT_EQ(view.faces.back().first, Face::Normal);
}

TEST(CommandProperties, DefaultsWriteNoKeyAtAll) {
  RecordingView view;
  command::CommandModel m(view);
  m.ReadProperties(forms::PropertyBag{}, Ambient);
  forms::PropertyBag bag;
  bag.Set("Caption", "stale");  // a key equal to its default again is dropped
  m.WriteProperties(bag, Ambient);
  EXPECT_TRUE(bag.Keys().empty()) << bag.Save();
}

TEST(CommandProperties, RoundTripThroughTheStoredText) {
  RecordingView view;
  command::CommandModel m(view);
  m.ReadProperties(forms::PropertyBag{}, Ambient);
  forms::Font big = Ambient;
  big.size = 14.25;
  big.weight = 700;
  big.name = "Semi;colon\\back";
  m.SetCaption("\x90\xdd\x92\xe8\nline");  // "設定" and a line break
  m.SetFont(big);
  m.SetFontColour(0x00FF8000);
  m.SetEnabled(false);
  m.SetVisible(0);
  forms::PropertyBag bag;
  m.WriteProperties(bag, Ambient);
  const std::vector<std::string> keys = {"Enabled", "Caption", "Font", "FontColour", "Visible"};
  EXPECT_EQ(bag.Keys(), keys);

  RecordingView v2;
  command::CommandModel back(v2);
  back.ReadProperties(forms::PropertyBag::Load(bag.Save()), Ambient);
  EXPECT_FALSE(back.EnabledValue());
  EXPECT_EQ(back.Caption(), "\x90\xdd\x92\xe8\nline");
  EXPECT_EQ(back.Font(), big);
  EXPECT_EQ(back.CaptionColour(), 0x00FF8000u);
  EXPECT_EQ(back.FaceStyle(), 0);
  EXPECT_EQ(back.FirstRun(), 1);
}

TEST(CommandProperties, CaptionOfCommand1IsLeftOutAndComesBack) {
  RecordingView view;
  command::CommandModel m(view);
  m.ReadProperties(forms::PropertyBag{}, Ambient);
  m.SetCaption("Command1");
  forms::PropertyBag bag;
  m.WriteProperties(bag, Ambient);
  EXPECT_FALSE(bag.Has("Caption"));
  m.SetCaption("Command2");
  m.WriteProperties(bag, Ambient);
  EXPECT_EQ(bag.Find("Caption"), "Command2");
}

TEST(CommandProperties, ValuesCompareWithTheirDefaultsAsValues) {
  // FirstRun 1 equals the text default "1"; Visible 1 equals "1".
  RecordingView view;
  command::CommandModel m(view);
  forms::PropertyBag in;
  in.Set("FirstRun", "1.0");
  in.Set("Visible", " 1 ");
  m.ReadProperties(in, Ambient);
  forms::PropertyBag out;
  m.WriteProperties(out, Ambient);
  EXPECT_FALSE(out.Has("FirstRun"));
  EXPECT_FALSE(out.Has("Visible"));
}

TEST(CommandProperties, UnconvertibleValuesLeaveTheirTargetsAlone) {
  RecordingView view;
  command::CommandModel m(view);
  forms::PropertyBag in;
  in.Set("Enabled", "perhaps");
  in.Set("Font", "not a font");
  in.Set("FirstRun", "300");
  in.Set("FontColour", "red");
  in.Set("Visible", "99999");
  in.Set("Caption", "OK");
  m.ReadProperties(in, Ambient);
  EXPECT_FALSE(m.EnabledValue());  // a new button's value
  EXPECT_EQ(m.Font(), forms::Font{});
  EXPECT_EQ(m.FirstRun(), 0);
  EXPECT_EQ(m.CaptionColour(), 0u);
  EXPECT_EQ(m.FaceStyle(), 0);
  EXPECT_EQ(m.Caption(), "OK");  // later keys are still read
}

TEST(CommandProperties, VisibleReadsBack255Or0) {
  RecordingView view;
  command::CommandModel m(view);
  m.ReadProperties(forms::PropertyBag{}, Ambient);
  m.SetVisible(7);
  EXPECT_EQ(m.Visible(), 255);
  m.SetVisible(0);
  EXPECT_EQ(m.Visible(), 0);
}

TEST(CommandProperties, NeverRestoredButtonStartsDisabledUntilEnabledIsRead) {
  RecordingView view;
  command::CommandModel m(view);
  EXPECT_FALSE(m.EnabledValue());
  EXPECT_TRUE(m.Enabled());
  EXPECT_EQ(m.FirstRun(), 1);
  // The first RefreshNormal drew nothing (still disabled then); the getter's
  // ShowEnabledState draws the resting face.
  ASSERT_EQ(view.faces.size(), 1u);
  EXPECT_EQ(view.faces[0].first, Face::Normal);
}

TEST(CommandProperties, FirstRunZeroResetsTheCaptionColour) {
  RecordingView view;
  command::CommandModel m(view);
  forms::PropertyBag in;
  in.Set("FirstRun", "0");
  in.Set("FontColour", "255");
  m.ReadProperties(in, Ambient);
  EXPECT_EQ(m.CaptionColour(), 0u);  // reset by the RefreshNormal of restoring
  m.SetFontColour(0x123456);
  EXPECT_EQ(m.CaptionColour(), 0u);
  m.SetEnabled(false);
  m.SetFontColour(0x123456);
  EXPECT_EQ(m.CaptionColour(), 0x123456u);  // disabled: RefreshNormal does nothing
}

TEST(CommandProperties, SettersNotifyTheHostGettersDoNot) {
  RecordingView view;
  command::CommandModel m(view);
  m.ReadProperties(forms::PropertyBag{}, Ambient);
  view.Forget();
  m.SetEnabled(true);
  m.SetCaption("x");
  m.SetFont(Ambient);
  m.SetFontColour(1);
  m.SetVisible(1);
  const std::vector<std::string> expected = {"Enabled", "Caption", "Font", "FontColour", "Visible"};
  EXPECT_EQ(view.changed, expected);
  view.Forget();
  (void)m.Enabled();
  (void)m.FontColour();
  (void)m.Visible();
  EXPECT_TRUE(view.changed.empty());
}

TEST(CommandProperties, EnabledStateChoosesNormalOrDisable) {
  RecordingView view;
  command::CommandModel m(view);
  m.ReadProperties(forms::PropertyBag{}, Ambient);
  view.Forget();
  m.SetEnabled(false);
  ASSERT_EQ(view.faces.size(), 1u);
  EXPECT_EQ(view.faces[0].first, Face::Disable);
  EXPECT_FALSE(m.CaptionEnabled());
  view.Forget();
  m.RefreshNormal();  // never draws Disable, and nothing while disabled
  EXPECT_TRUE(view.faces.empty());
  m.SetEnabled(true);
  EXPECT_EQ(view.faces.back().first, Face::Normal);
  EXPECT_TRUE(m.CaptionEnabled());
}

TEST(PropertyBag, GarbledTextLoadsWhatItCan) {
  static const char stored[] = "no equals sign\n=value\r\nCaption=A\\nB\\\\\x00x\r\n";
  const forms::PropertyBag bag = forms::PropertyBag::Load(std::string(stored, sizeof stored - 1));
  ASSERT_EQ(bag.Keys().size(), 1u);
  EXPECT_EQ(bag.Find("Caption"), std::string("A\nB\\\x00x", 6));
}

TEST(PropertyBag, ConversionsOfStoredText) {
  EXPECT_EQ(forms::ToBoolean("True"), true);
  EXPECT_EQ(forms::ToBoolean("-1"), true);
  EXPECT_EQ(forms::ToBoolean("0"), false);
  EXPECT_EQ(forms::ToBoolean("yes"), std::nullopt);
  EXPECT_EQ(forms::ToInteger("2.5"), 2);
  EXPECT_EQ(forms::ToInteger("3.5"), 4);
  EXPECT_EQ(forms::ToInteger("1e3"), 1000);
  EXPECT_EQ(forms::ToInteger("0x10"), std::nullopt);
  EXPECT_EQ(forms::ToInteger("inf"), std::nullopt);
  EXPECT_EQ(forms::ToInteger("1e400"), std::nullopt);
  EXPECT_EQ(forms::ToFont("Tahoma;8.25;400;False;False;False"), std::nullopt);
  EXPECT_EQ(forms::ToFont("Tahoma;-3;400;False;False;False;0"), std::nullopt);
}

}  // namespace
