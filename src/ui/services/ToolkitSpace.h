#pragma once

#include <QPointF>
#include <QRectF>

#include <memory>
#include <vector>

#include "geometry/Point.h"
#include "geometry/Rect.h"
#include "platform/Screens.h"

namespace tessarapane::ui {

// Converts between toolkit space (y up, origin at the primary display's
// bottom-left, X pixels), in which the core hands over panel frames, and Qt's
// global widget coordinates (y down, device-independent pixels): the same flip
// about the primary screen that the core uses for window frames, then each
// screen's scale (ScreenScale). The screens come from the platform when it is
// given, else from Qt itself.
class ToolkitSpace {
 public:
  explicit ToolkitSpace(std::shared_ptr<Screens> screens = nullptr);

  QRectF toQt(const Rect& toolkitRect) const;
  Rect fromQt(const QRectF& qtRect) const;
  Point pointFromQt(const QPointF& qtPoint) const;
  // The flip alone: X pixels, y down, as the X server places windows.
  Rect toPixels(const Rect& toolkitRect) const;

  // Screens in toolkit space, primary first.
  std::vector<Screen> screens() const;

  // Qt's own screens in X pixels, primary first, flipped so the primary's
  // bottom edge anchors them.
  static std::vector<Screen> qtScreens();

 private:
  std::shared_ptr<Screens> screens_;
};

}  // namespace tessarapane::ui
