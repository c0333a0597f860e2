#include "ui/overlay/QtChromeFactory.h"

#include <utility>

#include "ui/grid/QtBentoDividerController.h"
#include "ui/grid/QtBentoPreviewPanel.h"
#include "ui/overlay/DeferredDelete.h"
#include "ui/tabstrip/QtPaneTabBarPanel.h"

namespace tessarapane::ui {

QtChromeFactory::QtChromeFactory(std::shared_ptr<ApplicationIcons> icons, ToolkitSpace space,
                                 std::shared_ptr<Log> log)
    : icons_(std::move(icons)), space_(std::move(space)), stage_(std::make_shared<OverlayStage>(std::move(log))) {}

std::shared_ptr<tessarapane::PaneTabBarPanel> QtChromeFactory::makePaneTabBarPanel(
    const std::vector<PaneTabPresentation>& tabs, const std::vector<PaneMoveDirection>& moveDirections,
    const Rect& frame, PaneTabBarHandlers handlers) {
  return makeDeferredShared<QtPaneTabBarPanel>(tabs, moveDirections, frame, std::move(handlers), icons_, space_, stage_);
}

std::shared_ptr<tessarapane::BentoDividerController> QtChromeFactory::makeBentoDividerController(
    BentoDividerCallbacks callbacks) {
  return std::make_shared<QtBentoDividerController>(std::move(callbacks), space_, stage_);
}

std::shared_ptr<tessarapane::BentoPreviewPanel> QtChromeFactory::makeBentoPreviewPanel(const Rect& frame) {
  return makeDeferredShared<QtBentoPreviewPanel>(frame, icons_, space_, stage_);
}

}  // namespace tessarapane::ui
