#pragma once

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <map>
#include <string>

#include "platform/ManagedWindow.h"
#include "ui/overlay/ApplicationIconProvider.h"
#include "ui/style/GlyphButton.h"

namespace tessarapane::ui::testing_support {

// Icons as plain coloured squares, for the processes given a colour; counts how often it is asked.
class FakeIconProvider final : public ApplicationIconProvider {
 public:
  QImage applicationIcon(ProcessID pid) override {
    ++requests[pid];
    if (!colors.contains(pid)) return {};
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(colors[pid]);
    return image;
  }
  std::map<ProcessID, QColor> colors;
  std::map<ProcessID, int> requests;
};

inline std::string text(const QString& value) { return value.toStdString(); }

// What the widget shows at `scale` device pixels per point, pending layout passes run first as the loop would.
inline QImage grabImage(QWidget& widget, qreal scale = 1.0) {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  if (scale == 1.0) return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  QImage image(widget.size() * scale, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  image.fill(Qt::transparent);
  widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  image.setDevicePixelRatio(1.0);
  return image.convertToFormat(QImage::Format_ARGB32);
}

// Writes a PNG for people to look at into the build's screenshot folder, over a desktop-like backdrop so that
// translucent panels can be judged by eye.
inline void saveScreenshot(const QImage& image, const QString& name, int margin = 12) {
  QImage canvas(image.width() + 2 * margin, image.height() + 2 * margin, QImage::Format_ARGB32);
  QPainter painter(&canvas);
  QLinearGradient gradient(0, 0, canvas.width(), canvas.height());
  gradient.setColorAt(0, QColor(96, 122, 160));
  gradient.setColorAt(1, QColor(180, 150, 130));
  painter.fillRect(canvas.rect(), gradient);
  painter.drawImage(margin, margin, image);
  painter.end();
  const QDir folder(QStringLiteral(TESSARAPANE_SCREENSHOT_DIR));
  folder.mkpath(QStringLiteral("."));
  canvas.save(folder.filePath(name + QStringLiteral(".png")));
}

// Deletes what deleteLater() queued.
inline void flushDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

}  // namespace tessarapane::ui::testing_support
