#include "ui/overlay/ApplicationIcons.h"

#include <optional>
#include <utility>

namespace tessarapane::ui {

namespace {
// Device pixels per point of the cached tab icons.
constexpr int kTabIconScale = 2;
}  // namespace

ApplicationIcons::ApplicationIcons(std::shared_ptr<ApplicationIconProvider> provider)
    : provider_(std::move(provider)) {}

QPixmap ApplicationIcons::tabIcon(ProcessID pid) {
  const std::optional<QPixmap> icon = cache_.icon(pid, [this](ProcessID owner) -> std::optional<QPixmap> {
    const QImage image = fullIcon(owner);
    if (image.isNull()) return std::nullopt;
    const int side = static_cast<int>(kTabIconSize) * kTabIconScale;
    QPixmap pixmap = QPixmap::fromImage(
        image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(kTabIconScale);
    return pixmap;
  });
  return icon.value_or(QPixmap());
}

QImage ApplicationIcons::fullIcon(ProcessID pid) {
  if (!provider_) return {};
  return provider_->applicationIcon(pid);
}

}  // namespace tessarapane::ui
