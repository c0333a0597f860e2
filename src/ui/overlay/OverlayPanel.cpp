#include "ui/overlay/OverlayPanel.h"

#include <QPainterPath>

#include <cmath>
#include <utility>

#include "ui/overlay/NativeWindowFrame.h"
#include "ui/services/QtConversions.h"
#include "ui/services/X11Display.h"

namespace tessarapane::ui {

OverlayPanel::OverlayPanel(ToolkitSpace space, const QString& title, std::shared_ptr<OverlayStage> stage,
                           QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus),
      space_(std::move(space)),
      stage_(std::move(stage)) {
  // Without WindowDoesNotAcceptFocus a click on the panel activates it.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_X11DoNotAcceptFocus);
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  setAutoFillBackground(false);
  setWindowTitle(title);
  if (stage_) stage_->join(this);
}

OverlayPanel::~OverlayPanel() {
  if (stage_) stage_->leave(this);
}

bool OverlayPanel::compositing() const { return !stage_ || stage_->compositing(); }

void OverlayPanel::updateShape() {
  std::optional<QRegion> wanted;
  if (!compositing()) wanted = drawnRegion();
  if (shapeApplied_ && shape_ == wanted) return;
  if (x11Connection()) {
    // Applied once the window exists (showEvent asks again).
    shapeApplied_ = applyNativeShape(*this, wanted);
    shape_ = wanted;
    return;
  }
  // Elsewhere Qt's mask; an empty one would mean no shape at all.
  if (!wanted) clearMask();
  else setMask(wanted->isEmpty() ? QRegion(-1, -1, 1, 1) : *wanted);
  shape_ = wanted;
  shapeApplied_ = true;
}

QRegion OverlayPanel::roundedRegion(const QRectF& bounds, double radius) {
  QPainterPath path;
  path.addRoundedRect(bounds, radius, radius);
  return QRegion(path.toFillPolygon().toPolygon());
}

void OverlayPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  updateShape();
}

namespace {

int rounded(double value) { return static_cast<int>(std::lround(value)); }

}  // namespace

void OverlayPanel::setToolkitFrame(const Rect& frame) {
  if (frame_ == frame) return;
  frame_ = frame;
  // Qt's whole units come close; the X window then takes the exact pixels.
  const QRectF qt = space_.toQt(frame);
  const QRect dip(rounded(qt.x()), rounded(qt.y()), rounded(qt.right()) - rounded(qt.x()),
                  rounded(qt.bottom()) - rounded(qt.y()));
  if (geometry() != dip) setGeometry(dip);
  applyPixelFrame();
}

Rect OverlayPanel::toolkitFrame() const { return frame_.value_or(space_.fromQt(QRectF(geometry()))); }

void OverlayPanel::applyPixelFrame() {
  if (!frame_) return;
  const Rect pixels = space_.toPixels(*frame_);
  applyNativeFrame(*this, QRect(rounded(pixels.x()), rounded(pixels.y()), rounded(pixels.maxX()) - rounded(pixels.x()),
                                rounded(pixels.maxY()) - rounded(pixels.y())));
}

void OverlayPanel::showEvent(QShowEvent* event) {
  // Showing creates the window from Qt's rounded geometry.
  applyPixelFrame();
  if (!shapeApplied_) updateShape();
  QWidget::showEvent(event);
}

void OverlayPanel::orderFrontRegardless() {
  if (!isVisible()) {
    show();
    // Qt may place the window anew from its rounded geometry on the way.
    applyPixelFrame();
  }
  raise();
}

void OverlayPanel::orderOut() { hide(); }

}  // namespace tessarapane::ui
