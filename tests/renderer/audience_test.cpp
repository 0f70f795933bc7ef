// When the renderer draws: display states (D0 off, D1 on, D2 dimmed) and
// session changes (S1..S8) in turn, and after each whether it can be seen.
#include "renderer/audience.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

TEST(Audience, DrawsOnlyWhileSomeoneCanSee) {
  const std::pair<const char*, std::string> rows[] = {
      {"D0 D2 D1", "-++"},     {"D2 D0 D1", "+-+"},  // dimmed counts as on
      {"D0 S7 D1 S8", "---+"},                       // locked while off: both must end
      {"S2 D0 S1 D1", "---+"},                       // reconnected while the display is off
      {"S4 S3", "-+"},         {"S2 S8 S1", "--+"},
      {"S5 S6 S9", "+++"},     {"D0 D3 D1", "--+"},  // log-on, log-off, others
  };
  for (const auto& [events, expected] : rows) {
    SCOPED_TRACE(events);
    renderer::Audience audience;
    std::istringstream in(events);
    std::string seen;
    for (std::string e; in >> e;) {
      const auto value = static_cast<std::uint32_t>(std::stoul(e.substr(1)));
      e[0] == 'D' ? audience.DisplayState(value) : audience.SessionChange(value);
      seen += audience.CanSee() ? '+' : '-';
    }
    EXPECT_EQ(seen, expected);
  }
}

}  // namespace
