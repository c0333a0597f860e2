#pragma once

#include <memory>
#include <vector>

#include "chrome/BentoDividerController.h"
#include "chrome/BentoPreviewPanel.h"
#include "chrome/PaneTabBarPanel.h"
#include "chrome/PaneTabPresentation.h"
#include "geometry/Rect.h"
#include "layout/PaneMoveDirection.h"

namespace tessarapane {

// Makes the floating panels the coordinator drives, so that the core never
// sees the toolkit that draws them.
class ChromeFactory {
 public:
  virtual ~ChromeFactory() = default;

  // A tab strip laid out over `frame` (toolkit space), its first tab marked
  // selected. The handlers hold their target weakly.
  virtual std::shared_ptr<PaneTabBarPanel> makePaneTabBarPanel(const std::vector<PaneTabPresentation>& tabs,
                                                               const std::vector<PaneMoveDirection>& moveDirections,
                                                               const Rect& frame, PaneTabBarHandlers handlers) = 0;

  // A divider controller without handles yet.
  virtual std::shared_ptr<BentoDividerController> makeBentoDividerController(BentoDividerCallbacks callbacks) = 0;

  // A hidden preview panel over `frame` (toolkit space).
  virtual std::shared_ptr<BentoPreviewPanel> makeBentoPreviewPanel(const Rect& frame) = 0;
};

}  // namespace tessarapane
