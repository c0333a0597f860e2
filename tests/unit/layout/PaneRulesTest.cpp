// The rules a running tab layout applies to its panes: which tab is selected after a change, where the focus
// moves, where a new or dragged window belongs, and when a window still counts as in place.
#include <gtest/gtest.h>

#include <climits>
#include <limits>

#include "LayoutTestSupport.h"
#include "layout/LayoutEngine.h"
#include "layout/NewWindowPlacement.h"
#include "layout/PaneReconciliation.h"
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

TEST(PaneRules, ANewWindowGoesToThePaneItStandsInOrTheFocusedOrLeastFullOne) {
  using namespace NewWindowPlacement;
  const std::vector<Rect> halves = {Rect(0, 0, 500, 800), Rect(500, 0, 500, 800)};
  const std::vector<std::pair<Point, std::optional<int>>> points = {
      {{500, 100}, 1}, {{499.999, 100}, 0}, {{0, 0}, 0}, {{1000, 100}, std::nullopt}, {{100, 800}, std::nullopt},
      {{-1, 100}, std::nullopt}, {{kNaN, 100}, std::nullopt}};
  for (const auto& [point, expected] : points) EXPECT_EQ(paneIndex(point, halves), expected) << point;
  const std::vector<Rect> overlapping = {Rect(0, 0, 600, 800), Rect(400, 0, 600, 800)};
  EXPECT_EQ(paneIndex({500, 100}, overlapping), std::nullopt);

  const std::vector<Rect> thirds = {Rect(0, 0, 100, 100), Rect(100, 0, 100, 100), Rect(200, 0, 100, 100)};
  const std::vector<std::tuple<Rect, std::vector<Rect>, std::optional<int>>> overlaps = {
      {Rect(400, -300, 400, 400), halves, 1},          {Rect(-100, 100, 400, 400), halves, 0},
      {Rect(800, 100, -400, 400), halves, 1},          {Rect(300, -300, 400, 400), halves, std::nullopt},
      {Rect(50, 0, 200, 100), thirds, 1},              {Rect(50, 0, 250, 100), thirds, std::nullopt},
      {Rect(0, 0, 260, 100), thirds, std::nullopt},    {Rect(0, 0, 140, 100), thirds, 0},
      {Rect(kNaN, 0, 10, 10), halves, std::nullopt},   {Rect::null(), halves, std::nullopt},
      {Rect(0, 0, kInf, 10), {Rect(0, 0, kInf, 0), Rect(0, 0, 100, 100)}, 1},  // NaN overlap counts zero
  };
  for (const auto& [frame, panes, expected] : overlaps) {
    EXPECT_EQ(uniquelyLargestOverlapIndex(frame, panes), expected) << frame;
  }
  EXPECT_EQ(focusedOrLeastFull(2, {3, 1, 0}), 2);
  EXPECT_EQ(focusedOrLeastFull(-1, {3, 1, 1}), 1);
  EXPECT_EQ(focusedOrLeastFull(3, {2, 2, 2}), 0);
  EXPECT_EQ(focusedOrLeastFull(99, {4, 3, 3, 0}), 3);
  EXPECT_EQ(focusedOrLeastFull(0, {}), std::nullopt);
}

TEST(PaneRules, AWindowDraggedIntoAnotherPaneMovesThereAtTheEnd) {
  using Frames = std::unordered_map<WindowID, Rect>;
  using Moves = std::unordered_map<WindowID, int>;
  std::vector<Rect> paneFrames, windowFrames;  // window areas (0, 0, 500, 768) and (500, 0, 500, 768)
  for (const PaneGeometry& g : LayoutEngine::geometries(LayoutKind::split2, Rect(0, 0, 1000, 800), 32)) {
    paneFrames.push_back(g.paneFrame);
    windowFrames.push_back(g.windowFrame);
  }
  const Rect left(0, 0, 500, 768), right(500, 0, 500, 768);
  struct Case {
    Lists panes;
    Frames frames;
    Lists expected;
    Moves moves;
  };
  const std::vector<Case> cases = {
      // Within the tolerance, or off its frame but centred in its own pane: stays.
      {{{1, 2, 3, 4, 5}, {6}},
       {{1, left}, {2, Rect(30, -30, 500, 768)}, {3, Rect(0, 0, 540, 808)}, {4, Rect(-32, 32, 460, 728)},
        {5, Rect(33, 0, 500, 768)}, {6, Rect(500, 0, 200, 200)}},
       {{1, 2, 3, 4, 5}, {6}}, {}},
      {{{1, 2, 3}, {4}}, {{1, left}, {2, Rect(520, 10, 400, 700)}, {3, left}, {4, right}}, {{1, 3}, {4, 2}}, {{2, 1}}},
      // Two that swap are each visited once.
      {{{1, 3}, {2, 4}}, {{1, right}, {2, left}, {3, left}, {4, right}}, {{3, 2}, {4, 1}}, {{1, 1}, {2, 0}}},
      // A centre on the shared edge belongs to the right pane.
      {{{1}, {}}, {{1, Rect(300, 0, 400, 400)}}, {{}, {1}}, {{1, 1}}},
      // No frame, a centre outside every pane, NaN, null, negative size in place: stays.
      {{{1, 2, 3, 4, 5}, {}},
       {{2, Rect(2000, 0, 500, 768)}, {3, Rect(kNaN, 0, 500, 768)}, {4, Rect::null()}, {5, Rect(500, 768, -500, -768)}},
       {{1, 2, 3, 4, 5}, {}}, {}},
      {{{1, 5, 1}, {2}}, {{1, right}}, {{5}, {2, 1}}, {{1, 1}}},  // a repeated number moves once
      {{{1}, {}, {}}, {{1, right}}, {{1}, {}, {}}, {}},            // lists that do not match the panes
  };
  for (const Case& c : cases) {
    const auto result = PaneReconciliation::reconcile(c.panes, c.frames, paneFrames, windowFrames);
    EXPECT_EQ(result, (PaneReconciliation::Result{c.expected, c.moves})) << ::testing::PrintToString(c.panes);
  }
  EXPECT_EQ(PaneReconciliation::reconcile({{1}, {}}, {{1, right}}, paneFrames, {left}).panes, (Lists{{1}, {}}));
  // A centre in a gap between panes stays.
  EXPECT_EQ(PaneReconciliation::reconcile({{1}, {}}, {{1, Rect(400, 0, 200, 400)}},
                                          {Rect(0, 0, 480, 800), Rect(520, 0, 480, 800)},
                                          {Rect(0, 0, 480, 768), Rect(520, 0, 480, 768)})
                .panes,
            (Lists{{1}, {}}));
}

}  // namespace
}  // namespace tessarapane
