#include "coordinator/LayoutSnapshot.h"

#include <algorithm>
#include <cstddef>

#include "coordinator/LayoutCoordinator.h"

namespace tessarapane {

namespace {

std::vector<WindowID> sortedKeys(std::vector<WindowID> keys) {
  std::sort(keys.begin(), keys.end());
  return keys;
}

}  // namespace

LayoutSnapshot::Window LayoutSnapshot::Window::of(const ManagedWindow& window) {
  return {window.windowID, window.ownerPID, window.title, window.appName};
}

std::string LayoutSnapshot::kindName() const {
  if (family == Family::grid) return "grid";
  return kind ? std::string(rawValue(*kind)) : std::string();
}

std::vector<WindowID> LayoutSnapshot::windowIDs() const {
  std::vector<WindowID> ids;
  for (const Pane& pane : panes) {
    for (const Window& window : pane.windows) ids.push_back(window.id);
  }
  for (const Tile& tile : tiles) ids.push_back(tile.window.id);
  return ids;
}

LayoutSnapshot LayoutCoordinator::snapshot() const {
  LayoutSnapshot result;
  if (running) running->describe(result);
  for (LayoutPause::Reason reason : kAllLayoutPauseReasons) {
    if (pausing.holds(reason)) result.pauseReasons.push_back(reason);
  }
  result.adopting = sortedKeys(adoption.windowIDs());
  result.enforcing = sortedKeys(frameEnforcement.windowIDs());
  return result;
}

}  // namespace tessarapane
