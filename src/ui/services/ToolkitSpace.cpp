#include "ui/services/ToolkitSpace.h"

#include <QGuiApplication>
#include <QScreen>

#include <utility>

#include "ui/services/QtConversions.h"
#include "ui/services/ScreenScale.h"
#include "windows/ScreenIdentity.h"

namespace tessarapane::ui {

ToolkitSpace::ToolkitSpace(std::shared_ptr<Screens> screens) : screens_(std::move(screens)) {}

std::vector<Screen> ToolkitSpace::qtScreens() {
  std::vector<Screen> result;
  QScreen* primary = QGuiApplication::primaryScreen();
  if (!primary) return result;
  const auto pixels = [](const QRect& dip) { return toRect(ScreenScale::toPixels(QRectF(dip))); };
  // The flip needs the primary's bottom edge: a frame with the same origin
  // and size has exactly that maximum y.
  const std::vector<Screen> anchor{Screen{0, pixels(primary->geometry()), pixels(primary->availableGeometry())}};
  QList<QScreen*> ordered = QGuiApplication::screens();
  ordered.removeAll(primary);
  ordered.prepend(primary);
  for (QScreen* screen : ordered) {
    result.push_back(Screen{0, ScreenIdentity::convertFrame(pixels(screen->geometry()), anchor),
                            ScreenIdentity::convertFrame(pixels(screen->availableGeometry()), anchor)});
  }
  // The converted primary must anchor the way back as well.
  if (!result.empty()) result.front().frame = anchor.front().frame;
  return result;
}

std::vector<Screen> ToolkitSpace::screens() const {
  if (screens_) return screens_->screens();
  return qtScreens();
}

Rect ToolkitSpace::toPixels(const Rect& toolkitRect) const {
  return ScreenIdentity::convertFrame(toolkitRect, screens());
}

QRectF ToolkitSpace::toQt(const Rect& toolkitRect) const { return ScreenScale::toDip(toQRectF(toPixels(toolkitRect))); }

Rect ToolkitSpace::fromQt(const QRectF& qtRect) const {
  return ScreenIdentity::convertFrame(toRect(ScreenScale::toPixels(qtRect)), screens());
}

Point ToolkitSpace::pointFromQt(const QPointF& qtPoint) const {
  // A point is a rectangle of no size; the flip maps its y alone.
  return fromQt(QRectF(qtPoint, QSizeF(0, 0))).origin;
}

}  // namespace tessarapane::ui
