#pragma once

#include <optional>
#include <vector>

#include "chrome/PaneTabStripLayout.h"
#include "geometry/Rect.h"

namespace tessarapane {

// Where the tab bar panel and its pieces go for one strip layout. The panel
// hugs its tabs at the left end of the tab-bar strip it may occupy.
struct PaneTabBarLayout {
  static constexpr double kHorizontalInset = 6.0;  // on each side of the tab strip
  static constexpr double kVerticalInset = 4.0;    // above and below the tabs
  static constexpr double kOverflowButtonWidth = 40.0;

  PaneTabStripLayout stripLayout;
  double tabHeight = 0.0;
  double contentWidth = 0.0;  // visible tabs and overflow button, with spacing
  Rect panelFrame;            // toolkit space, like the available frame
  Rect stripFrame;            // inside the panel
  std::vector<Rect> slotFrames;             // inside the strip, one per visible tab
  std::optional<Rect> overflowButtonFrame;  // inside the strip, only with hidden tabs

  // availableFrame is the pane's tab-bar strip. Widths and heights that are
  // negative or NaN count as 0 for the panel, which is then empty rather
  // than inside out.
  static PaneTabBarLayout make(const Rect& availableFrame, int tabCount, int selectedIndex, int moveCount);
  // The same laid out in points on a screen of `pixelsPerPoint` pixels per
  // point, then given in pixels: tabs keep their size in points when the
  // display is scaled. Frames and widths are pixels; the strip layout's
  // widths stay points.
  static PaneTabBarLayout make(const Rect& availableFrame, int tabCount, int selectedIndex, int moveCount,
                               double pixelsPerPoint);

  friend bool operator==(const PaneTabBarLayout&, const PaneTabBarLayout&) = default;
};

}  // namespace tessarapane
