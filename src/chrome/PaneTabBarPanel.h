#pragma once

#include <functional>
#include <vector>

#include "chrome/PaneTabPresentation.h"
#include "geometry/Rect.h"
#include "layout/PaneMoveDirection.h"

namespace tessarapane {

// What a tab strip reports: the tab index, and for a move the direction of
// the clicked arrow.
struct PaneTabBarHandlers {
  std::function<void(int tabIndex)> selection;
  std::function<void(int tabIndex)> close;
  std::function<void(int tabIndex, PaneMoveDirection direction)> move;
};

// The floating tab strip of one pane, as the coordinator drives it. Made by
// a ChromeFactory with the tabs, the move arrows (fixed for its life), the
// pane's tab-bar frame (toolkit space) and the three handlers; a new panel
// marks its first tab as selected.
class PaneTabBarPanel {
 public:
  virtual ~PaneTabBarPanel() = default;

  // New tabs, selection (outside the tabs: none) and tab-bar frame. Equal
  // input does no work.
  virtual void updateTabs(const std::vector<PaneTabPresentation>& tabs, int selectedIndex, const Rect& frame) = 0;
  // Shows the panel above ordinary windows without activating anything.
  virtual void orderFrontRegardless() = 0;
  virtual void orderOut() = 0;
  // The panel is not used again afterwards.
  virtual void close() = 0;
};

}  // namespace tessarapane
