#include "ui/grid/QtBentoDividerController.h"

#include <utility>

#include "ui/grid/BentoDividerHandlePanel.h"
#include "ui/grid/BentoDividerHandleView.h"

namespace tessarapane::ui {

QtBentoDividerController::QtBentoDividerController(BentoDividerCallbacks callbacks, ToolkitSpace space,
                                               std::shared_ptr<OverlayStage> stage)
    : callbacks_(std::make_shared<const BentoDividerCallbacks>(std::move(callbacks))),
      space_(std::move(space)),
      stage_(std::move(stage)) {}

QtBentoDividerController::~QtBentoDividerController() { tearDown(); }

void QtBentoDividerController::closePanel(BentoDividerHandlePanel* panel) {
  panel->hide();
  // A drag callback may end the layout from inside the panel's own event.
  panel->deleteLater();
}

void QtBentoDividerController::update(const std::vector<BentoDividerLayout>& dividers) {
  while (handlePanels_.size() > dividers.size()) {
    closePanel(handlePanels_.back());
    handlePanels_.pop_back();
  }
  while (handlePanels_.size() < dividers.size()) {
    handlePanels_.push_back(new BentoDividerHandlePanel(callbacks_, space_, stage_));
  }
  for (std::size_t index = 0; index < dividers.size(); ++index) {
    BentoDividerHandlePanel* panel = handlePanels_[index];
    panel->setToolkitFrame(dividers[index].hitFrame);
    BentoDividerHandleView* view = panel->handleView();
    view->setGeometry(panel->rect());
    view->setDivider(dividers[index]);
    view->resetCursorRects();
    panel->updateShape();
    panel->orderFrontRegardless();
  }
}

void QtBentoDividerController::tearDown() {
  for (BentoDividerHandlePanel* panel : handlePanels_) closePanel(panel);
  handlePanels_.clear();
}

}  // namespace tessarapane::ui
