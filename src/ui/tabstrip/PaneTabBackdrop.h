#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

namespace tessarapane::ui {

// The backdrop of a tab and of the overflow button: a dark translucent plate
// (the desktop offers no blur behind other applications' windows) with the
// tint over it, both rounded with radius 8.
namespace PaneTabBackdrop {

inline constexpr double kCornerRadius = 8.0;

QColor materialColor();

void paint(QPainter& painter, const QRectF& bounds, const QColor& tint);

// A soft shadow under a rounded rectangle: black at `opacity`, blurred over
// `radius`, moved down by `offsetDown`.
void paintShadow(QPainter& painter, const QRectF& bounds, double opacity, double radius, double offsetDown);

}  // namespace PaneTabBackdrop

}  // namespace tessarapane::ui
