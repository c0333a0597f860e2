#include "windows/ScreenIdentity.h"

namespace tessarapane::ScreenIdentity {

DisplayID displayID(const Screen& screen) { return screen.displayID; }

std::optional<Screen> screenForDisplayID(DisplayID id, const std::vector<Screen>& screens) {
  if (id == 0) return std::nullopt;
  for (const Screen& screen : screens) {
    if (displayID(screen) == id) return screen;
  }
  return std::nullopt;
}

std::optional<Screen> screenForDisplayID(DisplayID id, Screens& screens) {
  if (id == 0) return std::nullopt;
  return screenForDisplayID(id, screens.screens());
}

std::optional<std::size_t> preferredScreenIndex(const std::vector<Rect>& screenFrames,
                                                const std::vector<Rect>& windowFrames) {
  if (screenFrames.empty() || windowFrames.empty()) return std::nullopt;
  double bestTotal = 0.0;
  std::optional<std::size_t> bestIndex;
  for (std::size_t index = 0; index < screenFrames.size(); ++index) {
    double total = 0.0;
    for (const Rect& window : windowFrames) total += intersectionArea(window, screenFrames[index]);
    if (total > bestTotal) {
      bestTotal = total;
      bestIndex = index;
    }
  }
  if (!(bestTotal > 0.0)) return std::nullopt;
  return bestIndex;
}

Rect convertFrame(const Rect& rect, const std::vector<Screen>& screens) {
  const Rect primary = screens.empty() ? Rect(0, 0, 0, 0) : screens.front().frame;
  return Rect(rect.x(), primary.maxY() - rect.maxY(), rect.width(), rect.height());
}

Rect convertFrame(const Rect& rect, Screens& screens) { return convertFrame(rect, screens.screens()); }

}  // namespace tessarapane::ScreenIdentity
