// Whether the tray icon's window looks parked off the menu bar: degenerate or below the screen, or a sliver
// lower than the bar at the screen's right edge.
#include "app/StatusItemPresence.h"

#include <gtest/gtest.h>

#include <limits>

namespace tessarapane {
namespace {

TEST(StatusItemPresence, DegenerateBelowOrRightEdgeSliversAreParked) {
  const Rect screen(0, 0, 1440, 900);
  const std::optional<Rect> none;
  const double kNaN = std::numeric_limits<double>::quiet_NaN();
  const std::vector<std::tuple<Rect, std::optional<Rect>, double, bool>> cases = {
      {Rect(1400, 876, 0, 22), screen, 24, true},    {Rect(1400, 876, 1, 22), none, 0, true},
      {Rect(1400, 876, 24, 1), screen, -5, true},    {Rect(1400, -22, 24, 22), none, 24, true},
      {Rect(100, -21.5, 1.5, 22), screen, 24, false}, {Rect(124, 876, -24, 22), screen, 24, false},
      {Rect(1416, 890, 24, 10), screen, 24, true},   {Rect(1416, 888, 24, 12), screen, 12, false},
      {Rect(1416, 888, 24, 11), screen, 12, false},  {Rect(1416, 888, 24, 10.9), screen, 12, true},
      {Rect(1416.5, 890, 24, 10), screen, 24, true}, {Rect(1415.1, 890, 24, 10), screen, 24, true},
      {Rect(1417, 890, 24, 10), screen, 24, false},  {Rect(1415, 890, 24, 10), screen, 24, false},
      {Rect(2856, 890, 24, 10), Rect(1440, 0, 1440, 900), 24, true},
      {Rect(1416, 890, 24, 10), Rect(1440, 0, 1440, 900), 24, false},
      {Rect(1416, 890, 24, 10), none, 24, false},    {Rect(1416, 890, 24, 10), screen, 0, false},
      {Rect(1416, 890, 24, 10), screen, kNaN, false},
  };
  for (const auto& [frame, on, bar, parked] : cases) {
    EXPECT_EQ(StatusItemPresence::isParkedOffMenuBar(frame, on, bar), parked) << frame << " bar " << bar;
  }
}

}  // namespace
}  // namespace tessarapane
