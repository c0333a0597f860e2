#include "layout/PaneState.h"

#include <utility>

#include "layout/PaneTabHistory.h"

namespace tessarapane {

PaneState PaneState::withWindows(const PaneGeometry& geometry, std::vector<ManagedWindow> windows) {
  PaneState pane{.geometry = geometry, .windows = std::move(windows), .selectedIndex = 0, .activationHistory = {}};
  if (!pane.windows.empty()) pane.activationHistory.push_back(pane.windows.front().windowID);
  return pane;
}

void PaneState::selectWindow(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= windows.size()) return;
  selectedIndex = index;
  activationHistory = PaneTabHistory::recording(windows[static_cast<std::size_t>(index)].windowID, activationHistory);
}

void PaneState::selectAfterRemoving(WindowID windowID, int index) {
  activationHistory = PaneTabHistory::removing(windowID, activationHistory);
  selectedIndex = windows.empty() ? 0 : PaneTabHistory::selectedIndex(windowIDs(), activationHistory, index);
}

std::vector<WindowID> PaneState::windowIDs() const {
  std::vector<WindowID> ids;
  ids.reserve(windows.size());
  for (const ManagedWindow& window : windows) ids.push_back(window.windowID);
  return ids;
}

}  // namespace tessarapane
