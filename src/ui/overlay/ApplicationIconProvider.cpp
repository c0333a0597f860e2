#include "ui/overlay/ApplicationIconProvider.h"

#include <QIcon>

#include <utility>

#include "ui/services/QtConversions.h"

namespace tessarapane::ui {

namespace {
// The size a themed icon is rendered at before panels scale it down.
constexpr int kThemeIconSize = 128;
}  // namespace

QImage imageFromPixels(const ApplicationIcon& icon) {
  if (icon.width <= 0 || icon.height <= 0) return {};
  const auto count = static_cast<std::size_t>(icon.width) * static_cast<std::size_t>(icon.height);
  if (icon.argb.size() < count) return {};
  QImage image(icon.width, icon.height, QImage::Format_ARGB32);
  for (int y = 0; y < icon.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < icon.width; ++x) {
      line[x] = icon.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(icon.width) +
                          static_cast<std::size_t>(x)];
    }
  }
  return image;
}

WorkspaceIconProvider::WorkspaceIconProvider(std::shared_ptr<Workspace> workspace, ThemeIconName themeIconName)
    : workspace_(std::move(workspace)), themeIconName_(std::move(themeIconName)) {}

QImage WorkspaceIconProvider::applicationIcon(ProcessID pid) {
  if (!workspace_) return {};
  const std::optional<RunningApplication> application = workspace_->runningApplication(pid);
  if (!application) return {};
  if (application->icon) {
    QImage image = imageFromPixels(*application->icon);
    if (!image.isNull()) return image;
  }
  if (themeIconName_) {
    if (const std::optional<std::string> name = themeIconName_(pid)) {
      const QIcon themed = QIcon::fromTheme(toQString(*name));
      if (!themed.isNull()) return themed.pixmap(kThemeIconSize, kThemeIconSize).toImage();
    }
  }
  return {};
}

}  // namespace tessarapane::ui
