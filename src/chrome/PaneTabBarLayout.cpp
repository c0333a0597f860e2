#include "chrome/PaneTabBarLayout.h"

#include <algorithm>

namespace tessarapane {

namespace {
// Maps negatives and NaN to 0.
double atLeastZero(double value) { return value > 0.0 ? value : 0.0; }
}  // namespace

PaneTabBarLayout PaneTabBarLayout::make(const Rect& availableFrame, int tabCount, int selectedIndex,
                                        int moveCount) {
  PaneTabBarLayout result;
  const double availableWidth = availableFrame.width();
  result.tabHeight = atLeastZero(availableFrame.height() - 2.0 * kVerticalInset);
  result.stripLayout =
      PaneTabStripLayout::make(tabCount, selectedIndex, moveCount, availableWidth - 2.0 * kHorizontalInset);

  const PaneTabStripLayout& strip = result.stripLayout;
  const double visible = static_cast<double>(strip.visibleIndices.size());
  const bool overflows = !strip.hiddenIndices.empty();
  const double spacing = PaneTabStripLayout::kTabSpacing;
  result.contentWidth = strip.tabWidth * visible + spacing * std::max(visible - 1.0, 0.0);
  if (overflows) result.contentWidth += kOverflowButtonWidth + spacing;

  const double panelWidth =
      std::min(atLeastZero(availableWidth), result.contentWidth + 2.0 * kHorizontalInset);
  result.panelFrame = Rect(availableFrame.x(), availableFrame.y(), panelWidth, availableFrame.height());
  result.stripFrame = Rect(kHorizontalInset, kVerticalInset,
                           std::max(panelWidth - 2.0 * kHorizontalInset, result.contentWidth), result.tabHeight);

  const double pitch = strip.tabWidth + spacing;
  for (std::size_t slot = 0; slot < strip.visibleIndices.size(); ++slot) {
    result.slotFrames.emplace_back(static_cast<double>(slot) * pitch, 0.0, strip.tabWidth, result.tabHeight);
  }
  if (overflows) result.overflowButtonFrame = Rect(visible * pitch, 0.0, kOverflowButtonWidth, result.tabHeight);
  return result;
}

}  // namespace tessarapane
