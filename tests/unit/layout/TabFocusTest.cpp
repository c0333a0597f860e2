#include "layout/TabFocus.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "LayoutTestSupport.h"
#include "layout/WindowFocusMatch.h"

namespace tessarapane {
namespace {

using testing_support::window;
using Target = TabFocus::Target;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

PaneState pane(std::vector<ManagedWindow> windows, int selectedIndex) {
  PaneState p = PaneState::withWindows(PaneGeometry{}, std::move(windows));
  p.selectedIndex = selectedIndex;
  return p;
}

class TabFocusTest : public ::testing::Test {
 protected:
  // Three panes: 0 holds 1 and 2, 1 holds 3, 4 and 5, 2 holds 6.
  std::vector<PaneState> panes_ = {
      pane({window(1, 10), window(2, 10)}, 1),
      pane({window(3, 20), window(4, 20), window(5, 30)}, 0),
      pane({window(6, 40)}, 0),
  };
};

TEST_F(TabFocusTest, TheFocusedWindowsTabWins) {
  EXPECT_EQ(TabFocus::moveTarget(panes_, window(5, 30), 2), (Target{1, 2}));
  EXPECT_EQ(TabFocus::moveTarget(panes_, window(1, 10), std::nullopt), (Target{0, 0}));
}

TEST_F(TabFocusTest, TheFirstMatchingTabInPaneAndTabOrderWins) {
  panes_[2].windows.push_back(window(2, 10));
  EXPECT_EQ(TabFocus::moveTarget(panes_, window(2, 10), std::nullopt), (Target{0, 1}));
}

TEST_F(TabFocusTest, MatchingNeedsTheSameProcessAndTheSameElement) {
  ManagedWindow otherProcess = window(5, 30);
  otherProcess.ownerPID = 31;
  EXPECT_EQ(TabFocus::moveTarget(panes_, otherProcess, 0), (Target{0, 1}));

  // The same window number but another element does not match; another
  // number with the same element does.
  EXPECT_EQ(TabFocus::moveTarget(panes_, window(5, 30, 999), 0), (Target{0, 1}));
  EXPECT_EQ(TabFocus::moveTarget(panes_, window(777, 30, 5), 0), (Target{1, 2}));
}

TEST_F(TabFocusTest, WithoutAFocusedTabTheLastFocusedPanesSelectionIsUsed) {
  EXPECT_EQ(TabFocus::moveTarget(panes_, std::nullopt, 0), (Target{0, 1}));
  EXPECT_EQ(TabFocus::moveTarget(panes_, window(50, 50), 1), (Target{1, 0}));
}

TEST_F(TabFocusTest, AnInvalidLastFocusedPaneFallsToTheHighestPaneWithASelection) {
  EXPECT_EQ(TabFocus::moveTarget(panes_, window(50, 50), 5), (Target{2, 0}));
  EXPECT_EQ(TabFocus::moveTarget(panes_, std::nullopt, -1), (Target{2, 0}));
  EXPECT_EQ(TabFocus::moveTarget(panes_, std::nullopt, std::nullopt), (Target{2, 0}));

  panes_[2].windows.clear();
  EXPECT_EQ(TabFocus::moveTarget(panes_, window(50, 50), 5), (Target{1, 0}));

  panes_[1].selectedIndex = 3;  // past the end
  EXPECT_EQ(TabFocus::moveTarget(panes_, std::nullopt, 1), (Target{0, 1}));
  panes_[0].selectedIndex = -1;
  EXPECT_EQ(TabFocus::moveTarget(panes_, std::nullopt, 0), std::nullopt);
}

TEST_F(TabFocusTest, NoPanesOrOnlyEmptyPanesGiveNothing) {
  EXPECT_EQ(TabFocus::moveTarget({}, window(1, 10), 0), std::nullopt);
  EXPECT_EQ(TabFocus::moveTarget({pane({}, 0), pane({}, 0)}, window(1, 10), 1), std::nullopt);
}

TEST(WindowFocusMatchTest, AUniqueCloseCandidateMatches) {
  using WindowFocusMatch::bestIndex;
  EXPECT_EQ(bestIndex({10.0, 11.5}), 0u);
  EXPECT_EQ(bestIndex({48.0}), 0u);
  EXPECT_EQ(bestIndex({0.0}), 0u);
  EXPECT_EQ(bestIndex({60.0, 5.0}), 1u);
  EXPECT_EQ(bestIndex({10.0, 11.000001}), 0u);
  // A second candidate within 1.0 but past 48 does not make it ambiguous.
  EXPECT_EQ(bestIndex({47.5, 48.4}), 0u);
  EXPECT_EQ(bestIndex({48.5, 47.6}), 1u);
}

TEST(WindowFocusMatchTest, FarOrAmbiguousCandidatesDoNotMatch) {
  using WindowFocusMatch::bestIndex;
  EXPECT_EQ(bestIndex({}), std::nullopt);
  EXPECT_EQ(bestIndex({10.0, 10.5}), std::nullopt);
  EXPECT_EQ(bestIndex({10.0, 11.0}), std::nullopt);  // exactly 1.0 apart is still too close
  EXPECT_EQ(bestIndex({49.0}), std::nullopt);
  EXPECT_EQ(bestIndex({48.000001}), std::nullopt);
  EXPECT_EQ(bestIndex({3.0, 2.0, 2.0}), std::nullopt);
  EXPECT_EQ(bestIndex({7.0, 7.0}), std::nullopt);
}

TEST(WindowFocusMatchTest, NaNDeltasNeverMatchNorBlockAnother) {
  using WindowFocusMatch::bestIndex;
  EXPECT_EQ(bestIndex({kNaN}), std::nullopt);
  EXPECT_EQ(bestIndex({kNaN, kNaN}), std::nullopt);
  EXPECT_EQ(bestIndex({kNaN, 5.0}), 1u);
  EXPECT_EQ(bestIndex({5.0, kNaN}), 0u);
  EXPECT_EQ(bestIndex({std::numeric_limits<double>::infinity()}), std::nullopt);
}

}  // namespace
}  // namespace tessarapane
