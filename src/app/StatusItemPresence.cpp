#include "app/StatusItemPresence.h"

#include <cmath>

namespace tessarapane::StatusItemPresence {

bool isParkedOffMenuBar(const Rect& windowFrame, const std::optional<Rect>& screenFrame, double menuBarHeight) {
  // The platform reads a rectangle's width, height and edges in standardized form.
  const Rect window = windowFrame.standardized();
  if (window.width() <= 1 || window.height() <= 1 || window.maxY() <= 0) return true;
  if (!screenFrame) return false;
  if (!(menuBarHeight > 0)) return false;
  const Rect screen = screenFrame->standardized();
  return std::abs(window.maxX() - screen.maxX()) < 1 && window.height() < menuBarHeight - 1;
}

}  // namespace tessarapane::StatusItemPresence
