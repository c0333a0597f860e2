#pragma once

#include <vector>

#include "chrome/PaneTabDisplayMode.h"

namespace tessarapane {

// How a pane's tabs fit into the width of its tab strip: one width and one
// display mode for every visible tab, and the tabs that only the overflow
// menu reaches.
struct PaneTabStripLayout {
  static constexpr double kMaximumTabWidth = 154.0;
  static constexpr double kTabSpacing = 4.0;
  static constexpr double kMinimumFullWidth = 96.0;
  static constexpr double kMinimumIconWidth = 51.0;
  static constexpr double kMoveArrowWidth = 20.0;
  static constexpr double kOverflowButtonReserve = 40.0;
  static constexpr double kOverflowSlotWidth = 55.0;
  static constexpr double kApplicationIconSize = 13.0;

  double tabWidth = kMaximumTabWidth;
  PaneTabDisplayMode mode = PaneTabDisplayMode::full;
  std::vector<int> visibleIndices;  // strip order
  std::vector<int> hiddenIndices;   // ascending

  // tabCount tabs of which selectedIndex is selected (any value; only a valid
  // index is forced into view), each carrying moveCount move arrows, in
  // availableWidth points. A NaN width counts as no room at all.
  static PaneTabStripLayout make(int tabCount, int selectedIndex, int moveCount, double availableWidth);

  friend bool operator==(const PaneTabStripLayout&, const PaneTabStripLayout&) = default;
};

}  // namespace tessarapane
