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
// bottom-left), in which the core hands over panel frames, and Qt's global
// widget coordinates (y down), by the same flip about the primary screen that
// the core uses for window frames. The screens come from the platform when it
// is given, else from Qt itself.
class ToolkitSpace {
 public:
  explicit ToolkitSpace(std::shared_ptr<Screens> screens = nullptr);

  QRectF toQt(const Rect& toolkitRect) const;
  Rect fromQt(const QRectF& qtRect) const;
  Point pointFromQt(const QPointF& qtPoint) const;

  // Screens in toolkit space, primary first.
  std::vector<Screen> screens() const;

  // Qt's own screens, primary first; each frame keeps Qt's numbers except the
  // flip, so the primary's bottom edge anchors it.
  static std::vector<Screen> qtScreens();

 private:
  std::shared_ptr<Screens> screens_;
};

}  // namespace tessarapane::ui
