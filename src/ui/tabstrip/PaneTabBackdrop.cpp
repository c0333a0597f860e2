#include "ui/tabstrip/PaneTabBackdrop.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tessarapane::ui::PaneTabBackdrop {

namespace {
// Layers that approximate the blur of a shadow.
constexpr int kShadowSteps = 4;
}  // namespace

QColor materialColor() { return QColor(30, 30, 32, 200); }

void paint(QPainter& painter, const QRectF& bounds, const QColor& tint) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  QPainterPath plate;
  plate.addRoundedRect(bounds, kCornerRadius, kCornerRadius);
  painter.fillPath(plate, materialColor());
  painter.fillPath(plate, tint);
  painter.restore();
}

void paintShadow(QPainter& painter, const QRectF& bounds, double opacity, double radius, double offsetDown) {
  if (opacity <= 0.0) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  const QRectF base = bounds.translated(0.0, offsetDown);
  // Only around the shape: the translucent tab itself stays clean.
  QPainterPath outside;
  outside.addRect(base.adjusted(-radius - 1, -radius - 1, radius + 1, radius + 1));
  QPainterPath shape;
  shape.addRoundedRect(bounds, kCornerRadius, kCornerRadius);
  painter.setClipPath(outside.subtracted(shape), Qt::IntersectClip);
  // Nested rounded rectangles, widest first, add up to the full opacity at
  // the edge of the shape and fade out over the radius.
  for (int step = kShadowSteps; step >= 1; --step) {
    const double spread = radius * static_cast<double>(step) / kShadowSteps;
    const QRectF layer = base.adjusted(-spread, -spread, spread, spread);
    QColor color(0, 0, 0);
    color.setAlphaF(static_cast<float>(opacity / kShadowSteps));
    painter.setBrush(color);
    painter.drawRoundedRect(layer, kCornerRadius + spread, kCornerRadius + spread);
  }
  painter.restore();
}

}  // namespace tessarapane::ui::PaneTabBackdrop
