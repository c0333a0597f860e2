#include "layout/PaneState.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "LayoutTestSupport.h"
#include "layout/PaneTabHistory.h"

namespace tessarapane {
namespace {

using testing_support::ids;
using testing_support::windows;
using IDs = std::vector<WindowID>;

constexpr WindowID A = 11, B = 22, C = 33, D = 44;

PaneState paneOf(std::initializer_list<WindowID> list) { return PaneState::withWindows(PaneGeometry{}, windows(list)); }

// Takes the tab at `index` out, as the coordinator does, then reselects.
void removeTab(PaneState& pane, int index) {
  const WindowID id = pane.windows[static_cast<std::size_t>(index)].windowID;
  pane.windows.erase(pane.windows.begin() + index);
  pane.selectAfterRemoving(id, index);
}

TEST(PaneStateTest, ANewPaneSelectsItsFirstTab) {
  const PaneGeometry geometry{Rect(0, 0, 10, 10), Rect(0, 8, 10, 2), Rect(0, 0, 10, 8)};
  const PaneState pane = PaneState::withWindows(geometry, windows({A, B}));
  EXPECT_EQ(pane.geometry, geometry);
  EXPECT_EQ(ids(pane.windows), (IDs{A, B}));
  EXPECT_EQ(pane.selectedIndex, 0);
  EXPECT_EQ(pane.activationHistory, (IDs{A}));
  EXPECT_EQ(pane.windowIDs(), (IDs{A, B}));

  const PaneState empty = PaneState::withWindows(geometry, {});
  EXPECT_EQ(empty.selectedIndex, 0);
  EXPECT_TRUE(empty.activationHistory.empty());
}

TEST(PaneStateTest, SelectingRecordsTheMostRecentFirst) {
  PaneState pane = paneOf({A, B, C});
  pane.selectWindow(0);
  pane.selectWindow(1);
  pane.selectWindow(2);
  EXPECT_EQ(pane.selectedIndex, 2);
  EXPECT_EQ(pane.activationHistory, (IDs{C, B, A}));
  pane.selectWindow(1);
  EXPECT_EQ(pane.selectedIndex, 1);
  EXPECT_EQ(pane.activationHistory, (IDs{B, C, A}));
}

TEST(PaneStateTest, SelectingOutsideTheTabsChangesNothing) {
  PaneState pane = paneOf({A, B, C});
  pane.selectWindow(1);
  for (int index : {-1, 3, 4, INT_MIN, INT_MAX}) {
    SCOPED_TRACE(index);
    pane.selectWindow(index);
    EXPECT_EQ(pane.selectedIndex, 1);
    EXPECT_EQ(pane.activationHistory, (IDs{B, A}));
  }
  PaneState empty = paneOf({});
  empty.selectWindow(0);
  EXPECT_EQ(empty.selectedIndex, 0);
  EXPECT_TRUE(empty.activationHistory.empty());
}

TEST(PaneStateTest, RemovingTheSelectedTabSelectsTheMostRecentlyUsedOne) {
  PaneState pane = paneOf({A, B, C});
  pane.selectWindow(0);
  pane.selectWindow(1);
  pane.selectWindow(2);
  removeTab(pane, 2);
  EXPECT_EQ(ids(pane.windows), (IDs{A, B}));
  EXPECT_EQ(pane.selectedIndex, 1);
  EXPECT_EQ(pane.activationHistory, (IDs{B, A}));
}

TEST(PaneStateTest, MostRecentlyUsedWinsOverTheNeighbour) {
  PaneState pane = paneOf({A, B, C, D});
  pane.selectWindow(3);
  pane.selectWindow(1);  // history B, D, A
  removeTab(pane, 1);
  EXPECT_EQ(ids(pane.windows), (IDs{A, C, D}));
  EXPECT_EQ(pane.selectedIndex, 2);  // D
}

TEST(PaneStateTest, WithoutHistoryTheTabThatSlidInOrTheNewLastIsSelected) {
  PaneState first = paneOf({A, B, C});
  first.activationHistory.clear();
  removeTab(first, 0);
  EXPECT_EQ(first.selectedIndex, 0);  // B slid into place

  PaneState last = paneOf({A, B, C});
  last.activationHistory.clear();
  removeTab(last, 2);
  EXPECT_EQ(last.selectedIndex, 1);  // the new last tab
}

TEST(PaneStateTest, RemovingTheOnlyTabLeavesAnEmptyPaneAtZero) {
  PaneState pane = paneOf({A});
  pane.selectWindow(0);
  removeTab(pane, 0);
  EXPECT_TRUE(pane.windows.empty());
  EXPECT_EQ(pane.selectedIndex, 0);
  EXPECT_TRUE(pane.activationHistory.empty());
}

TEST(PaneStateTest, AnOutOfRangeRemovedIndexIsClamped) {
  PaneState pane = paneOf({A, B, C});
  pane.activationHistory = {D};
  pane.windows.erase(pane.windows.begin() + 2);
  pane.selectAfterRemoving(C, 17);
  EXPECT_EQ(pane.selectedIndex, 1);
  pane.selectAfterRemoving(D, -4);
  EXPECT_EQ(pane.selectedIndex, 0);
  EXPECT_TRUE(pane.activationHistory.empty());
}

TEST(PaneTabHistoryTest, RemovingAndRecording) {
  EXPECT_EQ(PaneTabHistory::removing(B, {A, B, C}), (IDs{A, C}));
  EXPECT_EQ(PaneTabHistory::removing(D, {A, B, C}), (IDs{A, B, C}));
  EXPECT_EQ(PaneTabHistory::removing(A, {}), IDs{});
  EXPECT_EQ(PaneTabHistory::recording(C, {A, B, C}), (IDs{C, A, B}));
  EXPECT_EQ(PaneTabHistory::recording(A, {A, B}), (IDs{A, B}));
  EXPECT_EQ(PaneTabHistory::recording(D, {}), (IDs{D}));
  EXPECT_EQ(PaneTabHistory::recording(D, {A, B}), (IDs{D, A, B}));
}

TEST(PaneTabHistoryTest, RecordingKeepsTheWholeHistory) {
  IDs history;
  for (WindowID id = 1; id <= 1000; ++id) history = PaneTabHistory::recording(id, history);
  ASSERT_EQ(history.size(), 1000u);
  EXPECT_EQ(history.front(), 1000u);
  EXPECT_EQ(history.back(), 1u);
}

TEST(PaneTabHistoryTest, SelectedIndexTakesTheFirstHistoryEntryStillPresent) {
  EXPECT_EQ(PaneTabHistory::selectedIndex({}, {A}, 3), 0);
  EXPECT_EQ(PaneTabHistory::selectedIndex({A, B, C}, {D, C, A}, 0), 2);
  EXPECT_EQ(PaneTabHistory::selectedIndex({A, B, A}, {A}, 2), 0);  // first occurrence
}

TEST(PaneTabHistoryTest, HistoryOfDepartedWindowsFallsBackToTheClampedIndex) {
  const IDs departed = {D, 99};
  EXPECT_EQ(PaneTabHistory::selectedIndex({A, B}, departed, 1), 1);
  EXPECT_EQ(PaneTabHistory::selectedIndex({A, B}, departed, 2), 1);
  EXPECT_EQ(PaneTabHistory::selectedIndex({A, B}, departed, INT_MAX), 1);
  EXPECT_EQ(PaneTabHistory::selectedIndex({A, B}, departed, -1), 0);
  EXPECT_EQ(PaneTabHistory::selectedIndex({A, B}, departed, INT_MIN), 0);
  EXPECT_EQ(PaneTabHistory::selectedIndex({A, B}, {}, 0), 0);
}

}  // namespace
}  // namespace tessarapane
