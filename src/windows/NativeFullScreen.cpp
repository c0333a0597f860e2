#include "windows/NativeFullScreen.h"

#include <algorithm>
#include <cstddef>

namespace tessarapane::NativeFullScreen {

namespace {
// A full-screen window may sit a little below the display's top edge (a
// hidden menu bar's strip) and be a little smaller than the display.
constexpr double kTopEdgeAllowance = 8.0;
constexpr double kMinimumCover = 0.96;
constexpr double kMinimumSimilarity = 0.96;
}  // namespace

std::vector<Rect> displayBounds(WindowServer& windowServer) {
  if (windowServer.marksFullScreenWindows()) return {};
  const ActiveDisplayList counted = windowServer.activeDisplayList(0);
  if (counted.error != 0 || counted.count == 0) return {};
  const ActiveDisplayList listed = windowServer.activeDisplayList(counted.count);
  if (listed.error != 0) return {};
  // Never trust a count beyond the identifiers actually handed back.
  const std::size_t usable =
      std::min({static_cast<std::size_t>(counted.count), static_cast<std::size_t>(listed.count),
                listed.displays.size()});
  std::vector<Rect> bounds;
  bounds.reserve(usable);
  for (std::size_t i = 0; i < usable; ++i) bounds.push_back(windowServer.displayBounds(listed.displays[i]));
  return bounds;
}

bool coversDisplay(const Rect& frame, const std::vector<Rect>& displays) {
  const double windowArea = frame.width() * frame.height();
  if (!(windowArea > 0)) return false;  // also rejects NaN
  for (const Rect& display : displays) {
    const double displayArea = display.width() * display.height();
    if (!(displayArea > 0)) continue;
    if (!(frame.minY() <= display.minY() + kTopEdgeAllowance)) continue;
    const Rect overlap = frame.intersection(display);
    if (overlap.isNull() || overlap.isInfinite()) continue;
    const double cover = overlap.area() / displayArea;
    const double similarity = std::min(windowArea, displayArea) / std::max(windowArea, displayArea);
    if (similarity >= kMinimumSimilarity && cover >= kMinimumCover) return true;
  }
  return false;
}

}  // namespace tessarapane::NativeFullScreen
