#include "layout/NewWindowPlacement.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace tessarapane {
namespace {

using NewWindowPlacement::focusedOrLeastFull;
using NewWindowPlacement::paneIndex;
using NewWindowPlacement::uniquelyLargestOverlapIndex;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// split2 over (0, 0, 1000, 800).
const std::vector<Rect> kPanes = {Rect(0, 0, 500, 800), Rect(500, 0, 500, 800)};

TEST(NewWindowPlacementTest, APointOnASharedEdgeBelongsToThePaneStartingThere) {
  EXPECT_EQ(paneIndex(Point{500, 100}, kPanes), 1);
  EXPECT_EQ(paneIndex(Point{499.999, 100}, kPanes), 0);
  EXPECT_EQ(paneIndex(Point{0, 0}, kPanes), 0);
  EXPECT_EQ(paneIndex(Point{1000, 100}, kPanes), std::nullopt);  // max-x edge
  EXPECT_EQ(paneIndex(Point{100, 800}, kPanes), std::nullopt);   // max-y edge
  EXPECT_EQ(paneIndex(Point{-1, 100}, kPanes), std::nullopt);
}

TEST(NewWindowPlacementTest, APointInSeveralOrNoPanesHasNoAnswer) {
  const std::vector<Rect> overlapping = {Rect(0, 0, 600, 800), Rect(400, 0, 600, 800)};
  EXPECT_EQ(paneIndex(Point{500, 100}, overlapping), std::nullopt);
  EXPECT_EQ(paneIndex(Point{100, 100}, overlapping), 0);
  EXPECT_EQ(paneIndex(Point{100, 100}, {}), std::nullopt);
  EXPECT_EQ(paneIndex(Point{kNaN, 100}, kPanes), std::nullopt);
  EXPECT_EQ(paneIndex(Point{100, 100}, {Rect(kNaN, 0, 500, 800), Rect(0, 0, 500, 800)}), 1);
}

TEST(NewWindowPlacementTest, TheUniquelyLargestOverlapWins) {
  EXPECT_EQ(uniquelyLargestOverlapIndex(Rect(400, -300, 400, 400), kPanes), 1);
  EXPECT_EQ(uniquelyLargestOverlapIndex(Rect(-100, 100, 400, 400), kPanes), 0);
  // A later pane replaces the best only when strictly larger; ties at the top
  // are ambiguous wherever they are.
  const std::vector<Rect> three = {Rect(0, 0, 100, 100), Rect(100, 0, 100, 100), Rect(200, 0, 100, 100)};
  EXPECT_EQ(uniquelyLargestOverlapIndex(Rect(50, 0, 200, 100), three), 1);             // 50, 100, 50
  EXPECT_EQ(uniquelyLargestOverlapIndex(Rect(50, 0, 250, 100), three), std::nullopt);  // 50, 100, 100
  EXPECT_EQ(uniquelyLargestOverlapIndex(Rect(0, 0, 260, 100), three), std::nullopt);   // 100, 100, 60
  EXPECT_EQ(uniquelyLargestOverlapIndex(Rect(0, 0, 140, 100), three), 0);             // 100, 40, 0
}

TEST(NewWindowPlacementTest, EqualZeroOrUnusableOverlapsHaveNoAnswer) {
  EXPECT_EQ(uniquelyLargestOverlapIndex(Rect(300, -300, 400, 400), kPanes), std::nullopt);  // equal
  EXPECT_EQ(uniquelyLargestOverlapIndex(Rect(2000, 0, 10, 10), kPanes), std::nullopt);      // none
  EXPECT_EQ(uniquelyLargestOverlapIndex(Rect(1000, 0, 10, 10), kPanes), std::nullopt);      // touching
  EXPECT_EQ(uniquelyLargestOverlapIndex(Rect(100, 100, 0, 0), kPanes), std::nullopt);       // no area
  EXPECT_EQ(uniquelyLargestOverlapIndex(Rect(kNaN, 0, 10, 10), kPanes), std::nullopt);
  EXPECT_EQ(uniquelyLargestOverlapIndex(Rect::null(), kPanes), std::nullopt);
  EXPECT_EQ(uniquelyLargestOverlapIndex(Rect(0, 0, 10, 10), {}), std::nullopt);
}

TEST(NewWindowPlacementTest, AnOverlapWithoutANumericAreaCountsZero) {
  // Infinite width times zero height is not a number; it must not block the
  // pane after it.
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const std::vector<Rect> panes = {Rect(0, 0, kInf, 0), Rect(0, 0, 100, 100)};
  EXPECT_EQ(uniquelyLargestOverlapIndex(Rect(0, 0, kInf, 10), panes), 1);
}

TEST(NewWindowPlacementTest, OverlapOfANegativeSizeIsThatOfTheAreaItDescribes) {
  EXPECT_EQ(uniquelyLargestOverlapIndex(Rect(800, 100, -400, 400), kPanes), 1);  // = (400, 100, 400, 400)
}

TEST(NewWindowPlacementTest, AValidFocusedPaneWinsHoweverFull) {
  EXPECT_EQ(focusedOrLeastFull(0, {3, 1, 1}), 0);
  EXPECT_EQ(focusedOrLeastFull(2, {3, 1, 0}), 2);
}

TEST(NewWindowPlacementTest, OtherwiseTheLeastFullPaneLowestIndexFirst) {
  EXPECT_EQ(focusedOrLeastFull(-1, {3, 1, 1}), 1);
  EXPECT_EQ(focusedOrLeastFull(3, {3, 1, 1}), 1);
  EXPECT_EQ(focusedOrLeastFull(-1, {2, 2, 2}), 0);
  EXPECT_EQ(focusedOrLeastFull(99, {4, 3, 3, 0}), 3);
  EXPECT_EQ(focusedOrLeastFull(-1, {7}), 0);
  EXPECT_EQ(focusedOrLeastFull(0, {}), std::nullopt);
}

}  // namespace
}  // namespace tessarapane
