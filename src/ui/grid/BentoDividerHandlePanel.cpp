#include "ui/grid/BentoDividerHandlePanel.h"

#include <utility>

#include "ui/grid/BentoDividerHandleView.h"

namespace tessarapane::ui {

BentoDividerHandlePanel::BentoDividerHandlePanel(std::weak_ptr<const BentoDividerCallbacks> callbacks,
                                                 ToolkitSpace space, std::shared_ptr<OverlayStage> stage)
    : OverlayPanel(space, QStringLiteral("Tessarapane grid divider"), std::move(stage)) {
  handleView_ = new BentoDividerHandleView(std::move(callbacks), std::move(space), this);
  handleView_->setGeometry(rect());
}

void BentoDividerHandlePanel::resizeEvent(QResizeEvent* event) {
  handleView_->setGeometry(rect());
  OverlayPanel::resizeEvent(event);
}

QRegion BentoDividerHandlePanel::drawnRegion() const {
  QRegion drawn;
  if (const auto strip = handleView_->stripRect()) drawn += strip->toAlignedRect();
  if (const auto grip = handleView_->gripRect()) drawn += grip->toAlignedRect();
  return drawn.translated(handleView_->pos());
}

}  // namespace tessarapane::ui
