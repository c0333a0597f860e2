#include "chrome/PaneTabBarLayout.h"

#include <algorithm>
#include <cmath>

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

PaneTabBarLayout PaneTabBarLayout::make(const Rect& availableFrame, int tabCount, int selectedIndex, int moveCount,
                                        double pixelsPerPoint) {
  const double scale = pixelsPerPoint > 0.0 && std::isfinite(pixelsPerPoint) ? pixelsPerPoint : 1.0;
  PaneTabBarLayout result =
      make(Rect(availableFrame.x(), availableFrame.y(), availableFrame.width() / scale, availableFrame.height() / scale),
           tabCount, selectedIndex, moveCount);
  const auto inPixels = [scale](const Rect& points) {
    return Rect(points.x() * scale, points.y() * scale, points.width() * scale, points.height() * scale);
  };
  result.tabHeight *= scale;
  result.contentWidth *= scale;
  result.panelFrame = Rect(availableFrame.x(), availableFrame.y(), result.panelFrame.width() * scale,
                           result.panelFrame.height() * scale);
  result.stripFrame = inPixels(result.stripFrame);
  for (Rect& slot : result.slotFrames) slot = inPixels(slot);
  if (result.overflowButtonFrame) result.overflowButtonFrame = inPixels(*result.overflowButtonFrame);
  return result;
}

}  // namespace tessarapane
