#include "app/StatusItemPresence.h"

#include <gtest/gtest.h>

#include <limits>

namespace tessarapane {
namespace {

using StatusItemPresence::isParkedOffMenuBar;

const Rect kScreen(0, 0, 1440, 900);

TEST(StatusItemPresenceTest, DegenerateOrBelowScreenWindowsAreParkedWhateverTheScreen) {
  for (const auto& screen : {std::optional<Rect>(kScreen), std::optional<Rect>()}) {
    for (double bar : {24.0, 0.0, -5.0}) {
      EXPECT_TRUE(isParkedOffMenuBar(Rect(1400, 876, 0, 22), screen, bar));
      EXPECT_TRUE(isParkedOffMenuBar(Rect(1400, 876, 1, 22), screen, bar));
      EXPECT_TRUE(isParkedOffMenuBar(Rect(1400, 876, 24, 1), screen, bar));
      EXPECT_TRUE(isParkedOffMenuBar(Rect(1400, -22, 24, 22), screen, bar));  // max y exactly 0
      EXPECT_TRUE(isParkedOffMenuBar(Rect(1400, -100, 24, 22), screen, bar));
      // Just above the limits.
      EXPECT_FALSE(isParkedOffMenuBar(Rect(100, -21.5, 1.5, 22), screen, bar));
    }
  }
  // Sizes are read standardized: a negative width of 24 is 24 wide.
  EXPECT_FALSE(isParkedOffMenuBar(Rect(124, 876, -24, 22), kScreen, 24));
}

TEST(StatusItemPresenceTest, RightEdgeWindowLowerThanTheMenuBarIsParked) {
  // 24 × 10 at the right edge under a 24-point menu bar.
  EXPECT_TRUE(isParkedOffMenuBar(Rect(1416, 890, 24, 10), kScreen, 24));
  // 12 high under a 12-point bar is not lower than 12 - 1.
  EXPECT_FALSE(isParkedOffMenuBar(Rect(1416, 888, 24, 12), kScreen, 12));
  EXPECT_FALSE(isParkedOffMenuBar(Rect(1416, 888, 24, 11), kScreen, 12));
  EXPECT_TRUE(isParkedOffMenuBar(Rect(1416, 888, 24, 10.9), kScreen, 12));

  // Within 1 point of the right edge on either side, but not 1 point away.
  EXPECT_TRUE(isParkedOffMenuBar(Rect(1416.5, 890, 24, 10), kScreen, 24));
  EXPECT_TRUE(isParkedOffMenuBar(Rect(1415.1, 890, 24, 10), kScreen, 24));
  EXPECT_FALSE(isParkedOffMenuBar(Rect(1417, 890, 24, 10), kScreen, 24));
  EXPECT_FALSE(isParkedOffMenuBar(Rect(1415, 890, 24, 10), kScreen, 24));
  EXPECT_FALSE(isParkedOffMenuBar(Rect(1200, 890, 24, 10), kScreen, 24));

  // A secondary screen's right edge counts, not the primary's.
  EXPECT_TRUE(isParkedOffMenuBar(Rect(2856, 890, 24, 10), Rect(1440, 0, 1440, 900), 24));
  EXPECT_FALSE(isParkedOffMenuBar(Rect(1416, 890, 24, 10), Rect(1440, 0, 1440, 900), 24));
}

TEST(StatusItemPresenceTest, WithoutScreenOrMenuBarOnlyTheSizeRuleApplies) {
  const Rect hugging(1416, 890, 24, 10);
  EXPECT_FALSE(isParkedOffMenuBar(hugging, std::nullopt, 24));
  EXPECT_FALSE(isParkedOffMenuBar(hugging, std::nullopt, 0));
  EXPECT_FALSE(isParkedOffMenuBar(hugging, kScreen, 0));
  EXPECT_FALSE(isParkedOffMenuBar(hugging, kScreen, -24));
  EXPECT_FALSE(isParkedOffMenuBar(hugging, kScreen, std::numeric_limits<double>::quiet_NaN()));
}

}  // namespace
}  // namespace tessarapane
