#pragma once

#include <QPixmap>

#include <memory>

#include "chrome/ApplicationIconCache.h"
#include "platform/ManagedWindow.h"
#include "ui/overlay/ApplicationIconProvider.h"

namespace tessarapane::ui {

// The icons the panels draw, shared by every panel of the process: tab icons
// come from one cache (a process's tabs share one scaled image, and a missing
// icon is asked for again next time); the grid preview asks afresh at every
// drawing, so a tile whose application has quit loses its icon.
class ApplicationIcons {
 public:
  static constexpr double kTabIconSize = 13.0;

  explicit ApplicationIcons(std::shared_ptr<ApplicationIconProvider> provider);

  // 13 x 13 points, sharp on screens of scale 1 and 2; null for none.
  QPixmap tabIcon(ProcessID pid);
  // The application's icon as the platform has it; null for none.
  QImage fullIcon(ProcessID pid);

  std::size_t cachedCount() const { return cache_.size(); }

 private:
  std::shared_ptr<ApplicationIconProvider> provider_;
  ApplicationIconCache<QPixmap> cache_;
};

}  // namespace tessarapane::ui
