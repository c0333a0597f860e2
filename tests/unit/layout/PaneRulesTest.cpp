// The rules a running tab layout applies to its panes: which tab is selected after a change, where the focus
// moves, and when a window still counts as in place. (Where new and dragged windows go is the stories'.)
#include <gtest/gtest.h>

#include <climits>
#include <limits>

#include "LayoutTestSupport.h"
#include "layout/PaneState.h"
#include "layout/PaneTabHistory.h"
#include "layout/TabFocus.h"
#include "layout/WindowFocusMatch.h"

namespace tessarapane {
namespace {

using namespace testing_support;
using IDs = std::vector<WindowID>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr WindowID A = 11, B = 22, C = 33, D = 44;

PaneState paneOf(std::initializer_list<WindowID> list) { return PaneState::withWindows(PaneGeometry{}, windows(list)); }

// Takes the tab at `index` out, as the coordinator does, then reselects; gives (tabs, selected, history).
std::tuple<IDs, int, IDs> removeTab(PaneState pane, int index) {
  const WindowID id = pane.windows[static_cast<std::size_t>(index)].windowID;
  pane.windows.erase(pane.windows.begin() + index);
  pane.selectAfterRemoving(id, index);
  return {pane.windowIDs(), pane.selectedIndex, pane.activationHistory};
}

TEST(PaneRules, SelectionFollowsTheMostRecentlyUsedTab) {
  const PaneGeometry geometry{Rect(0, 0, 10, 10), Rect(0, 8, 10, 2), Rect(0, 0, 10, 8)};
  PaneState pane = PaneState::withWindows(geometry, windows({A, B, C, D}));
  EXPECT_EQ(pane.geometry, geometry);
  EXPECT_EQ(std::tuple(pane.windowIDs(), pane.selectedIndex, pane.activationHistory), std::tuple(IDs{A, B, C, D}, 0, IDs{A}));
  for (int index : {2, 3, 1, -1, 4, INT_MAX}) pane.selectWindow(index);  // the last three are ignored
  EXPECT_EQ(std::pair(pane.selectedIndex, pane.activationHistory), std::pair(1, IDs{B, D, C, A}));
  EXPECT_EQ(removeTab(pane, 1), std::tuple(IDs{A, C, D}, 2, IDs{D, C, A}));  // D, not the neighbour
  EXPECT_EQ(removeTab(pane, 3), std::tuple(IDs{A, B, C}, 1, IDs{B, C, A}));
  // Without history: the tab that slid into place, or the new last one.
  pane.activationHistory.clear();
  EXPECT_EQ(removeTab(pane, 0), std::tuple(IDs{B, C, D}, 0, IDs{}));
  EXPECT_EQ(removeTab(pane, 3), std::tuple(IDs{A, B, C}, 2, IDs{}));
  EXPECT_EQ(removeTab(paneOf({A}), 0), std::tuple(IDs{}, 0, IDs{}));

  EXPECT_EQ(PaneTabHistory::recording(C, {A, B, C}), (IDs{C, A, B}));
  EXPECT_EQ(PaneTabHistory::removing(B, {A, B, C}), (IDs{A, C}));
  EXPECT_EQ(PaneTabHistory::selectedIndex({}, {A}, 3), 0);
  EXPECT_EQ(PaneTabHistory::selectedIndex({A, B, A}, {D, A}, 2), 0);  // first entry present, first occurrence
  for (const auto& [removed, expected] : std::vector<std::pair<int, int>>{{1, 1}, {2, 1}, {INT_MAX, 1}, {-1, 0}, {INT_MIN, 0}}) {
    EXPECT_EQ(PaneTabHistory::selectedIndex({A, B}, {D, 99}, removed), expected) << removed;
  }
}

TEST(PaneRules, TheFocusMovesFromTheFocusedTabOrTheLastFocusedPanesSelection) {
  using Target = TabFocus::Target;
  const auto pane = [](std::vector<ManagedWindow> list, int selected) {
    PaneState p = PaneState::withWindows(PaneGeometry{}, std::move(list));
    p.selectedIndex = selected;
    return p;
  };
  std::vector<PaneState> panes = {pane({window(1, 10), window(2, 10)}, 1),
                                  pane({window(3, 20), window(4, 20), window(5, 30)}, 0), pane({window(6, 40)}, 0)};
  ManagedWindow otherProcess = window(5, 30);
  otherProcess.ownerPID = 31;
  struct Case {
    std::optional<ManagedWindow> focused;
    std::optional<int> lastPane;
    std::optional<Target> expected;
  };
  const std::vector<Case> cases = {
      {window(5, 30), 2, Target{1, 2}},    {window(1, 10), std::nullopt, Target{0, 0}},
      {otherProcess, 0, Target{0, 1}},     {window(5, 30, 999), 0, Target{0, 1}},  // another element
      {window(777, 30, 5), 0, Target{1, 2}},  // another number, the same element
      {std::nullopt, 0, Target{0, 1}},     {window(50, 50), 1, Target{1, 0}},
      {window(50, 50), 5, Target{2, 0}},   {std::nullopt, -1, Target{2, 0}},
      {std::nullopt, std::nullopt, Target{2, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TabFocus::moveTarget(panes, c.focused, c.lastPane), c.expected)
        << (c.focused ? c.focused->windowID : 0) << " / " << c.lastPane.value_or(-9);
  }
  panes[2].windows = {window(2, 10)};  // the first matching tab in pane order wins
  EXPECT_EQ(TabFocus::moveTarget(panes, window(2, 10), std::nullopt), (Target{0, 1}));
  panes[2].windows.clear();
  EXPECT_EQ(TabFocus::moveTarget(panes, window(50, 50), 5), (Target{1, 0}));
  panes[1].selectedIndex = 3;  // past the end
  EXPECT_EQ(TabFocus::moveTarget(panes, std::nullopt, 1), (Target{0, 1}));
  panes[0].selectedIndex = -1;
  EXPECT_EQ(TabFocus::moveTarget(panes, std::nullopt, 0), std::nullopt);

  // A focused window is matched by its frame delta: a unique candidate within 48, no other within 1 of it.
  const std::vector<std::pair<std::vector<double>, std::optional<std::size_t>>> deltas = {
      {{10.0, 11.5}, 0}, {{48.0}, 0}, {{0.0}, 0}, {{60.0, 5.0}, 1}, {{47.5, 48.4}, 0}, {{48.5, 47.6}, 1},
      {{kNaN, 5.0}, 1}, {{5.0, kNaN}, 0}, {{}, std::nullopt}, {{10.0, 10.5}, std::nullopt},
      {{10.0, 11.0}, std::nullopt}, {{48.000001}, std::nullopt}, {{3.0, 2.0, 2.0}, std::nullopt},
      {{kNaN}, std::nullopt}, {{kInf}, std::nullopt}};
  for (const auto& [list, expected] : deltas) EXPECT_EQ(WindowFocusMatch::bestIndex(list), expected) << list.size();
}

}  // namespace
}  // namespace tessarapane
