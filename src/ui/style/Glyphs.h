#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>

class QPainter;

namespace tessarapane::ui {

// The small symbols of the panels and windows, drawn as vector paths so they
// stay sharp at every scale.
enum class Glyph {
  xmark,
  arrowLeft,
  arrowRight,
  arrowUp,
  arrowDown,
  checkmark,
  xmarkCircleFill,
  checkmarkCircleFill,
  windowOnRectangle,
};

// The square a glyph of `pointSize` occupies.
double glyphSide(double pointSize);

// The glyph's filled outline, centred in `bounds`, `pointSize` large but
// shrunk proportionally when the bounds are smaller.
QPainterPath glyphPath(Glyph glyph, const QRectF& bounds, double pointSize);

// Fills glyphPath() in `color`.
void paintGlyph(QPainter& painter, Glyph glyph, const QRectF& bounds, double pointSize, const QColor& color);

}  // namespace tessarapane::ui
