#include "permission/PermissionHelperPlacement.h"

#include <algorithm>

namespace tessarapane::PermissionHelperPlacement {

namespace {
constexpr double kMaxSidebarWidth = 232;
constexpr double kContentMargin = 24;  // 12 on each side of the pill
constexpr double kBottomOffset = 8;
}  // namespace

Rect frame(Size panelSize, const Rect& settingsFrame, const Rect& visibleFrame) {
  const Rect settings = settingsFrame.standardized();
  const Rect visible = visibleFrame.standardized();

  const double sidebar = std::min(settings.width() / 3, kMaxSidebarWidth);
  const double contentMinX = settings.minX() + sidebar;
  const double contentWidth = settings.width() - sidebar;
  // A settings window too narrow for the margins would give a negative width.
  const double width = std::max(0.0, std::min(panelSize.width, contentWidth - kContentMargin));
  const double height = panelSize.height;

  double x = contentMinX + contentWidth / 2 - width / 2;
  double y = settings.minY() + kBottomOffset;
  x = std::min(std::max(x, visible.minX()), visible.maxX() - width);
  y = std::min(std::max(y, visible.minY()), visible.maxY() - height);
  return Rect(x, y, width, height);
}

}  // namespace tessarapane::PermissionHelperPlacement
