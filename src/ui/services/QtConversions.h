#pragma once

#include <QColor>
#include <QRectF>
#include <QString>

#include <string>
#include <string_view>

#include "chrome/LayoutKindIcon.h"
#include "geometry/Rect.h"

namespace tessarapane::ui {

inline QString toQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toStdString(const QString& text) { return text.toStdString(); }

// The same text through the localizer, as Qt wants it.
QString localizedText(std::string_view key);

// A rectangle with the same numbers (no change of space).
inline QRectF toQRectF(const Rect& rect) { return QRectF(rect.x(), rect.y(), rect.width(), rect.height()); }
inline Rect toRect(const QRectF& rect) { return Rect(rect.x(), rect.y(), rect.width(), rect.height()); }

QColor toQColor(const LayoutKindIcon::Color& color);

// A grey of `white` (0 black ... 1 white) at `alpha`.
QColor whiteColor(double white, double alpha = 1.0);

}  // namespace tessarapane::ui
