#include "ui/OverlayPanel.h"

#include <cmath>
#include <utility>

namespace tessarapane::ui {

OverlayPanel::OverlayPanel(ToolkitSpace space, const QString& title, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      space_(std::move(space)) {
  // Without WindowDoesNotAcceptFocus a click on the panel activates it.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_X11DoNotAcceptFocus);
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  setAutoFillBackground(false);
  setWindowTitle(title);
}

void OverlayPanel::setToolkitFrame(const Rect& frame) {
  const QRectF qt = space_.toQt(frame);
  const QRect rounded(static_cast<int>(std::lround(qt.x())), static_cast<int>(std::lround(qt.y())),
                      static_cast<int>(std::lround(qt.width())), static_cast<int>(std::lround(qt.height())));
  if (geometry() != rounded) setGeometry(rounded);
}

Rect OverlayPanel::toolkitFrame() const { return space_.fromQt(QRectF(geometry())); }

void OverlayPanel::orderFrontRegardless() {
  if (!isVisible()) show();
  raise();
}

void OverlayPanel::orderOut() { hide(); }

}  // namespace tessarapane::ui
