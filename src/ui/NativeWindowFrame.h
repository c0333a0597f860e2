#pragma once

#include <QRect>

class QWidget;

namespace tessarapane::ui {

// Places a top-level widget's window at a rectangle in X pixels, exactly. Qt
// only takes whole device-independent pixels, which miss some X pixels at a
// fractional scale (a 32-pixel strip is 25.6 at 125 %). False when the
// display is not X11 or the window does not exist yet; Qt's own geometry is
// then all there is.
bool applyNativeFrame(QWidget& window, const QRect& pixels);

}  // namespace tessarapane::ui
