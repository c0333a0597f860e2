#include "ui/BentoDividerHandlePanel.h"

#include <utility>

#include "ui/BentoDividerHandleView.h"

namespace tessarapane::ui {

BentoDividerHandlePanel::BentoDividerHandlePanel(std::weak_ptr<const BentoDividerCallbacks> callbacks,
                                                 ToolkitSpace space)
    : OverlayPanel(space, QStringLiteral("Tessarapane grid divider")) {
  handleView_ = new BentoDividerHandleView(std::move(callbacks), std::move(space), this);
  handleView_->setGeometry(rect());
}

void BentoDividerHandlePanel::resizeEvent(QResizeEvent* event) {
  handleView_->setGeometry(rect());
  OverlayPanel::resizeEvent(event);
}

}  // namespace tessarapane::ui
