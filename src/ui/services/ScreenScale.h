#pragma once

#include <QPointF>
#include <QRect>
#include <QRectF>

#include "geometry/Rect.h"

class QWidget;

namespace tessarapane::ui {

// Converts between X pixels and Qt's device-independent pixels. On a scaled
// screen (Xft.dpi, QT_SCALE_FACTOR, QT_SCREEN_SCALE_FACTORS) Qt keeps each
// screen's origin and divides distances from it by the screen's device pixel
// ratio; global points here are y down, as Qt has them.
namespace ScreenScale {

// A point in X pixels, as Qt places it.
QPointF toDip(const QPointF& pixels);
// A point Qt reports, in X pixels.
QPointF toPixels(const QPointF& dip);
// Rectangles keep their origin's screen; the size scales by its ratio.
QRectF toDip(const QRectF& pixels);
QRectF toPixels(const QRectF& dip);

// The device pixel ratio of the screen holding a point in X pixels.
double ratioAt(const QPointF& pixels);

// A rectangle in X pixels relative to a widget's window, in the widget's own
// coordinates: edges are rounded, so neighbours still meet.
QRect toLocalDip(const Rect& pixels, const QWidget& widget);
// The widget's size in X pixels.
double pixelWidth(const QWidget& widget);
double pixelHeight(const QWidget& widget);

}  // namespace ScreenScale

}  // namespace tessarapane::ui
