#include "ui/services/ScreenScale.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace tessarapane::ui::ScreenScale {

namespace {

// A screen's frame in X pixels: Qt's origin, the size times the ratio.
QRectF pixelFrame(const QScreen& screen) {
  const QRectF dip(screen.geometry());
  return QRectF(dip.topLeft(), dip.size() * screen.devicePixelRatio());
}

// The screen holding the point, else the nearest one (a panel may reach past
// every screen's edge).
const QScreen* screenAt(const QPointF& point, bool pointInPixels) {
  const QScreen* best = nullptr;
  double bestDistance = 0.0;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRectF frame = pointInPixels ? pixelFrame(*screen) : QRectF(screen->geometry());
    const double dx = std::max({frame.left() - point.x(), 0.0, point.x() - frame.right()});
    const double dy = std::max({frame.top() - point.y(), 0.0, point.y() - frame.bottom()});
    const double distance = dx * dx + dy * dy;
    if (!best || distance < bestDistance) {
      best = screen;
      bestDistance = distance;
    }
  }
  return best;
}

QPointF map(const QPointF& point, const QScreen* screen, double factor) {
  if (!screen) return point;
  const QPointF origin = screen->geometry().topLeft();
  return origin + (point - origin) * factor;
}

}  // namespace

QPointF toDip(const QPointF& pixels) {
  const QScreen* screen = screenAt(pixels, true);
  return map(pixels, screen, screen ? 1.0 / screen->devicePixelRatio() : 1.0);
}

QPointF toPixels(const QPointF& dip) {
  const QScreen* screen = screenAt(dip, false);
  return map(dip, screen, screen ? screen->devicePixelRatio() : 1.0);
}

QRectF toDip(const QRectF& pixels) {
  const QScreen* screen = screenAt(pixels.topLeft(), true);
  const double ratio = screen ? screen->devicePixelRatio() : 1.0;
  return QRectF(map(pixels.topLeft(), screen, 1.0 / ratio), pixels.size() / ratio);
}

QRectF toPixels(const QRectF& dip) {
  const QScreen* screen = screenAt(dip.topLeft(), false);
  const double ratio = screen ? screen->devicePixelRatio() : 1.0;
  return QRectF(map(dip.topLeft(), screen, ratio), dip.size() * ratio);
}

double ratioAt(const QPointF& pixels) {
  const QScreen* screen = screenAt(pixels, true);
  return screen ? screen->devicePixelRatio() : 1.0;
}

QRect toLocalDip(const Rect& pixels, const QWidget& widget) {
  const double ratio = widget.devicePixelRatioF();
  const auto edge = [ratio](double value) { return static_cast<int>(std::lround(value / ratio)); };
  const int left = edge(pixels.x()), top = edge(pixels.y());
  return QRect(left, top, edge(pixels.maxX()) - left, edge(pixels.maxY()) - top);
}

double pixelWidth(const QWidget& widget) { return widget.width() * widget.devicePixelRatioF(); }
double pixelHeight(const QWidget& widget) { return widget.height() * widget.devicePixelRatioF(); }

}  // namespace tessarapane::ui::ScreenScale
