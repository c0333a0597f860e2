#include "layout/PaneFrameFit.h"

#include <gtest/gtest.h>

#include <limits>

namespace tessarapane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const Rect kExpected(100, 200, 800, 600);

TEST(PaneFrameFitTest, BoundsAreInclusive) {
  EXPECT_TRUE(PaneFrameFit::matches(kExpected, kExpected));
  EXPECT_TRUE(PaneFrameFit::matches(Rect(132, 200, 800, 600), kExpected));
  EXPECT_TRUE(PaneFrameFit::matches(Rect(68, 168, 760, 560), kExpected));
  EXPECT_TRUE(PaneFrameFit::matches(Rect(132, 232, 840, 640), kExpected));
  EXPECT_TRUE(PaneFrameFit::matches(Rect(100, 200, 840, 600), kExpected));
}

TEST(PaneFrameFitTest, HalfAPointPastEitherBoundFails) {
  EXPECT_FALSE(PaneFrameFit::matches(Rect(132.5, 200, 800, 600), kExpected));
  EXPECT_FALSE(PaneFrameFit::matches(Rect(67.5, 200, 800, 600), kExpected));
  EXPECT_FALSE(PaneFrameFit::matches(Rect(100, 232.5, 800, 600), kExpected));
  EXPECT_FALSE(PaneFrameFit::matches(Rect(100, 200, 840.5, 600), kExpected));
  EXPECT_FALSE(PaneFrameFit::matches(Rect(100, 200, 800, 559.5), kExpected));
  // The origin bound is 32 even where the size bound of 40 would allow more.
  EXPECT_FALSE(PaneFrameFit::matches(Rect(136, 200, 800, 600), kExpected));
}

TEST(PaneFrameFitTest, NaNNeverMatches) {
  EXPECT_FALSE(PaneFrameFit::matches(Rect(kNaN, 200, 800, 600), kExpected));
  EXPECT_FALSE(PaneFrameFit::matches(Rect(100, 200, 800, kNaN), kExpected));
  EXPECT_FALSE(PaneFrameFit::matches(kExpected, Rect(100, kNaN, 800, 600)));
  EXPECT_FALSE(PaneFrameFit::matches(Rect(kNaN, kNaN, kNaN, kNaN), Rect(kNaN, kNaN, kNaN, kNaN)));
}

TEST(PaneFrameFitTest, NegativeSizesCompareAsTheAreaTheyDescribe) {
  EXPECT_TRUE(PaneFrameFit::matches(Rect(900, 800, -800, -600), kExpected));
  EXPECT_TRUE(PaneFrameFit::matches(kExpected, Rect(900, 800, -800, -600)));
  // Same origin, mirrored area: far away.
  EXPECT_FALSE(PaneFrameFit::matches(Rect(100, 200, -800, -600), kExpected));
}

TEST(PaneFrameFitTest, TheNullRectangleNeverMatches) {
  EXPECT_FALSE(PaneFrameFit::matches(Rect::null(), kExpected));
  EXPECT_FALSE(PaneFrameFit::matches(Rect::null(), Rect::null()));
}

}  // namespace
}  // namespace tessarapane
