// The button's pointer and focus state machine, every cell of its table: the
// new state, then the faces drawn and Click, as RecordingView writes them.
#include <gtest/gtest.h>

#include <string>

#include "button/command_model.h"
#include "button/recording_view.h"

namespace {

enum Event { Move, LeftPress, LeftRelease, OtherRelease, FocusGained, FocusLost, Poll, Events };
const char* const EventName[] = {"move",         "left press", "left release", "other release",
                                 "focus gained", "focus lost", "poll"};

void Apply(command::CommandModel& m, Event e) {
  if (e == Move) m.MouseMove();
  if (e == LeftPress) m.MouseDown(command::LeftButton);
  if (e == LeftRelease) m.MouseUp(command::LeftButton);
  if (e == OtherRelease) m.MouseUp(command::RightButton);
  if (e == FocusGained) m.GotFocus();
  if (e == FocusLost) m.LostFocus();
  if (e == Poll) m.PointerLeft();
}

struct Row {
  int from;
  bool held;  // the left button was pressed over the button and is still down
  const char* cells[Events];
};

const Row Table[] = {
    {0, false, {"0", "0 P", "0 click", "0 click", "3 S", "1 N", "0"}},
    {1, false, {"2 H~", "1 P", "1 click", "1 click", "3 S", "1", "1"}},
    {2, false, {"2", "2 P~", "2 N~ click", "2 click", "4 P~", "1 N", "1 N"}},
    {3, false, {"4 L", "3 P", "3", "3", "3 S", "1 N", "3"}},
    {3, true, {"3", "3 P", "3", "3", "3 S", "1 N", "3"}},  // dragged off: no hover, no click
    {4, false, {"4", "4 P~", "4 L~ click", "4 click", "3 S", "1 N", "3 S"}},
};

TEST(CommandState, EveryCellEnabledAndDisabled) {
  for (const Row& row : Table) {
    for (int e = 0; e < Events; ++e) {
      for (bool enabled : {true, false}) {
        SCOPED_TRACE(::testing::Message() << "state " << row.from << (row.held ? " held, " : ", ")
                                          << EventName[e] << (enabled ? "" : ", disabled"));
        // Brought into the state the way a user would.
        RecordingView view;
        command::CommandModel m(view);
        m.ReadProperties(forms::PropertyBag{}, forms::Font{});
        if (row.from != 0) m.Initialize();
        if (row.from == 2 || row.from == 4) m.MouseMove();
        if (row.from == 3 || row.from == 4) m.GotFocus();
        if (row.held) m.MouseDown(command::LeftButton);
        if (!enabled) m.SetEnabled(false);
        ASSERT_EQ(m.ButtonState(), row.from);
        view.log.clear();
        Apply(m, static_cast<Event>(e));
        // A disabled button stays as it is and draws nothing.
        EXPECT_EQ(std::to_string(m.ButtonState()) + view.log,
                  enabled ? row.cells[e] : std::to_string(row.from));
        // A left press always sets the flag, a left release clears it.
        const bool pressOrRelease = enabled && (e == LeftPress || e == LeftRelease);
        EXPECT_EQ(m.LeftButtonDown(), pressOrRelease ? e == LeftPress : row.held);
      }
    }
  }
}

}  // namespace
