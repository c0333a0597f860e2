#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "geometry/Point.h"
#include "geometry/Rect.h"

namespace tessarapane::NewWindowPlacement {

// The one pane rectangle containing `point` (points on a rectangle's maximum-x
// and maximum-y edges are outside it); none when no pane or several do.
std::optional<int> paneIndex(Point point, const std::vector<Rect>& paneFrames);

// The pane whose intersection with `windowFrame` has the largest positive area,
// when no other pane has exactly that area.
std::optional<int> uniquelyLargestOverlapIndex(const Rect& windowFrame, const std::vector<Rect>& paneFrames);

// The last focused pane when it is a valid index, however full; otherwise the
// pane with the fewest windows, the lowest index on equal counts.
std::optional<int> focusedOrLeastFull(int lastFocusedPaneIndex, const std::vector<std::size_t>& paneCounts);

}  // namespace tessarapane::NewWindowPlacement
