#include "chrome/PaneTabBarLayout.h"
#include "chrome/PaneTabItemLayout.h"

#include <gtest/gtest.h>

#include <limits>

namespace tessarapane {
namespace {

using Mode = PaneTabDisplayMode;

TEST(PaneTabBarLayout, ThreeTabsHugTheLeftEndOfTheStrip) {
  // 334 - 12 = 322 for tabs: floor((322 - 8) / 3) = 104; the panel is 3 × 104 + 8 + 12 = 332.
  const auto bar = PaneTabBarLayout::make(Rect(100, 200, 334, 32), 3, 1, 2);
  EXPECT_EQ(bar.stripLayout, PaneTabStripLayout::make(3, 1, 2, 322));
  EXPECT_EQ(bar.stripLayout.tabWidth, 104);
  EXPECT_EQ(bar.tabHeight, 24);
  EXPECT_EQ(bar.contentWidth, 320);
  EXPECT_EQ(bar.panelFrame, Rect(100, 200, 332, 32));
  EXPECT_EQ(bar.stripFrame, Rect(6, 4, 320, 24));
  EXPECT_EQ(bar.slotFrames, (std::vector<Rect>{Rect(0, 0, 104, 24), Rect(108, 0, 104, 24), Rect(216, 0, 104, 24)}));
  EXPECT_FALSE(bar.overflowButtonFrame.has_value());

  // A wide pane: one tab of 154 and a panel of 166, not the pane's width.
  const auto single = PaneTabBarLayout::make(Rect(0, 968, 1000, 32), 1, 0, 1);
  EXPECT_EQ(single.panelFrame, Rect(0, 968, 166, 32));
  EXPECT_EQ(single.stripFrame, Rect(6, 4, 154, 24));
}

TEST(PaneTabBarLayout, OverflowButtonFollowsTheLastSlot) {
  const auto bar = PaneTabBarLayout::make(Rect(0, 0, 312, 32), 10, 7, 2);
  EXPECT_EQ(bar.stripLayout.visibleIndices, (std::vector<int>{0, 1, 2, 7}));
  // 4 × 51 + 3 × 4 + 44
  EXPECT_EQ(bar.contentWidth, 260);
  EXPECT_EQ(bar.panelFrame, Rect(0, 0, 272, 32));
  EXPECT_EQ(bar.slotFrames.size(), 4u);
  EXPECT_EQ(bar.slotFrames.back(), Rect(165, 0, 51, 24));
  EXPECT_EQ(bar.overflowButtonFrame, Rect(220, 0, 40, 24));

  // Too narrow for even one slot: the panel keeps the pane's width while the
  // strip keeps its content width.
  const auto narrow = PaneTabBarLayout::make(Rect(0, 0, 72, 32), 5, 4, 1);
  EXPECT_EQ(narrow.contentWidth, 95);
  EXPECT_EQ(narrow.panelFrame.width(), 72);
  EXPECT_EQ(narrow.stripFrame, Rect(6, 4, 95, 24));
  EXPECT_EQ(narrow.overflowButtonFrame, Rect(55, 0, 40, 24));
}

TEST(PaneTabBarLayout, DegenerateFramesGiveAnEmptyPanelNotAnInvertedOne) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const Rect& frame : {Rect(10, 20, 0, 32), Rect(10, 20, -50, 32), Rect(10, 20, nan, 32)}) {
    const auto bar = PaneTabBarLayout::make(frame, 2, 1, 1);
    EXPECT_EQ(bar.panelFrame.width(), 0) << frame;
    EXPECT_EQ(bar.panelFrame.origin, (Point{10, 20}));
    EXPECT_EQ(bar.stripLayout.visibleIndices, (std::vector<int>{1}));
  }
  // A strip lower than the insets gives zero-height tabs.
  EXPECT_EQ(PaneTabBarLayout::make(Rect(0, 0, 400, 5), 2, 0, 1).tabHeight, 0);
  EXPECT_EQ(PaneTabBarLayout::make(Rect(0, 0, 400, nan), 2, 0, 1).slotFrames.front().height(), 0);
  // No tabs: nothing but the insets.
  const auto empty = PaneTabBarLayout::make(Rect(0, 0, 400, 32), 0, -1, 1);
  EXPECT_TRUE(empty.slotFrames.empty());
  EXPECT_EQ(empty.panelFrame.width(), 12);
}

TEST(PaneTabItemLayout, MoveArrowsShowOnlyWhereTheModeAllows) {
  // full, neither selected nor hovered: the title runs up to the close button.
  const auto idle = PaneTabItemLayout::make(154, 24, Mode::full, 2, false, false);
  EXPECT_FALSE(idle.showsMoveButtons);
  EXPECT_EQ(idle.moveStackFrame.width(), 0);
  EXPECT_EQ(idle.closeButtonFrame, Rect(131, 0, 23, 24));
  EXPECT_EQ(idle.selectButtonFrame, Rect(9, 0, 122, 24));

  // Selected or hovered: two arrows of 20 just left of the close button.
  for (const auto& item : {PaneTabItemLayout::make(154, 24, Mode::full, 2, true, false),
                           PaneTabItemLayout::make(154, 24, Mode::full, 2, false, true)}) {
    EXPECT_TRUE(item.showsMoveButtons);
    EXPECT_EQ(item.moveStackFrame, Rect(91, 0, 40, 24));
    EXPECT_EQ(item.selectButtonFrame, Rect(9, 0, 82, 24));
  }
  // No directions, nothing to show.
  EXPECT_FALSE(PaneTabItemLayout::make(154, 24, Mode::full, 0, true, true).showsMoveButtons);
  // A tab too narrow for its arrows gives the title no room rather than negative room.
  EXPECT_EQ(PaneTabItemLayout::make(60, 24, Mode::full, 2, true, false).selectButtonFrame, Rect(9, 0, 0, 24));

  const auto moves = PaneTabItemLayout::make(91, 24, Mode::iconWithMoves, 2, false, false);
  EXPECT_TRUE(moves.showsMoveButtons);
  EXPECT_EQ(moves.moveStackFrame, Rect(28, 0, 40, 24));
  EXPECT_EQ(moves.selectButtonFrame, Rect(0, 0, 28, 24));
  EXPECT_EQ(moves.closeButtonFrame, Rect(68, 0, 23, 24));

  const auto icon = PaneTabItemLayout::make(51, 24, Mode::iconOnly, 2, true, true);
  EXPECT_FALSE(icon.showsMoveButtons);
  EXPECT_EQ(icon.selectButtonFrame, Rect(0, 0, 28, 24));
  EXPECT_EQ(icon.closeButtonFrame, Rect(28, 0, 23, 24));
}

}  // namespace
}  // namespace tessarapane
