#include "layout/NewWindowPlacement.h"

#include <algorithm>

namespace tessarapane::NewWindowPlacement {

namespace {

// Area of the overlap; 0 for a null or infinite intersection, for negative
// extents and for anything not a number.
double overlapArea(const Rect& a, const Rect& b) {
  const Rect i = a.intersection(b);
  if (i.isNull() || i.isInfinite()) return 0.0;
  const double area = std::max(i.width(), 0.0) * std::max(i.height(), 0.0);
  return area > 0.0 ? area : 0.0;
}

}  // namespace

std::optional<int> paneIndex(Point point, const std::vector<Rect>& paneFrames) {
  std::optional<int> found;
  for (std::size_t i = 0; i < paneFrames.size(); ++i) {
    if (!paneFrames[i].contains(point)) continue;
    if (found) return std::nullopt;
    found = static_cast<int>(i);
  }
  return found;
}

std::optional<int> uniquelyLargestOverlapIndex(const Rect& windowFrame, const std::vector<Rect>& paneFrames) {
  if (paneFrames.empty()) return std::nullopt;
  std::vector<double> areas;
  areas.reserve(paneFrames.size());
  for (const Rect& pane : paneFrames) areas.push_back(overlapArea(windowFrame, pane));

  std::size_t best = 0;
  for (std::size_t i = 1; i < areas.size(); ++i) {
    if (areas[i] > areas[best]) best = i;
  }
  if (!(areas[best] > 0.0)) return std::nullopt;
  if (std::count(areas.begin(), areas.end(), areas[best]) > 1) return std::nullopt;
  return static_cast<int>(best);
}

std::optional<int> focusedOrLeastFull(int lastFocusedPaneIndex, const std::vector<std::size_t>& paneCounts) {
  if (paneCounts.empty()) return std::nullopt;
  if (lastFocusedPaneIndex >= 0 && static_cast<std::size_t>(lastFocusedPaneIndex) < paneCounts.size()) {
    return lastFocusedPaneIndex;
  }
  return static_cast<int>(std::min_element(paneCounts.begin(), paneCounts.end()) - paneCounts.begin());
}

}  // namespace tessarapane::NewWindowPlacement
