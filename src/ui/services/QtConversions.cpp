#include "ui/services/QtConversions.h"

#include <algorithm>

#include "platform/Localizer.h"

namespace tessarapane::ui {

QString localizedText(std::string_view key) { return toQString(localized(key)); }

QColor toQColor(const LayoutKindIcon::Color& color) {
  return QColor::fromRgbF(static_cast<float>(color.red), static_cast<float>(color.green),
                          static_cast<float>(color.blue), static_cast<float>(color.alpha));
}

QColor whiteColor(double white, double alpha) {
  const auto level = static_cast<float>(std::clamp(white, 0.0, 1.0));
  return QColor::fromRgbF(level, level, level, static_cast<float>(std::clamp(alpha, 0.0, 1.0)));
}

}  // namespace tessarapane::ui
