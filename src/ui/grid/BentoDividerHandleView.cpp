#include "ui/grid/BentoDividerHandleView.h"

#include <QMouseEvent>
#include <QPainter>

#include <utility>

#include "ui/overlay/OverlayPanel.h"
#include "ui/services/QtConversions.h"

namespace tessarapane::ui {

BentoDividerHandleView::BentoDividerHandleView(std::weak_ptr<const BentoDividerCallbacks> callbacks,
                                               ToolkitSpace space, QWidget* parent)
    : QWidget(parent), callbacks_(std::move(callbacks)), space_(std::move(space)) {
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_TranslucentBackground);
}

void BentoDividerHandleView::setDivider(const BentoDividerLayout& divider) {
  divider_ = divider;
  update();
}

std::optional<QRectF> BentoDividerHandleView::stripRect() const {
  if (!divider_) return std::nullopt;
  // Relative to the window, which covers the hit frame; X pixels, then Qt's
  // units.
  const auto* panel = dynamic_cast<const OverlayPanel*>(window());
  const Rect windowFrame = panel ? panel->toolkitFrame() : space_.fromQt(QRectF(window()->geometry()));
  const double ratio = devicePixelRatioF();
  const Rect& strip = divider_->frame;
  const QPointF topLeft((strip.x() - windowFrame.x()) / ratio, (windowFrame.maxY() - strip.maxY()) / ratio);
  return QRectF(mapFrom(window(), topLeft), QSizeF(strip.width() / ratio, strip.height() / ratio));
}

std::optional<QRectF> BentoDividerHandleView::gripRect() const {
  const std::optional<QRectF> strip = stripRect();
  if (!strip) return std::nullopt;
  const QPointF centre = strip->center();
  if (divider_->orientation == BentoSplitOrientation::vertical) {
    return QRectF(centre.x() - kGripThickness / 2, centre.y() - kGripLength / 2, kGripThickness, kGripLength);
  }
  return QRectF(centre.x() - kGripLength / 2, centre.y() - kGripThickness / 2, kGripLength, kGripThickness);
}

void BentoDividerHandleView::resetCursorRects() {
  if (!divider_) {
    unsetCursor();
    return;
  }
  setCursor(divider_->orientation == BentoSplitOrientation::vertical ? Qt::SizeHorCursor : Qt::SizeVerCursor);
}

void BentoDividerHandleView::paintEvent(QPaintEvent*) {
  const std::optional<QRectF> grip = gripRect();
  if (!grip) return;
  QPainter painter(this);
  // Unblended, the gap would show black: it gets a quiet plate instead.
  if (const auto* panel = dynamic_cast<const OverlayPanel*>(window()); panel && !panel->compositing()) {
    painter.fillRect(*stripRect(), kUnblendedGapColor);
  }
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(whiteColor(0.82, 0.92));
  painter.drawRoundedRect(*grip, kGripRadius, kGripRadius);
}

Point BentoDividerHandleView::screenLocation(const QMouseEvent& event) const {
  return space_.pointFromQt(event.globalPosition());
}

void BentoDividerHandleView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !divider_) return;
  isDragging_ = true;
  const BentoPath path = divider_->path;
  const Point location = screenLocation(*event);
  if (const auto callbacks = callbacks_.lock(); callbacks && callbacks->onDragBegan) callbacks->onDragBegan(path);
  if (const auto callbacks = callbacks_.lock(); callbacks && callbacks->onDragChanged) {
    callbacks->onDragChanged(path, location);
  }
}

void BentoDividerHandleView::mouseMoveEvent(QMouseEvent* event) {
  if (!isDragging_ || !divider_) return;
  if (const auto callbacks = callbacks_.lock(); callbacks && callbacks->onDragChanged) {
    callbacks->onDragChanged(divider_->path, screenLocation(*event));
  }
}

void BentoDividerHandleView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !isDragging_) return;
  isDragging_ = false;
  if (const auto callbacks = callbacks_.lock(); callbacks && callbacks->onDragEnded) callbacks->onDragEnded();
}

}  // namespace tessarapane::ui
