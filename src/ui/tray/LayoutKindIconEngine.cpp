#include "ui/tray/LayoutKindIconEngine.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <utility>
#include <variant>

#include "ui/services/QtConversions.h"

namespace tessarapane::ui {

namespace {

// How disabled menu entries show their pictures.
constexpr double kDisabledOpacity = 0.35;

QColor shapeColor(const LayoutKindIcon::Color& color, const LayoutKindIcon::Image& image, const QColor& tint) {
  if (!image.isTemplate) return toQColor(color);
  QColor tinted = tint;
  tinted.setAlphaF(tint.alphaF() * static_cast<float>(color.alpha));
  return tinted;
}

}  // namespace

void paintLayoutKindImage(QPainter& painter, const LayoutKindIcon::Image& image, const QRectF& target,
                          const QColor& templateTint) {
  const double width = image.size.width;
  const double height = image.size.height;
  if (!(width > 0.0) || !(height > 0.0) || target.isEmpty()) return;
  const double scale = std::min(target.width() / width, target.height() / height);
  const QPointF origin(target.center().x() - width * scale / 2.0, target.center().y() - height * scale / 2.0);

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(origin);
  painter.scale(scale, scale);
  // The picture's y axis points up.
  painter.translate(0.0, height);
  painter.scale(1.0, -1.0);
  for (const LayoutKindIcon::Shape& shape : image.shapes) {
    if (const auto* rounded = std::get_if<LayoutKindIcon::RoundedRect>(&shape)) {
      const QColor color = shapeColor(rounded->color, image, templateTint);
      QPainterPath path;
      path.addRoundedRect(toQRectF(rounded->rect), rounded->cornerRadius, rounded->cornerRadius);
      if (rounded->filled) {
        painter.fillPath(path, color);
      } else {
        painter.strokePath(path, QPen(color, rounded->lineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
      }
    } else if (const auto* line = std::get_if<LayoutKindIcon::Line>(&shape)) {
      painter.setPen(QPen(shapeColor(line->color, image, templateTint), line->lineWidth, Qt::SolidLine, Qt::FlatCap));
      painter.drawLine(QPointF(line->from.x, line->from.y), QPointF(line->to.x, line->to.y));
    }
  }
  painter.restore();
}

LayoutKindIconEngine::LayoutKindIconEngine(LayoutKindIcon::Image image, QColor templateTint)
    : image_(std::move(image)), templateTint_(std::move(templateTint)) {}

void LayoutKindIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) {
  painter->save();
  if (mode == QIcon::Disabled) painter->setOpacity(painter->opacity() * kDisabledOpacity);
  paintLayoutKindImage(*painter, image_, QRectF(rect), templateTint_);
  painter->restore();
}

QPixmap LayoutKindIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
  return scaledPixmap(size, mode, state, 1.0);
}

QPixmap LayoutKindIconEngine::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) {
  // QIcon asks for device pixels: `size` already includes the scale.
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  {
    QPainter painter(&pixmap);
    paint(&painter, QRect(QPoint(0, 0), size), mode, state);
  }
  pixmap.setDevicePixelRatio(scale);
  return pixmap;
}

QSize LayoutKindIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State) { return size; }

QList<QSize> LayoutKindIconEngine::availableSizes(QIcon::Mode, QIcon::State) {
  return {QSize(static_cast<int>(image_.size.width), static_cast<int>(image_.size.height))};
}

QIconEngine* LayoutKindIconEngine::clone() const { return new LayoutKindIconEngine(image_, templateTint_); }

QString LayoutKindIconEngine::key() const { return QStringLiteral("tessarapane-layout-kind"); }

QIcon iconFor(const LayoutKindIcon::Image& image, const QColor& templateTint) {
  QIcon icon(new LayoutKindIconEngine(image, templateTint));
  icon.setIsMask(image.isTemplate);
  return icon;
}

QIcon layoutKindIcon(LayoutKind kind) { return iconFor(LayoutKindIcon::image(kind)); }

QIcon bentoIcon() { return iconFor(LayoutKindIcon::bentoImage()); }

QIcon statusBarIcon(const QColor& tint) { return iconFor(LayoutKindIcon::statusBarImage(), tint); }

}  // namespace tessarapane::ui
