#include "windows/WindowStacking.h"

#include <cstddef>
#include <unordered_map>

namespace tessarapane::WindowStacking {

namespace {
// A sliver of overlap (a shadow, a border) is not worth a restack.
constexpr double kMinimumCoveredFraction = 0.05;

bool coversEnough(const Rect& above, const Rect& covered, double coveredArea) {
  const Rect overlap = above.intersection(covered);
  if (overlap.isNull() || overlap.isInfinite()) return false;
  return overlap.area() / coveredArea >= kMinimumCoveredFraction;
}
}  // namespace

std::vector<ManagedWindow> coveringWindows(const ManagedWindow& keepingFront,
                                           const std::vector<ManagedWindow>& visibleWindows) {
  std::vector<ManagedWindow> covering;
  for (const ManagedWindow& window : visibleWindows) {
    if (window.ownerPID != keepingFront.ownerPID) covering.push_back(window);
  }
  return covering;
}

std::vector<ManagedWindow> windowsNeedingRestack(const ManagedWindow& keepingFront,
                                                 const std::vector<ManagedWindow>& visibleWindows,
                                                 const std::vector<StackEntry>& stack) {
  const std::vector<ManagedWindow> covering = coveringWindows(keepingFront, visibleWindows);
  if (covering.empty()) return {};

  // A window listed twice counts at its front-most position.
  std::unordered_map<WindowID, std::size_t> positions;
  for (std::size_t i = 0; i < stack.size(); ++i) positions.emplace(stack[i].windowID, i);

  std::vector<ManagedWindow> needing;
  for (const ManagedWindow& window : covering) {
    const auto found = positions.find(window.windowID);
    if (found == positions.end() || found->second == 0) continue;
    const std::size_t position = found->second;
    const Rect& frame = stack[position].frame;
    const double area = frame.area();
    if (!(area > 0)) continue;  // also skips NaN frames
    for (std::size_t above = 0; above < position; ++above) {
      const StackEntry& entry = stack[above];
      if (entry.ownerPID != keepingFront.ownerPID || entry.windowID == keepingFront.windowID) continue;
      if (coversEnough(entry.frame, frame, area)) {
        needing.push_back(window);
        break;
      }
    }
  }
  return needing;
}

}  // namespace tessarapane::WindowStacking
