// The Command button without a window: its pointer and focus state table, and what enabling and
// disabling redraw.
#include "button/command_model.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <tuple>

namespace {

// A button view that writes down what the model asks of it, in order: a face by letter (N Normal,
// H HighLight, P Pressed, D Disable, L HighLightSelect, S Selected; "~" when the body runs from
// the tint at the top), "caption", "timer" and "click".
struct RecordingView : button::CommandView {
  std::string log;
  void DrawFace(button::Face f, bool invert) override {
    log += std::string(" ") + "NHPDLS"[static_cast<int>(f)] + (invert ? "~" : "");
  }
  void CaptionChanged() override { log += " caption"; }
  void StartHoverTimer() override { log += " timer"; }
  void Click() override { log += " click"; }
};

enum Event { Move, LeftPress, LeftRelease, OtherRelease, FocusGained, FocusLost, Poll, Events };

void Apply(button::CommandModel& m, Event e) {
  if (e == Move) m.MouseMove();
  if (e == LeftPress) m.MouseDown(button::LeftButton);
  if (e == LeftRelease) m.MouseUp(button::LeftButton);
  if (e == OtherRelease) m.MouseUp(button::RightButton);
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
        button::CommandModel m(view, "OK", forms::Font{});
        if (from != 0) m.Initialize();
        if (from == 2 || from == 4) m.MouseMove();
        if (from == 3 || from == 4) m.GotFocus();
        if (held) m.MouseDown(button::LeftButton);
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

TEST(CommandEnabled, DisablingGreysTheFaceAndCaptionAndEnablingRestoresThem) {
  RecordingView view;
  button::CommandModel m(view, "OK", forms::JapaneseUiFont());
  EXPECT_TRUE(m.Enabled() && m.CaptionEnabled());
  // The access, then what the view was asked.
  const std::tuple<std::function<void()>, const char*> rows[] = {
      {[&] { m.Initialize(); }, " timer"},          {[&] { m.Resize(); }, " N"},
      {[&] { m.SetEnabled(false); }, " D caption"}, {[&] { m.Resize(); }, " D"},
      {[&] { m.SetEnabled(true); }, " N caption"},
  };
  for (const auto& [access, log] : rows) {
    view.log.clear();
    access();
    EXPECT_EQ(view.log, log);
    EXPECT_EQ(m.CaptionEnabled(), m.Enabled());
  }
}

}  // namespace
