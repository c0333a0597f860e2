#include "coordinator/LayoutSnapshot.h"

#include <algorithm>
#include <cstddef>

#include "bento/BentoEngine.h"
#include "coordinator/LayoutCoordinator.h"
#include "windows/ScreenIdentity.h"

namespace tessarapane {

namespace {

LayoutSnapshot::Window windowOf(const ManagedWindow& window) {
  return {window.windowID, window.ownerPID, window.title, window.appName};
}

std::vector<WindowID> sortedKeys(std::vector<WindowID> keys) {
  std::sort(keys.begin(), keys.end());
  return keys;
}

}  // namespace

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
  Screens& screens = *platform.screens;
  if (session) {
    result.family = LayoutSnapshot::Family::tabs;
    result.kind = session->kind;
    result.displayID = session->displayID;
    result.focusedPane = session->lastFocusedPaneIndex;
    for (const PaneState& pane : session->panes) {
      LayoutSnapshot::Pane shown;
      shown.windowFrame = ScreenIdentity::convertFrame(pane.geometry.windowFrame, screens);
      shown.stripFrame = pane.geometry.tabBarFrame;
      for (const ManagedWindow& window : pane.windows) shown.windows.push_back(windowOf(window));
      const bool selectable = pane.selectedIndex >= 0 && static_cast<std::size_t>(pane.selectedIndex) < pane.windows.size();
      shown.selectedIndex = selectable ? pane.selectedIndex : -1;
      result.panes.push_back(std::move(shown));
    }
  } else if (bentoSession) {
    result.family = LayoutSnapshot::Family::grid;
    result.displayID = bentoSession->displayID;
    const auto laidOut = BentoEngine::layout(bentoSession->tree, bentoSession->screen.visibleFrame, bentoSession->gap);
    for (const auto& leaf : laidOut.leaves) {
      result.tiles.push_back({windowOf(leaf.value), ScreenIdentity::convertFrame(leaf.frame, screens)});
    }
  }
  for (LayoutPause::Reason reason : kAllLayoutPauseReasons) {
    if (pause.reasons.contains(reason)) result.pauseReasons.push_back(reason);
  }
  result.adopting = sortedKeys(adoptionTasks.keys());
  result.enforcing = sortedKeys(frameEnforcementTasks.keys());
  return result;
}

}  // namespace tessarapane
