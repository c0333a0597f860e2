#pragma once

#include <unordered_map>
#include <vector>

#include "geometry/Rect.h"
#include "platform/ManagedWindow.h"

namespace tessarapane::PaneReconciliation {

struct Result {
  // The pane lists after the moves, in the given pane order.
  std::vector<std::vector<WindowID>> panes;
  // Each moved window with the index of the pane that received it.
  std::unordered_map<WindowID, int> movedWindows;

  friend bool operator==(const Result&, const Result&) = default;
};

// Finds windows the user dragged into another pane and moves them there in the
// model. A window stays when its current frame is unknown, still fits its
// pane's window frame (the frame-fit tolerance), or its centre is not inside
// exactly one other pane; otherwise it leaves its pane and is appended to that
// one. Every window of the given lists is visited once, in pane and tab order.
// When the three lists differ in length, nothing changes.
Result reconcile(const std::vector<std::vector<WindowID>>& panes,
                 const std::unordered_map<WindowID, Rect>& currentFrames, const std::vector<Rect>& paneFrames,
                 const std::vector<Rect>& windowFrames);

}  // namespace tessarapane::PaneReconciliation
