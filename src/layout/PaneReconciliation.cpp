#include "layout/PaneReconciliation.h"

#include <algorithm>
#include <optional>

#include "layout/NewWindowPlacement.h"
#include "layout/PaneFrameFit.h"

namespace tessarapane::PaneReconciliation {

Result reconcile(const std::vector<std::vector<WindowID>>& panes,
                 const std::unordered_map<WindowID, Rect>& currentFrames, const std::vector<Rect>& paneFrames,
                 const std::vector<Rect>& windowFrames) {
  Result result{.panes = panes, .movedWindows = {}};
  if (panes.size() != paneFrames.size() || panes.size() != windowFrames.size()) return result;

  for (std::size_t source = 0; source < panes.size(); ++source) {
    for (WindowID id : panes[source]) {
      const auto current = currentFrames.find(id);
      if (current == currentFrames.end()) continue;
      // Only a duplicated number can have left this pane already; move it once.
      std::vector<WindowID>& sourceList = result.panes[source];
      if (std::find(sourceList.begin(), sourceList.end(), id) == sourceList.end()) continue;
      const Rect& frame = current->second;
      if (PaneFrameFit::matches(frame, windowFrames[source])) continue;

      const std::optional<int> destination =
          NewWindowPlacement::paneIndex(Point{frame.midX(), frame.midY()}, paneFrames);
      if (!destination || static_cast<std::size_t>(*destination) == source) continue;

      std::erase(sourceList, id);
      result.panes[static_cast<std::size_t>(*destination)].push_back(id);
      result.movedWindows[id] = *destination;
    }
  }
  return result;
}

}  // namespace tessarapane::PaneReconciliation
