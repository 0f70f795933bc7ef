// The button's pointer and focus state machine, cell by cell.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "button/command_model.h"
#include "button/recording_view.h"

namespace {

using command::Face;

enum class Event { Move, LeftPress, LeftRelease, OtherRelease, FocusGained, FocusLost, Poll };

const char* Name(Event e) {
  switch (e) {
    case Event::Move:
      return "move";
    case Event::LeftPress:
      return "left press";
    case Event::LeftRelease:
      return "left release";
    case Event::OtherRelease:
      return "other release";
    case Event::FocusGained:
      return "focus gained";
    case Event::FocusLost:
      return "focus lost";
    case Event::Poll:
      return "poll";
  }
  return "?";
}

void Apply(command::CommandModel& m, Event e) {
  switch (e) {
    case Event::Move:
      m.MouseMove();
      break;
    case Event::LeftPress:
      m.MouseDown(command::LeftButton);
      break;
    case Event::LeftRelease:
      m.MouseUp(command::LeftButton);
      break;
    case Event::OtherRelease:
      m.MouseUp(command::RightButton);
      break;
    case Event::FocusGained:
      m.GotFocus();
      break;
    case Event::FocusLost:
      m.LostFocus();
      break;
    case Event::Poll:
      m.PointerLeft();
      break;
  }
}

// An enabled button brought into a state the way a user would.
void Reach(command::CommandModel& m, int state) {
  m.ReadProperties(forms::PropertyBag{}, forms::Font{});
  if (state == 0) return;
  m.Initialize();
  if (state == 2 || state == 4) m.MouseMove();
  if (state == 3 || state == 4) m.GotFocus();
  ASSERT_EQ(m.ButtonState(), state);
}

// Pointer enters, left press, the press takes the focus: state 4, held.
void PressOnUnfocused(command::CommandModel& m) {
  m.MouseMove();
  m.MouseDown(command::LeftButton);
  m.GotFocus();
}

struct Cell {
  int state;
  Event event;
  int newState;
  std::vector<Face> faces;
  bool click;
};

const Face N = Face::Normal, HL = Face::HighLight, P = Face::Pressed, S = Face::Selected,
           HLS = Face::HighLightSelect;

const std::vector<Cell> Table = {
    {0, Event::Move, 0, {}, false},          {0, Event::LeftPress, 0, {P}, false},
    {0, Event::LeftRelease, 0, {}, true},    {0, Event::OtherRelease, 0, {}, true},
    {0, Event::FocusGained, 3, {S}, false},  {0, Event::FocusLost, 1, {N}, false},
    {0, Event::Poll, 0, {}, false},          {1, Event::Move, 2, {HL}, false},
    {1, Event::LeftPress, 1, {P}, false},    {1, Event::LeftRelease, 1, {}, true},
    {1, Event::OtherRelease, 1, {}, true},   {1, Event::FocusGained, 3, {S}, false},
    {1, Event::FocusLost, 1, {}, false},     {1, Event::Poll, 1, {}, false},
    {2, Event::Move, 2, {}, false},          {2, Event::LeftPress, 2, {P}, false},
    {2, Event::LeftRelease, 2, {N}, true},   {2, Event::OtherRelease, 2, {}, true},
    {2, Event::FocusGained, 4, {P}, false},  {2, Event::FocusLost, 1, {N}, false},
    {2, Event::Poll, 1, {N}, false},         {3, Event::Move, 4, {HLS}, false},
    {3, Event::LeftPress, 3, {P}, false},    {3, Event::LeftRelease, 3, {}, false},
    {3, Event::OtherRelease, 3, {}, false},  {3, Event::FocusGained, 3, {S}, false},
    {3, Event::FocusLost, 1, {N}, false},    {3, Event::Poll, 3, {}, false},
    {4, Event::Move, 4, {}, false},          {4, Event::LeftPress, 4, {P}, false},
    {4, Event::LeftRelease, 4, {HLS}, true}, {4, Event::OtherRelease, 4, {}, true},
    {4, Event::FocusGained, 3, {S}, false},  {4, Event::FocusLost, 1, {N}, false},
    {4, Event::Poll, 3, {S}, false},
};

TEST(CommandState, EveryCellOfTheTable) {
  ASSERT_EQ(Table.size(), 35u);
  for (const Cell& c : Table) {
    SCOPED_TRACE(::testing::Message() << "state " << c.state << ", " << Name(c.event));
    RecordingView view;
    command::CommandModel m(view);
    Reach(m, c.state);
    view.Forget();
    Apply(m, c.event);
    EXPECT_EQ(m.ButtonState(), c.newState);
    std::vector<Face> drawn;
    for (auto& f : view.faces) drawn.push_back(f.first);
    EXPECT_EQ(drawn, c.faces);
    EXPECT_EQ(view.clicks, c.click ? 1 : 0);
    // A press always sets the left-button flag and a left release clears it.
    if (c.event == Event::LeftPress) {
      EXPECT_TRUE(m.LeftButtonDown());
    }
    if (c.event == Event::LeftRelease) {
      EXPECT_FALSE(m.LeftButtonDown());
    }
  }
}

TEST(CommandState, ClickOnAnUnfocusedButton) {
  RecordingView view;
  command::CommandModel m(view);
  Reach(m, 1);
  view.Forget();
  m.MouseMove();                     // 1 -> 2
  m.MouseDown(command::LeftButton);  // Pressed
  m.GotFocus();                      // 2 -> 4, Pressed
  m.MouseUp(command::LeftButton);    // HighLightSelect, Click
  m.PointerLeft();                   // 4 -> 3
  m.LostFocus();                     // 3 -> 1
  const std::vector<std::pair<Face, bool>> expected = {{HL, true},  {P, true},  {P, true},
                                                       {HLS, true}, {S, false}, {N, false}};
  EXPECT_EQ(view.faces, expected);
  EXPECT_EQ(view.clicks, 1);
  EXPECT_EQ(m.ButtonState(), command::Idle);
}

TEST(CommandState, DraggingOffCancelsTheClick) {
  RecordingView view;
  command::CommandModel m(view);
  Reach(m, 1);
  PressOnUnfocused(m);
  m.PointerLeft();  // the poll sees the pointer gone: 4 -> 3
  m.MouseMove();    // back over it, left button still held: stays 3
  EXPECT_EQ(m.ButtonState(), command::Focused);
  m.MouseUp(command::LeftButton);
  EXPECT_EQ(view.clicks, 0);
}

TEST(CommandState, ReleaseOutsideBeforeThePollStillClicks) {
  RecordingView view;
  command::CommandModel m(view);
  Reach(m, 1);
  PressOnUnfocused(m);
  m.MouseUp(command::LeftButton);  // still state 4: the poll has not run
  EXPECT_EQ(view.clicks, 1);
}

TEST(CommandState, RightAndMiddleReleasesClickWithoutAFaceOfTheirOwn) {
  for (int state : {0, 1, 2, 3, 4}) {
    for (int button : {command::RightButton, command::MiddleButton}) {
      RecordingView view;
      command::CommandModel m(view);
      Reach(m, state);
      view.Forget();
      m.MouseDown(button);
      m.MouseUp(button);
      EXPECT_TRUE(view.faces.empty());
      EXPECT_EQ(view.clicks, state == 3 ? 0 : 1) << state;
      EXPECT_EQ(m.ButtonState(), state);
    }
  }
}

TEST(CommandState, DisabledButtonIgnoresPointerAndFocus) {
  RecordingView view;
  command::CommandModel m(view);
  Reach(m, 1);
  m.SetEnabled(false);
  view.Forget();
  for (Event e : {Event::Move, Event::LeftPress, Event::LeftRelease, Event::OtherRelease,
                  Event::FocusGained, Event::FocusLost, Event::Poll})
    Apply(m, e);
  EXPECT_TRUE(view.faces.empty());
  EXPECT_EQ(view.clicks, 0);
  EXPECT_EQ(m.ButtonState(), command::Idle);
}

TEST(CommandState, HoverToFocusedHoverKeepsTheInvertedGradient) {
  RecordingView view;
  command::CommandModel m(view);
  Reach(m, 2);
  view.Forget();
  m.GotFocus();
  ASSERT_EQ(view.faces.size(), 1u);
  EXPECT_EQ(view.faces[0], std::make_pair(Face::Pressed, true));
  // From Focused, the FocusedHover look keeps the plain direction.
  RecordingView v2;
  command::CommandModel m2(v2);
  Reach(m2, 3);
  v2.Forget();
  m2.MouseMove();
  EXPECT_EQ(v2.faces.at(0), std::make_pair(Face::HighLightSelect, false));
}

TEST(CommandState, WithoutInitializeTheHoverLookNeverEnds) {
  RecordingView view;
  command::CommandModel m(view);
  Reach(m, 0);
  EXPECT_FALSE(view.timerStarted);
  m.MouseMove();
  EXPECT_EQ(m.ButtonState(), 0);
  m.GotFocus();
  m.LostFocus();
  EXPECT_EQ(m.ButtonState(), command::Idle);
  m.MouseMove();
  EXPECT_EQ(m.ButtonState(), command::Hover);
}

TEST(CommandState, LosingFocusWhileHoveredGoesStraightToIdle) {
  RecordingView view;
  command::CommandModel m(view);
  Reach(m, 4);
  view.Forget();
  m.LostFocus();
  m.MouseMove();
  const std::vector<std::pair<Face, bool>> expected = {{N, false}, {HL, true}};
  EXPECT_EQ(view.faces, expected);
}

}  // namespace
