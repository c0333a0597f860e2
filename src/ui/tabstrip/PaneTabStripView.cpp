#include "ui/tabstrip/PaneTabStripView.h"

#include <QGraphicsOpacityEffect>
#include <QPainter>

#include "ui/tabstrip/PaneTabBackdrop.h"
#include "ui/tabstrip/PaneTabItemView.h"

namespace tessarapane::ui {

namespace {
// The shadow falls one point down (offset (0, -1) with y up).
constexpr double kShadowOffsetDown = 1.0;
}  // namespace

PaneTabStripView::PaneTabStripView(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::NoFocus); }

void PaneTabStripView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  for (QObject* child : children()) {
    auto* item = dynamic_cast<PaneTabItemView*>(child);
    if (!item || !item->isVisible()) continue;
    double opacity = item->shadowOpacity();
    // A tab that is fading in brings its shadow along.
    if (auto* fade = qobject_cast<QGraphicsOpacityEffect*>(item->graphicsEffect())) opacity *= fade->opacity();
    PaneTabBackdrop::paintShadow(painter, QRectF(item->geometry()), opacity, item->shadowRadius(),
                                 kShadowOffsetDown);
  }
}

}  // namespace tessarapane::ui
