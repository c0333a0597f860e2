#include "chrome/PaneTabStripLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <limits>
#include <numeric>

namespace tessarapane {
namespace {

using Mode = PaneTabDisplayMode;
using Indices = std::vector<int>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(PaneTabStripLayout, NoTabsGiveTheWidestEmptyStrip) {
  for (int count : {0, -1, INT_MIN}) {
    for (double width : {500.0, 0.0, -10.0, kNaN}) {
      const auto layout = PaneTabStripLayout::make(count, 0, 2, width);
      EXPECT_EQ(layout.tabWidth, 154);
      EXPECT_EQ(layout.mode, Mode::full);
      EXPECT_TRUE(layout.visibleIndices.empty());
      EXPECT_TRUE(layout.hiddenIndices.empty());
    }
  }
}

TEST(PaneTabStripLayout, WidthIsFlooredAndCappedAt154) {
  EXPECT_EQ(PaneTabStripLayout::make(1, 0, 1, 500), (PaneTabStripLayout{154, Mode::full, {0}, {}}));
  EXPECT_EQ(PaneTabStripLayout::make(1, 0, 1, 154).tabWidth, 154);
  EXPECT_EQ(PaneTabStripLayout::make(1, 0, 1, 153.99).tabWidth, 153);
  EXPECT_EQ(PaneTabStripLayout::make(1, 0, 1, kInf).tabWidth, 154);
  // Three tabs share the width less two 4-point gaps: floor(312 / 3).
  EXPECT_EQ(PaneTabStripLayout::make(3, 1, 2, 320), (PaneTabStripLayout{104, Mode::full, {0, 1, 2}, {}}));
  EXPECT_EQ(PaneTabStripLayout::make(3, 1, 2, 322.99).tabWidth, 104);
  EXPECT_EQ(PaneTabStripLayout::make(3, 1, 2, 323).tabWidth, 105);
}

TEST(PaneTabStripLayout, ModeThresholdsAreInclusiveAndTestedInOrder) {
  // full needs 96: 3 × 96 + 8 = 296.
  EXPECT_EQ(PaneTabStripLayout::make(3, 0, 2, 296).mode, Mode::full);
  EXPECT_EQ(PaneTabStripLayout::make(3, 0, 4, 296).mode, Mode::full);  // full wins over arrows
  const auto justBelowFull = PaneTabStripLayout::make(3, 0, 2, 295.99);
  EXPECT_EQ(justBelowFull.tabWidth, 95);
  EXPECT_EQ(justBelowFull.mode, Mode::iconWithMoves);

  // iconWithMoves needs 51 + 20 per arrow: 91 for two arrows (3 × 91 + 8 = 281).
  EXPECT_EQ(PaneTabStripLayout::make(3, 0, 2, 281), (PaneTabStripLayout{91, Mode::iconWithMoves, {0, 1, 2}, {}}));
  EXPECT_EQ(PaneTabStripLayout::make(3, 0, 2, 280.99), (PaneTabStripLayout{90, Mode::iconOnly, {0, 1, 2}, {}}));
  EXPECT_EQ(PaneTabStripLayout::make(3, 0, 2, 260), (PaneTabStripLayout{84, Mode::iconOnly, {0, 1, 2}, {}}));
  EXPECT_EQ(PaneTabStripLayout::make(3, 0, 1, 260), (PaneTabStripLayout{84, Mode::iconWithMoves, {0, 1, 2}, {}}));
  // Without arrows (or with a nonsensical count) there is no arrow mode.
  EXPECT_EQ(PaneTabStripLayout::make(3, 0, 0, 260).mode, Mode::iconOnly);
  EXPECT_EQ(PaneTabStripLayout::make(3, 0, -1, 260).mode, Mode::iconOnly);
  EXPECT_EQ(PaneTabStripLayout::make(3, 0, INT_MAX, 260).mode, Mode::iconOnly);

  // iconOnly down to 51 (3 × 51 + 8 = 161) before anything overflows.
  EXPECT_EQ(PaneTabStripLayout::make(3, 2, 0, 161), (PaneTabStripLayout{51, Mode::iconOnly, {0, 1, 2}, {}}));
  EXPECT_EQ(PaneTabStripLayout::make(3, 2, 0, 160.99), (PaneTabStripLayout{51, Mode::iconOnly, {0, 2}, {1}}));
  EXPECT_EQ(PaneTabStripLayout::make(3, 0, 0, 160.99), (PaneTabStripLayout{51, Mode::iconOnly, {0, 1}, {2}}));
}

TEST(PaneTabStripLayout, OverflowKeepsTheSelectedTabVisible) {
  // floor((300 - 36) / 10) = 26 overflows; floor(260 / 55) = 4 slots.
  EXPECT_EQ(PaneTabStripLayout::make(10, 7, 2, 300),
            (PaneTabStripLayout{51, Mode::iconOnly, {0, 1, 2, 7}, {3, 4, 5, 6, 8, 9}}));
  // Already visible: nothing is substituted.
  EXPECT_EQ(PaneTabStripLayout::make(10, 2, 2, 300).visibleIndices, (Indices{0, 1, 2, 3}));
  EXPECT_EQ(PaneTabStripLayout::make(10, 3, 2, 300).visibleIndices, (Indices{0, 1, 2, 3}));
  // The last tab replaces the last slot.
  EXPECT_EQ(PaneTabStripLayout::make(10, 9, 2, 300),
            (PaneTabStripLayout{51, Mode::iconOnly, {0, 1, 2, 9}, {3, 4, 5, 6, 7, 8}}));
  // Invalid selections never enter by substitution.
  for (int selected : {-1, 10, 11, INT_MIN, INT_MAX}) {
    const auto layout = PaneTabStripLayout::make(10, selected, 2, 300);
    EXPECT_EQ(layout.visibleIndices, (Indices{0, 1, 2, 3})) << selected;
    EXPECT_EQ(layout.hiddenIndices, (Indices{4, 5, 6, 7, 8, 9})) << selected;
  }
  // The slot count switches exactly at 40 + 55 k.
  EXPECT_EQ(PaneTabStripLayout::make(10, 0, 0, 260).visibleIndices.size(), 4u);
  EXPECT_EQ(PaneTabStripLayout::make(10, 0, 0, 259.99).visibleIndices.size(), 3u);
}

TEST(PaneTabStripLayout, TooNarrowOrBadWidthsShowOneTab) {
  // Five tabs in 60 points: no slot fits, one tab is still shown.
  EXPECT_EQ(PaneTabStripLayout::make(5, 3, 1, 60), (PaneTabStripLayout{51, Mode::iconOnly, {3}, {0, 1, 2, 4}}));
  EXPECT_EQ(PaneTabStripLayout::make(5, -1, 1, 60), (PaneTabStripLayout{51, Mode::iconOnly, {0}, {1, 2, 3, 4}}));
  EXPECT_EQ(PaneTabStripLayout::make(5, 5, 1, 60).visibleIndices, (Indices{0}));
  // One tab that does not fit is shown alone, nothing hidden.
  EXPECT_EQ(PaneTabStripLayout::make(1, 0, 1, 10), (PaneTabStripLayout{51, Mode::iconOnly, {0}, {}}));

  for (double width : {0.0, -1.0, -1e300, -kInf, kNaN}) {
    EXPECT_EQ(PaneTabStripLayout::make(3, 2, 2, width), (PaneTabStripLayout{51, Mode::iconOnly, {2}, {0, 1}}))
        << width;
  }
}

// Every input gives a partition of the tabs that fits the width whenever at
// least one slot fits at all.
TEST(PaneTabStripLayout, EveryLayoutPartitionsTheTabsAndFitsItsWidth) {
  for (int count = 1; count <= 10; ++count) {
    for (int selected = -1; selected <= count; ++selected) {
      for (double width = 0; width <= 800; width += 0.5) {
        const auto layout = PaneTabStripLayout::make(count, selected, 2, width);
        Indices all = layout.visibleIndices, expected(static_cast<std::size_t>(count));
        all.insert(all.end(), layout.hiddenIndices.begin(), layout.hiddenIndices.end());
        std::sort(all.begin(), all.end());
        std::iota(expected.begin(), expected.end(), 0);
        ASSERT_EQ(all, expected) << count << " " << selected << " " << width;
        ASSERT_TRUE(std::is_sorted(layout.hiddenIndices.begin(), layout.hiddenIndices.end()));
        ASSERT_TRUE(layout.tabWidth >= 51 && layout.tabWidth <= 154);

        const auto& visible = layout.visibleIndices;
        if (selected >= 0 && selected < count) {
          ASSERT_NE(std::find(visible.begin(), visible.end(), selected), visible.end());
        }

        const double v = static_cast<double>(visible.size());
        double content = layout.tabWidth * v + 4 * (v - 1);
        if (!layout.hiddenIndices.empty()) {
          ASSERT_EQ(layout.mode, Mode::iconOnly);
          content += 44;
        }
        // 95 = one 51-point tab beside the overflow button, with insets.
        if (width >= 95) {
          ASSERT_LE(content, width) << count << " " << selected << " " << width;
        }
      }
    }
  }
}

}  // namespace
}  // namespace tessarapane
