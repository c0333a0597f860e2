#include "chrome/PaneTabStripLayout.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tessarapane {

namespace {

std::vector<int> allIndices(int count) {
  std::vector<int> indices(static_cast<std::size_t>(count));
  std::iota(indices.begin(), indices.end(), 0);
  return indices;
}

// How many tabs fit beside the overflow button, limited to 1 ... tabCount.
// Clamped while still a double: converting an out-of-range or NaN double to
// int is undefined.
int overflowVisibleCount(int tabCount, double availableWidth) {
  const double fitting =
      std::floor((availableWidth - PaneTabStripLayout::kOverflowButtonReserve) / PaneTabStripLayout::kOverflowSlotWidth);
  if (!(fitting >= 1.0)) return 1;
  if (fitting >= static_cast<double>(tabCount)) return tabCount;
  return static_cast<int>(fitting);
}

}  // namespace

PaneTabStripLayout PaneTabStripLayout::make(int tabCount, int selectedIndex, int moveCount,
                                            double availableWidth) {
  PaneTabStripLayout layout;
  if (tabCount < 1) return layout;

  const double n = static_cast<double>(tabCount);
  // NaN would fail every threshold anyway; naming it 0 keeps the arithmetic plain.
  const double width = std::isnan(availableWidth) ? 0.0 : availableWidth;
  const double w = std::min(std::floor((width - kTabSpacing * (n - 1.0)) / n), kMaximumTabWidth);

  if (w >= kMinimumFullWidth) {
    layout.tabWidth = w;
    layout.mode = PaneTabDisplayMode::full;
    layout.visibleIndices = allIndices(tabCount);
    return layout;
  }
  if (moveCount >= 1 && w >= kMinimumIconWidth + kMoveArrowWidth * static_cast<double>(moveCount)) {
    layout.tabWidth = w;
    layout.mode = PaneTabDisplayMode::iconWithMoves;
    layout.visibleIndices = allIndices(tabCount);
    return layout;
  }
  if (w >= kMinimumIconWidth) {
    layout.tabWidth = w;
    layout.mode = PaneTabDisplayMode::iconOnly;
    layout.visibleIndices = allIndices(tabCount);
    return layout;
  }

  const int visibleCount = overflowVisibleCount(tabCount, width);
  layout.visibleIndices = allIndices(visibleCount);
  const bool selectionValid = selectedIndex >= 0 && selectedIndex < tabCount;
  if (selectionValid && selectedIndex >= visibleCount) layout.visibleIndices.back() = selectedIndex;
  // The visible tabs are 0 ... visibleCount - 2 plus one last tab.
  const int lastVisible = layout.visibleIndices.back();
  for (int index = visibleCount - 1; index < tabCount; ++index) {
    if (index != lastVisible) layout.hiddenIndices.push_back(index);
  }
  layout.tabWidth = kMinimumIconWidth;
  layout.mode = PaneTabDisplayMode::iconOnly;
  return layout;
}

}  // namespace tessarapane
