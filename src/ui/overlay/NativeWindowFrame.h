#pragma once

#include <QRect>
#include <QRegion>

#include <optional>

class QWidget;

namespace tessarapane::ui {

// Places a top-level widget's window at a rectangle in X pixels, exactly. Qt
// only takes whole device-independent pixels, which miss some X pixels at a
// fractional scale (a 32-pixel strip is 25.6 at 125 %). False when the
// display is not X11 or the window does not exist yet; Qt's own geometry is
// then all there is.
bool applyNativeFrame(QWidget& window, const QRect& pixels);

// Shapes the window to `region` (its own device-independent coordinates;
// none lifts the shape) through the X server directly. Qt's own mask would
// do the same, but it also clips every flush to the mask: a rounded shape is
// one rectangle per row of each corner, and each became an image request of
// its own. False when the display is not X11 or the window does not exist yet.
bool applyNativeShape(QWidget& window, const std::optional<QRegion>& region);

}  // namespace tessarapane::ui
