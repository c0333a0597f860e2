#include "ui/QtPermissionHelperPanel.h"

#include <utility>

#include "ui/HelperPillView.h"
#include "ui/QtConversions.h"

namespace tessarapane::ui {

QtPermissionHelperPanel::QtPermissionHelperPanel(const std::string& text, QIcon applicationIcon, ToolkitSpace space)
    : OverlayPanel(std::move(space), QStringLiteral("Tessarapane permission helper")) {
  pill_ = new HelperPillView(toQString(text), std::move(applicationIcon), this);
  resize(kInitialWidth, kHeight);
  pill_->setGeometry(rect());
}

std::string QtPermissionHelperPanel::text() const { return toStdString(pill_->text()); }

void QtPermissionHelperPanel::setText(const std::string& text) { pill_->setText(toQString(text)); }

double QtPermissionHelperPanel::fittingWidth() const { return pill_->fittingWidth(); }

Rect QtPermissionHelperPanel::frame() const { return toolkitFrame(); }

void QtPermissionHelperPanel::setFrame(const Rect& frame) {
  setToolkitFrame(frame);
  pill_->setGeometry(rect());
  pill_->update();
}

bool QtPermissionHelperPanel::isVisible() const { return QWidget::isVisible(); }

void QtPermissionHelperPanel::orderFrontRegardless() { OverlayPanel::orderFrontRegardless(); }

void QtPermissionHelperPanel::hide() { QWidget::hide(); }

void QtPermissionHelperPanel::resizeEvent(QResizeEvent* event) {
  pill_->setGeometry(rect());
  OverlayPanel::resizeEvent(event);
}

}  // namespace tessarapane::ui
