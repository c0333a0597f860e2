// How a pane's tab strip is laid out: every input partitions the tabs and fits, where the panel, slots and
// buttons go, and the layout-kind miniatures.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <numeric>

#include "chrome/LayoutKindIcon.h"
#include "chrome/PaneTabBarLayout.h"
#include "chrome/PaneTabItemLayout.h"
#include "chrome/PaneTabStripLayout.h"
#include "chrome/PaneTabTexts.h"
#include "platform/Localizer.h"

namespace tessarapane {
namespace {

using Mode = PaneTabDisplayMode;
using Strip = PaneTabStripLayout;
using Indices = std::vector<int>;
using Rects = std::vector<Rect>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Every input gives a partition of the tabs that fits the width whenever one slot fits at all.
TEST(TabStripLayout, EveryLayoutPartitionsTheTabsAndFits) {
  for (int count = 1; count <= 10; ++count) {
    for (int selected = -1; selected <= count; ++selected) {
      for (double width = 0; width <= 800; width += 0.5) {
        const Strip layout = Strip::make(count, selected, 2, width);
        Indices all = layout.visibleIndices, expected(static_cast<std::size_t>(count));
        all.insert(all.end(), layout.hiddenIndices.begin(), layout.hiddenIndices.end());
        std::sort(all.begin(), all.end());
        std::iota(expected.begin(), expected.end(), 0);
        ASSERT_EQ(all, expected) << count << " " << selected << " " << width;
        const auto& visible = layout.visibleIndices;
        if (selected >= 0 && selected < count) { ASSERT_NE(std::find(visible.begin(), visible.end(), selected), visible.end()); }
        const double v = static_cast<double>(visible.size());
        const double content = layout.tabWidth * v + 4 * (v - 1) + (layout.hiddenIndices.empty() ? 0 : 44);
        if (width >= 95) { ASSERT_LE(content, width) << count << " " << selected << " " << width; }
      }
    }
  }
}

TEST(TabStripLayout, PanelSlotsAndButtonsOfTheBar) {
  using Bar = PaneTabBarLayout;
  struct Case {
    Rect available;
    int count, selected, moves;
    Bar expected;
  };
  const std::vector<Case> cases = {
      // Three tabs hug the left end: 334 - 12 = 322 for tabs, 104 each; the panel is 3 x 104 + 8 + 12.
      {Rect(100, 200, 334, 32), 3, 1, 2,
       {Strip::make(3, 1, 2, 322), 24, 320, Rect(100, 200, 332, 32), Rect(6, 4, 320, 24),
        {Rect(0, 0, 104, 24), Rect(108, 0, 104, 24), Rect(216, 0, 104, 24)}, std::nullopt}},
      {Rect(0, 968, 1000, 32), 1, 0, 1,
       {Strip::make(1, 0, 1, 988), 24, 154, Rect(0, 968, 166, 32), Rect(6, 4, 154, 24), {Rect(0, 0, 154, 24)}, std::nullopt}},
      // The overflow button follows the last slot.
      {Rect(0, 0, 312, 32), 10, 7, 2,
       {Strip::make(10, 7, 2, 300), 24, 260, Rect(0, 0, 272, 32), Rect(6, 4, 260, 24),
        {Rect(0, 0, 51, 24), Rect(55, 0, 51, 24), Rect(110, 0, 51, 24), Rect(165, 0, 51, 24)}, Rect(220, 0, 40, 24)}},
      // Too narrow for one slot: the panel keeps the pane's width, the strip its content.
      {Rect(0, 0, 72, 32), 5, 4, 1,
       {Strip::make(5, 4, 1, 60), 24, 95, Rect(0, 0, 72, 32), Rect(6, 4, 95, 24), {Rect(0, 0, 51, 24)}, Rect(55, 0, 40, 24)}},
      {Rect(0, 0, 400, 32), 0, -1, 1, {Strip::make(0, -1, 1, 388), 24, 0, Rect(0, 0, 12, 32), Rect(6, 4, 0, 24), {}, std::nullopt}},
  };
  for (const Case& c : cases) EXPECT_EQ(Bar::make(c.available, c.count, c.selected, c.moves), c.expected) << c.available;
  // Degenerate frames give an empty panel, never an inverted one, and strips lower than the insets no height.
  for (const Rect& frame : {Rect(10, 20, 0, 32), Rect(10, 20, -50, 32), Rect(10, 20, kNaN, 32)}) {
    const Bar bar = Bar::make(frame, 2, 1, 1);
    EXPECT_EQ(bar.panelFrame, Rect(10, 20, 0, 32)) << frame;
    EXPECT_EQ(bar.stripLayout.visibleIndices, Indices{1});
  }
  EXPECT_EQ(Bar::make(Rect(0, 0, 400, 5), 2, 0, 1).tabHeight, 0);

  // Inside one tab: arrows only where the mode allows, on the selected or hovered tab in full mode.
  using Item = PaneTabItemLayout;
  const Item idle{false, Rect(131, 0, 0, 24), Rect(131, 0, 23, 24), Rect(9, 0, 122, 24)};
  const Item arrows{true, Rect(91, 0, 40, 24), Rect(131, 0, 23, 24), Rect(9, 0, 82, 24)};
  EXPECT_EQ(Item::make(154, 24, Mode::full, 2, false, false), idle);
  EXPECT_EQ(Item::make(154, 24, Mode::full, 2, true, false), arrows);  // selected or hovered
  EXPECT_EQ(Item::make(154, 24, Mode::full, 0, true, true), idle);
  EXPECT_EQ(Item::make(60, 24, Mode::full, 2, true, false).selectButtonFrame, Rect(9, 0, 0, 24));
  EXPECT_EQ(Item::make(91, 24, Mode::iconWithMoves, 2, false, false),
            (Item{true, Rect(28, 0, 40, 24), Rect(68, 0, 23, 24), Rect(0, 0, 28, 24)}));
  EXPECT_EQ(Item::make(51, 24, Mode::iconOnly, 2, true, true),
            (Item{false, Rect(28, 0, 0, 24), Rect(28, 0, 23, 24), Rect(0, 0, 28, 24)}));
}

struct TableLocalizer final : Localizer {
  std::map<std::string, std::string, std::less<>> table;
  std::string localized(std::string_view key) const override {
    const auto found = table.find(key);
    return found == table.end() ? std::string(key) : found->second;
  }
};

TEST(TabStripLayout, LayoutMiniaturesArePlatesWithTheirPanes) {
  using namespace LayoutKindIcon;
  const Color plate{0.22, 0.22, 0.22, 1}, pane{0.29, 0.56, 0.98, 1};
  EXPECT_EQ(std::pair(plateColor(), paneColor()), std::pair(plate, pane));
  // (2, 3, 19, 13), gap 1.5: left and lower parts floored -- 8 across, 5 up; thirds of 5, 5 and 6.
  const Rect r(2, 3, 19, 13);
  const std::map<LayoutKind, Rects> panes = {
      {LayoutKind::fullScreen, {r}},
      {LayoutKind::split2, {Rect(2, 3, 8, 13), Rect(11.5, 3, 9.5, 13)}},
      {LayoutKind::split3, {Rect(2, 3, 5, 13), Rect(8.5, 3, 5, 13), Rect(15, 3, 6, 13)}},
      {LayoutKind::topBottom, {Rect(2, 9.5, 19, 6.5), Rect(2, 3, 19, 5)}},
      {LayoutKind::focusStack, {Rect(2, 3, 8, 13), Rect(11.5, 9.5, 9.5, 6.5), Rect(11.5, 3, 9.5, 5)}},
      {LayoutKind::stackFocus, {Rect(2, 9.5, 8, 6.5), Rect(2, 3, 8, 5), Rect(11.5, 3, 9.5, 13)}},
      {LayoutKind::split4, {Rect(2, 9.5, 8, 6.5), Rect(11.5, 9.5, 9.5, 6.5), Rect(2, 3, 8, 5), Rect(11.5, 3, 9.5, 5)}}};
  const auto picture = [&](const Rects& rects) {
    std::vector<Shape> shapes = {RoundedRect{Rect(0.5, 0.5, 21, 15), 3, plate, true, 0}};
    for (const Rect& rect : rects) shapes.push_back(RoundedRect{rect, 2, pane, true, 0});
    return Image{{22, 16}, false, shapes};
  };
  for (LayoutKind kind : kAllLayoutKinds) {
    EXPECT_EQ(paneRects(kind, r, 1.5), panes.at(kind)) << rawValue(kind);
    EXPECT_EQ(image(kind), picture(paneRects(kind, Rect(2, 2, 18, 12), 1.5))) << rawValue(kind);
    // Too small for the gaps: no negative sizes.
    for (const Rect& rect : paneRects(kind, Rect(0, 0, 1, 1), 1.5)) EXPECT_GE(std::min(rect.width(), rect.height()), 0);
  }
  // The grid's columns are cut at different heights.
  EXPECT_EQ(bentoImage(), picture({Rect(2, 7.5, 8, 6.5), Rect(2, 2, 8, 4), Rect(11.5, 10.5, 8.5, 3.5), Rect(11.5, 2, 8.5, 7)}));
  const Image tray = statusBarImage();
  EXPECT_EQ(std::tuple(tray.size, tray.isTemplate, tray.shapes.size()), std::tuple(Size{18, 18}, true, std::size_t{2}));
}

}  // namespace
}  // namespace tessarapane
