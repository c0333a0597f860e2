#include "layout/PaneMove.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "LayoutTestSupport.h"
#include "platform/Localizer.h"

namespace tessarapane {
namespace {

using testing_support::idsByPane;
using testing_support::windows;
using Dir = PaneMoveDirection;
using Lists = std::vector<std::vector<WindowID>>;

TEST(PaneMoveDirectionTest, CasesRawValuesAndTooltipsInOrder) {
  struct Row {
    Dir direction;
    const char* raw;
    const char* tooltip;
  };
  const Row rows[] = {{Dir::left, "left", "移到左侧"},
                      {Dir::right, "right", "移到右侧"},
                      {Dir::up, "up", "移到上方"},
                      {Dir::down, "down", "移到下方"}};
  ASSERT_EQ(kAllPaneMoveDirections.size(), std::size(rows));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].raw);
    EXPECT_EQ(kAllPaneMoveDirections[i], rows[i].direction);
    EXPECT_EQ(rawValue(rows[i].direction), rows[i].raw);
    EXPECT_EQ(fromRawValue<PaneMoveDirection>(rows[i].raw), rows[i].direction);
    EXPECT_EQ(tooltip(rows[i].direction), rows[i].tooltip);
  }
  for (const char* bad : {"", "Left", "LEFT", "up ", "forward", "moveLeft"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(fromRawValue<PaneMoveDirection>(bad), std::nullopt);
  }
}

class UpperLocalizer final : public Localizer {
 public:
  std::string localized(std::string_view key) const override {
    return key == "移到上方" ? std::string("Move up") : std::string(key);
  }
};

TEST(PaneMoveDirectionTest, TooltipsGoThroughTheLocalizer) {
  localization::install(std::make_shared<UpperLocalizer>());
  EXPECT_EQ(tooltip(Dir::up), "Move up");
  EXPECT_EQ(tooltip(Dir::down), "移到下方");
  localization::install(nullptr);
}

// The neighbour table, per kind and pane: left, right, up, down (-1 = none).
const std::map<LayoutKind, std::vector<std::array<int, 4>>> kNeighbours = {
    {LayoutKind::fullScreen, {{-1, -1, -1, -1}}},
    {LayoutKind::split2, {{-1, 1, -1, -1}, {0, -1, -1, -1}}},
    {LayoutKind::split3, {{-1, 1, -1, -1}, {0, 2, -1, -1}, {1, -1, -1, -1}}},
    {LayoutKind::topBottom, {{-1, -1, -1, 1}, {-1, -1, 0, -1}}},
    {LayoutKind::focusStack, {{-1, 1, -1, -1}, {0, -1, -1, 2}, {0, -1, 1, -1}}},
    {LayoutKind::stackFocus, {{-1, 2, -1, 1}, {-1, 2, 0, -1}, {0, -1, -1, -1}}},
    {LayoutKind::split4, {{-1, 1, -1, 2}, {0, -1, -1, 3}, {-1, 3, 0, -1}, {2, -1, 1, -1}}},
};

TEST(PaneMoveTest, NeighbourOfEveryPaneOfEveryKind) {
  ASSERT_EQ(kNeighbours.size(), kAllLayoutKinds.size());
  for (LayoutKind kind : kAllLayoutKinds) {
    const auto& rows = kNeighbours.at(kind);
    ASSERT_EQ(static_cast<int>(rows.size()), paneCount(kind));
    for (int from = -2; from < 6; ++from) {
      for (std::size_t d = 0; d < kAllPaneMoveDirections.size(); ++d) {
        const Dir direction = kAllPaneMoveDirections[d];
        SCOPED_TRACE(::testing::Message() << rawValue(kind) << " from " << from << " " << rawValue(direction));
        const bool listed = from >= 0 && from < static_cast<int>(rows.size());
        const int expected = listed ? rows[static_cast<std::size_t>(from)][d] : -1;
        const std::optional<int> actual = PaneMove::destinationPaneIndex(from, direction, kind);
        if (expected < 0) {
          EXPECT_EQ(actual, std::nullopt);
        } else {
          EXPECT_EQ(actual, expected);
        }
      }
    }
  }
}

TEST(PaneMoveTest, NeighboursLieInTheirDirectionOnScreen) {
  // Cross-check the table against the pane rectangles (y up).
  const Rect screen(0, 0, 1200, 900);
  for (LayoutKind kind : kAllLayoutKinds) {
    const std::vector<Rect> panes = LayoutEngine::paneFrames(kind, screen);
    for (int from = 0; from < paneCount(kind); ++from) {
      for (Dir direction : kAllPaneMoveDirections) {
        const std::optional<int> to = PaneMove::destinationPaneIndex(from, direction, kind);
        if (!to) continue;
        SCOPED_TRACE(::testing::Message() << rawValue(kind) << " from " << from << " " << rawValue(direction));
        const Rect& a = panes[static_cast<std::size_t>(from)];
        const Rect& b = panes[static_cast<std::size_t>(*to)];
        switch (direction) {
          case Dir::left: EXPECT_EQ(b.maxX(), a.minX()); break;
          case Dir::right: EXPECT_EQ(b.minX(), a.maxX()); break;
          case Dir::up: EXPECT_EQ(b.minY(), a.maxY()); break;
          case Dir::down: EXPECT_EQ(b.maxY(), a.minY()); break;
        }
      }
    }
  }
}

TEST(PaneMoveTest, IndicesOutsideTheKindHaveNoDestination) {
  for (Dir direction : kAllPaneMoveDirections) {
    EXPECT_EQ(PaneMove::destinationPaneIndex(4, direction, LayoutKind::split4), std::nullopt);
    EXPECT_EQ(PaneMove::destinationPaneIndex(-1, direction, LayoutKind::split4), std::nullopt);
    EXPECT_EQ(PaneMove::destinationPaneIndex(INT_MIN, direction, LayoutKind::split2), std::nullopt);
    EXPECT_EQ(PaneMove::destinationPaneIndex(INT_MAX, direction, LayoutKind::split3), std::nullopt);
  }
}

TEST(PaneMoveTest, AvailableDirectionsInOrder) {
  using V = std::vector<Dir>;
  EXPECT_EQ(PaneMove::availableDirections(1, LayoutKind::split4), (V{Dir::left, Dir::down}));
  EXPECT_EQ(PaneMove::availableDirections(0, LayoutKind::fullScreen), V{});
  EXPECT_EQ(PaneMove::availableDirections(1, LayoutKind::focusStack), (V{Dir::left, Dir::down}));
  EXPECT_EQ(PaneMove::availableDirections(1, LayoutKind::split3), (V{Dir::left, Dir::right}));
  EXPECT_EQ(PaneMove::availableDirections(1, LayoutKind::stackFocus), (V{Dir::right, Dir::up}));
  EXPECT_EQ(PaneMove::availableDirections(3, LayoutKind::split4), (V{Dir::left, Dir::up}));
  EXPECT_EQ(PaneMove::availableDirections(7, LayoutKind::split4), V{});
  EXPECT_EQ(PaneMove::availableDirections(-1, LayoutKind::topBottom), V{});
}

TEST(PaneMoveTest, PushingATabSidewaysSplitsTheFullScreenPane) {
  const std::vector<ManagedWindow> abc = windows({1, 2, 3});
  const auto right = PaneMove::expandFullScreenToSplit2(abc, 1, Dir::right);
  ASSERT_TRUE(right.has_value());
  EXPECT_EQ(idsByPane(right->windowsByPane), (Lists{{1, 3}, {2}}));
  EXPECT_EQ(right->focusedPaneIndex, 1);

  const auto left = PaneMove::expandFullScreenToSplit2(abc, 1, Dir::left);
  ASSERT_TRUE(left.has_value());
  EXPECT_EQ(idsByPane(left->windowsByPane), (Lists{{2}, {1, 3}}));
  EXPECT_EQ(left->focusedPaneIndex, 0);
}

TEST(PaneMoveTest, SplittingASingleTabLeavesAnEmptyPane) {
  const auto right = PaneMove::expandFullScreenToSplit2(windows({7}), 0, Dir::right);
  ASSERT_TRUE(right.has_value());
  EXPECT_EQ(idsByPane(right->windowsByPane), (Lists{{}, {7}}));
  const auto left = PaneMove::expandFullScreenToSplit2(windows({7}), 0, Dir::left);
  ASSERT_TRUE(left.has_value());
  EXPECT_EQ(idsByPane(left->windowsByPane), (Lists{{7}, {}}));
}

TEST(PaneMoveTest, SplittingVerticallyOrWithABadIndexGivesNothing) {
  const std::vector<ManagedWindow> abc = windows({1, 2, 3});
  EXPECT_EQ(PaneMove::expandFullScreenToSplit2(abc, 0, Dir::up), std::nullopt);
  EXPECT_EQ(PaneMove::expandFullScreenToSplit2(abc, 0, Dir::down), std::nullopt);
  EXPECT_EQ(PaneMove::expandFullScreenToSplit2(abc, 3, Dir::right), std::nullopt);
  EXPECT_EQ(PaneMove::expandFullScreenToSplit2(abc, -1, Dir::left), std::nullopt);
  EXPECT_EQ(PaneMove::expandFullScreenToSplit2({}, 0, Dir::left), std::nullopt);
}

}  // namespace
}  // namespace tessarapane
