#pragma once

#include <QColor>
#include <QIcon>
#include <QIconEngine>

#include "chrome/LayoutKindIcon.h"
#include "layout/LayoutKind.h"

class QPainter;

namespace tessarapane::ui {

// Paints one of LayoutKindIcon's vector pictures at whatever size and scale
// Qt asks for, so menu and tray icons stay sharp. A template picture (the
// tray icon) is drawn in the given tint instead of its own black.
class LayoutKindIconEngine final : public QIconEngine {
 public:
  explicit LayoutKindIconEngine(LayoutKindIcon::Image image, QColor templateTint = Qt::black);

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override;
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
  QIconEngine* clone() const override;
  QString key() const override;

  const LayoutKindIcon::Image& image() const { return image_; }

 private:
  LayoutKindIcon::Image image_;
  QColor templateTint_;
};

// Draws the picture into `target` (y down), scaled to fit with its aspect
// kept and centred; the picture's own y axis points up.
void paintLayoutKindImage(QPainter& painter, const LayoutKindIcon::Image& image, const QRectF& target,
                          const QColor& templateTint = Qt::black);

QIcon iconFor(const LayoutKindIcon::Image& image, const QColor& templateTint = Qt::black);
QIcon layoutKindIcon(LayoutKind kind);
QIcon bentoIcon();
// The tray icon, its strokes in `tint`.
QIcon statusBarIcon(const QColor& tint);

}  // namespace tessarapane::ui
