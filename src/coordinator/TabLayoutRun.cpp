// A running tab layout: the tab operations, the strips, and keeping the
// panes in step with the live windows (adopting, dropping closed and
// full-screen windows, following the focus, fitting to the display).
#include "coordinator/TabLayoutRun.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <unordered_set>
#include <utility>

#include "bento/WhitespaceTrim.h"
#include "coordinator/LayoutCoordinator.h"
#include "layout/LayoutEngine.h"
#include "layout/NewWindowPlacement.h"
#include "layout/PaneFrameFit.h"
#include "layout/PaneMove.h"
#include "layout/PaneReconciliation.h"
#include "layout/PaneTabHistory.h"
#include "layout/TabFocus.h"
#include "windows/AXHelpers.h"
#include "windows/ScreenIdentity.h"

namespace tessarapane {

namespace {

bool validPane(const LayoutSession& session, int pane) {
  return pane >= 0 && static_cast<std::size_t>(pane) < session.panes.size();
}

bool validTab(const PaneState& pane, int tab) {
  return tab >= 0 && static_cast<std::size_t>(tab) < pane.windows.size();
}

bool hasValidSelection(const PaneState& pane) { return validTab(pane, pane.selectedIndex); }

const ManagedWindow* selectedWindow(const PaneState& pane) {
  return validTab(pane, pane.selectedIndex) ? &pane.windows[static_cast<std::size_t>(pane.selectedIndex)] : nullptr;
}

bool sameWindow(const ManagedWindow& a, const ManagedWindow& b) {
  return a.windowID == b.windowID || (a.ownerPID == b.ownerPID && a.element == b.element);
}

bool withinTolerance(const Rect& a, const Rect& b, double tolerance) {
  return std::abs(a.x() - b.x()) <= tolerance && std::abs(a.y() - b.y()) <= tolerance &&
         std::abs(a.width() - b.width()) <= tolerance && std::abs(a.height() - b.height()) <= tolerance;
}

PaneTabPresentation presentation(const ManagedWindow& window) {
  std::string title = trimmingWhitespaceAndNewlines(window.title);
  if (title.empty()) title = trimmingWhitespaceAndNewlines(window.appName);
  return PaneTabPresentation{std::move(title), window.ownerPID};
}

// The pane after some of its windows left: the kept windows in order, the
// history without the removed ones, and the selection kept when its window
// stayed, otherwise chosen by the history. True when the selected window was
// among the removed.
bool dropWindows(PaneState& pane, const std::unordered_set<WindowID>& removed) {
  const int oldSelection = pane.selectedIndex;
  const std::optional<WindowID> selectedID =
      validTab(pane, oldSelection)
          ? std::optional<WindowID>(pane.windows[static_cast<std::size_t>(oldSelection)].windowID)
          : std::nullopt;
  std::erase_if(pane.windows, [&](const ManagedWindow& window) { return removed.count(window.windowID) != 0; });
  std::erase_if(pane.activationHistory, [&](WindowID id) { return removed.count(id) != 0; });
  if (selectedID && removed.count(*selectedID) == 0) {
    const auto found = std::find_if(pane.windows.begin(), pane.windows.end(),
                                    [&](const ManagedWindow& window) { return window.windowID == *selectedID; });
    pane.selectedIndex = static_cast<int>(found - pane.windows.begin());
    return false;
  }
  pane.selectedIndex = PaneTabHistory::selectedIndex(pane.windowIDs(), pane.activationHistory, oldSelection);
  return true;
}

}  // namespace

TabLayoutRun::TabLayoutRun(LayoutCoordinator& coordinator, std::shared_ptr<LayoutSession> session)
    : RunningLayout(coordinator), session_(std::move(session)), startedKind_(session_->kind) {}

void TabLayoutRun::installChrome() {
  for (std::size_t pane = 0; pane < session_->panes.size(); ++pane) {
    if (!session_->panes[pane].windows.empty()) createOrUpdateTabBar(static_cast<int>(pane), true);
  }
}

void TabLayoutRun::focusChanged() {
  releaseNativeFullScreenWindows();
  if (isCurrent()) synchronizeTabSelectionWithSystemFocus();
}

void TabLayoutRun::dropClosedWindows() { removeClosedWindows(); }

bool TabLayoutRun::enforceFrame(WindowID windowID) {
  for (const PaneState& pane : session_->panes) {
    for (const ManagedWindow& window : pane.windows) {
      if (window.windowID != windowID) continue;
      if (coordinator_.isExemptFromEnforcement(window)) return true;
      const Rect target = coordinator_.convertFrame(pane.geometry.windowFrame);
      coordinator_.windowController.setAccessibilityFrame(target, window);
      const std::optional<Rect> actual = coordinator_.liveFrame(window);
      return actual && PaneFrameFit::matches(*actual, target);
    }
  }
  return true;
}

void TabLayoutRun::bringChromeToFront() {
  for (const auto& panel : session_->panels) {
    if (panel) panel->orderFrontRegardless();
  }
}

void TabLayoutRun::exit(bool restoringFrames) {
  for (auto& panel : session_->panels) {
    if (!panel) continue;
    panel->orderOut();
    panel->close();
  }
  if (restoringFrames) coordinator_.restoreOriginalFrames(session_->originalFrames, session_->allWindows());
}

std::vector<ManagedWindow> TabLayoutRun::visibleWindows() const {
  std::vector<ManagedWindow> visible;
  for (const PaneState& pane : session_->panes) {
    if (validTab(pane, pane.selectedIndex))
      visible.push_back(pane.windows[static_cast<std::size_t>(pane.selectedIndex)]);
  }
  return visible;
}

void TabLayoutRun::describe(LayoutSnapshot& snapshot) const {
  Screens& screens = *coordinator_.platform.screens;
  snapshot.family = LayoutSnapshot::Family::tabs;
  snapshot.kind = session_->kind;
  snapshot.displayID = session_->displayID;
  snapshot.focusedPane = session_->lastFocusedPaneIndex;
  for (const PaneState& pane : session_->panes) {
    LayoutSnapshot::Pane shown;
    shown.windowFrame = ScreenIdentity::convertFrame(pane.geometry.windowFrame, screens);
    shown.stripFrame = pane.geometry.tabBarFrame;
    for (const ManagedWindow& window : pane.windows) shown.windows.push_back(LayoutSnapshot::Window::of(window));
    shown.selectedIndex = hasValidSelection(pane) ? pane.selectedIndex : -1;
    snapshot.panes.push_back(std::move(shown));
  }
}

void TabLayoutRun::applyInitialFrames() {
  // Every move leaves before the first raise: the window manager carries
  // them out while the raises are being asked for, and no pane waits for
  // the one before it.
  for (const PaneState& pane : session_->panes) {
    const Rect frame = coordinator_.convertFrame(pane.geometry.windowFrame);
    for (const ManagedWindow& window : pane.windows) {
      const std::optional<Rect> current = coordinator_.liveFrame(window);
      if (current && withinTolerance(*current, frame, coordinator_.kFrameSkipTolerance)) continue;
      coordinator_.windowController.setAccessibilityFrame(frame, window);
    }
  }
  std::optional<int> frontPane;
  for (std::size_t index = 0; index < session_->panes.size(); ++index) {
    const PaneState& pane = session_->panes[index];
    if (pane.windows.empty()) continue;
    if (hasValidSelection(pane)) {
      coordinator_.windowController.raise(pane.windows[static_cast<std::size_t>(pane.selectedIndex)],
                                          coordinator_.windowController.onScreenWindowIDs());
      session_->lastFocusedPaneIndex = static_cast<int>(index);
      frontPane = static_cast<int>(index);
    }
  }
  if (!frontPane) return;
  const PaneState& pane = session_->panes[static_cast<std::size_t>(*frontPane)];
  coordinator_.restackVisibleWindows(pane.windows[static_cast<std::size_t>(pane.selectedIndex)], false, true);
}

void TabLayoutRun::refresh(bool discoverNewWindows) {
  if (!isCurrent()) return;
  releaseNativeFullScreenWindows();
  if (!isCurrent()) return;
  removeClosedWindows();
  synchronizeTabSelectionWithSystemFocus();
  if (!discoverNewWindows || !isCurrent()) return;
  const std::vector<ManagedWindow> candidates =
      coordinator_.unmanagedWindows(coordinator_.windowIndexer.currentSpaceWindows(), session_->allWindows());
  for (const ManagedWindow& window : candidates) {
    if (coordinator_.adoption.contains(window.windowID) || coordinator_.frameEnforcement.contains(window.windowID))
      continue;
    coordinator_.scheduleSettledAdoption(window);
  }
}

void TabLayoutRun::adopt(const ManagedWindow& window) {
  if (!isCurrent()) return;
  if (coordinator_.isInNativeFullScreen(window) || coordinator_.isGone(window)) return;
  if (const std::optional<WindowIDSet> onScreen = coordinator_.windowController.onScreenWindowIDs();
      onScreen && onScreen->count(window.windowID) == 0) {
    return;
  }
  for (const PaneState& pane : session_->panes) {
    for (const ManagedWindow& managed : pane.windows) {
      if (sameWindow(managed, window)) return;
    }
  }

  const Rect frameBefore = coordinator_.liveFrame(window).value_or(window.frame);
  const Rect rect = coordinator_.convertFrame(frameBefore);
  std::vector<Rect> paneFrames;
  std::vector<std::size_t> paneCounts;
  for (const PaneState& pane : session_->panes) {
    paneFrames.push_back(pane.geometry.paneFrame);
    paneCounts.push_back(pane.windows.size());
  }
  std::optional<int> chosen = NewWindowPlacement::paneIndex(Point{rect.midX(), rect.midY()}, paneFrames);
  if (!chosen) chosen = NewWindowPlacement::uniquelyLargestOverlapIndex(rect, paneFrames);
  if (!chosen) chosen = NewWindowPlacement::focusedOrLeastFull(session_->lastFocusedPaneIndex, paneCounts);
  if (!chosen || *chosen < 0 || static_cast<std::size_t>(*chosen) >= session_->panes.size()) return;
  const int paneIndex = *chosen;

  session_->originalFrames[window.windowID] = frameBefore;
  session_->autoJoinedWindowIDs.insert(window.windowID);
  PaneState& pane = session_->panes[static_cast<std::size_t>(paneIndex)];
  pane.windows.push_back(window);
  pane.selectWindow(static_cast<int>(pane.windows.size()) - 1);
  const Rect windowFrame = pane.geometry.windowFrame;

  coordinator_.windowController.setAppKitFrameIfNeeded(windowFrame, window);
  coordinator_.windowController.raise(window, coordinator_.windowController.onScreenWindowIDs());
  coordinator_.restackVisibleWindows(window, true, false);

  session_->lastFocusedPaneIndex = paneIndex;
  createOrUpdateTabBar(paneIndex, true);
  coordinator_.scheduleFrameEnforcement(window.windowID);
}

void TabLayoutRun::removeClosedWindows() {
  if (!isCurrent()) return;
  coordinator_.markWindowsClosedOutsideTessarapane(session_->allWindows());

  std::unordered_set<WindowID> removed;
  for (const PaneState& pane : session_->panes) {
    for (const ManagedWindow& window : pane.windows) {
      if (coordinator_.isGone(window) || coordinator_.closing.isDestroyed(window.windowID))
        removed.insert(window.windowID);
    }
  }
  if (removed.empty()) return;

  for (WindowID id : removed) {
    session_->autoJoinedWindowIDs.erase(id);
    coordinator_.closing.forget(id);
    coordinator_.frameEnforcement.cancel(id);
    session_->originalFrames.erase(id);
  }

  for (std::size_t index = 0; index < session_->panes.size(); ++index) {
    if (!isCurrent()) return;
    PaneState& pane = session_->panes[index];
    const bool changed = std::any_of(pane.windows.begin(), pane.windows.end(),
                                     [&](const ManagedWindow& window) { return removed.count(window.windowID) != 0; });
    if (!changed) continue;
    const bool selectionLost = dropWindows(pane, removed);
    if (selectionLost && validTab(pane, pane.selectedIndex)) {
      const ManagedWindow shown = pane.windows[static_cast<std::size_t>(pane.selectedIndex)];
      coordinator_.windowController.setAppKitFrameIfNeeded(pane.geometry.windowFrame, shown);
      coordinator_.windowController.raise(shown, coordinator_.windowController.onScreenWindowIDs());
      coordinator_.restackVisibleWindows(shown, true, false);
    }
    createOrUpdateTabBar(static_cast<int>(index), true);
  }
}

void TabLayoutRun::releaseNativeFullScreenWindows() {
  if (!isCurrent()) return;
  const std::vector<Rect> displays = coordinator_.displayRects();
  std::vector<ManagedWindow> released;
  for (const ManagedWindow& window : session_->allWindows()) {
    if (coordinator_.isInNativeFullScreen(window, displays)) released.push_back(window);
  }
  if (released.empty()) return;

  coordinator_.forgetReleasedWindows(released, session_->originalFrames);
  std::unordered_set<WindowID> releasedIDs;
  for (const ManagedWindow& window : released) {
    releasedIDs.insert(window.windowID);
    session_->autoJoinedWindowIDs.erase(window.windowID);
  }
  for (std::size_t index = 0; index < session_->panes.size(); ++index) {
    PaneState& pane = session_->panes[index];
    const bool held = std::any_of(pane.windows.begin(), pane.windows.end(),
                                  [&](const ManagedWindow& window) { return releasedIDs.count(window.windowID) != 0; });
    if (!held) continue;
    dropWindows(pane, releasedIDs);
    createOrUpdateTabBar(static_cast<int>(index), false);
  }
  const bool allEmpty = std::all_of(session_->panes.begin(), session_->panes.end(),
                                    [](const PaneState& pane) { return pane.windows.empty(); });
  if (allEmpty) coordinator_.exitLayout(false);
}

void TabLayoutRun::relayout() {
  // The user may be dragging a window.
  if (coordinator_.isPrimaryMouseButtonDown()) return;
  if (const std::optional<Screen> screen =
          coordinator_.resolveLayoutScreen(session_->displayID, session_->allWindows())) {
    session_->screen = *screen;
  }
  session_->displayID = session_->screen.displayID;
  const Rect visible = session_->screen.visibleFrame;
  if (!(visible.width() > 1.0) || !(visible.height() > 1.0)) return;
  const std::vector<PaneGeometry> geometries =
      LayoutEngine::geometries(session_->kind, visible, LayoutEngine::kTabBarHeight * session_->screen.scale);
  if (geometries.size() != session_->panes.size()) return;

  const std::vector<Rect> displays = coordinator_.displayRects();
  for (std::size_t index = 0; index < session_->panes.size(); ++index) {
    session_->panes[index].geometry = geometries[index];
    const Rect frame = coordinator_.convertFrame(geometries[index].windowFrame);
    for (const ManagedWindow& window : session_->panes[index].windows) {
      if (coordinator_.isGone(window) || coordinator_.isInNativeFullScreen(window, displays)) continue;
      const std::optional<Rect> current = coordinator_.liveFrame(window);
      if (current && withinTolerance(*current, frame, coordinator_.kFrameSkipTolerance)) continue;
      coordinator_.windowController.setAccessibilityFrame(frame, window);
    }
    createOrUpdateTabBar(static_cast<int>(index), true);
  }
  for (const ManagedWindow& window : session_->allWindows()) coordinator_.scheduleFrameEnforcement(window.windowID);
}

void TabLayoutRun::refreshTitles() {
  Accessibility& ax = *coordinator_.platform.accessibility;
  for (std::size_t index = 0; index < session_->panes.size(); ++index) {
    bool changed = false;
    for (ManagedWindow& window : session_->panes[index].windows) {
      const std::optional<std::string> title = AXHelpers::string(ax, "AXTitle", window.element);
      if (title && *title != window.title) {
        window.title = *title;
        changed = true;
      }
    }
    if (changed) createOrUpdateTabBar(static_cast<int>(index), false);
  }
}

void TabLayoutRun::reconcile() {
  if (!isCurrent()) return;
  releaseNativeFullScreenWindows();
  if (!isCurrent()) return;
  removeClosedWindows();
  if (!isCurrent()) return;

  const Screen screen = resolvedScreen();
  const std::vector<PaneGeometry> geometries =
      LayoutEngine::geometries(session_->kind, screen.visibleFrame, LayoutEngine::kTabBarHeight * screen.scale);
  if (geometries.size() == session_->panes.size()) {
    for (std::size_t index = 0; index < geometries.size(); ++index) session_->panes[index].geometry = geometries[index];
  }

  // Where the user has put each window, in toolkit space.
  Accessibility& ax = *coordinator_.platform.accessibility;
  std::unordered_map<WindowID, Rect> currentFrames;
  std::unordered_map<WindowID, ManagedWindow> byID;
  std::vector<std::vector<WindowID>> paneIDs;
  std::vector<Rect> paneFrames;
  std::vector<Rect> windowFrames;
  for (const PaneState& pane : session_->panes) {
    paneIDs.push_back(pane.windowIDs());
    paneFrames.push_back(pane.geometry.paneFrame);
    windowFrames.push_back(pane.geometry.windowFrame);
    for (const ManagedWindow& window : pane.windows) {
      byID.emplace(window.windowID, window);
      if (AXHelpers::boolean(ax, "AXMinimized", window.element) == true) continue;
      if (const std::optional<Rect> frame = coordinator_.liveFrame(window))
        currentFrames[window.windowID] = coordinator_.convertFrame(*frame);
    }
  }
  const PaneReconciliation::Result result =
      PaneReconciliation::reconcile(paneIDs, currentFrames, paneFrames, windowFrames);
  if (!result.movedWindows.empty() && result.panes.size() == session_->panes.size()) {
    std::unordered_set<WindowID> moved;
    for (const auto& entry : result.movedWindows) moved.insert(entry.first);
    for (std::size_t index = 0; index < session_->panes.size(); ++index) {
      PaneState& pane = session_->panes[index];
      // A pane that lost windows selects as after a removal; the windows
      // that stay keep their order.
      dropWindows(pane, moved);
      const std::optional<WindowID> selected =
          validTab(pane, pane.selectedIndex)
              ? std::optional<WindowID>(pane.windows[static_cast<std::size_t>(pane.selectedIndex)].windowID)
              : std::nullopt;
      pane.windows.clear();
      std::optional<int> received;
      for (WindowID id : result.panes[index]) {
        pane.windows.push_back(byID.at(id));
        if (moved.count(id) != 0) received = static_cast<int>(pane.windows.size()) - 1;
        if (selected == id) pane.selectedIndex = static_cast<int>(pane.windows.size()) - 1;
      }
      // A window dragged here becomes this pane's selected tab.
      if (received) pane.selectWindow(*received);
    }
  }

  for (const PaneState& pane : session_->panes) {
    const Rect frame = coordinator_.convertFrame(pane.geometry.windowFrame);
    for (const ManagedWindow& window : pane.windows) {
      const std::optional<Rect> current = coordinator_.liveFrame(window);
      if (current && PaneFrameFit::matches(*current, frame)) continue;
      coordinator_.windowController.setAccessibilityFrame(frame, window);
      coordinator_.scheduleFrameEnforcement(window.windowID);
    }
  }

  const std::optional<WindowIDSet> onScreen = coordinator_.windowController.onScreenWindowIDs();
  int focusPane = 0;
  const auto nonEmpty = [&](int index) {
    return index >= 0 && static_cast<std::size_t>(index) < session_->panes.size() &&
           !session_->panes[static_cast<std::size_t>(index)].windows.empty();
  };
  if (nonEmpty(session_->lastFocusedPaneIndex)) {
    focusPane = session_->lastFocusedPaneIndex;
  } else {
    for (std::size_t index = 0; index < session_->panes.size(); ++index) {
      if (nonEmpty(static_cast<int>(index))) {
        focusPane = static_cast<int>(index);
        break;
      }
    }
  }
  const auto raiseSelected = [&](std::size_t index) {
    const PaneState& pane = session_->panes[index];
    if (!validTab(pane, pane.selectedIndex)) return;
    const ManagedWindow& window = pane.windows[static_cast<std::size_t>(pane.selectedIndex)];
    if (onScreen && onScreen->count(window.windowID) == 0) return;
    coordinator_.windowController.raise(window, onScreen);
  };
  for (std::size_t index = 0; index < session_->panes.size(); ++index) {
    if (static_cast<int>(index) != focusPane) raiseSelected(index);
  }
  if (static_cast<std::size_t>(focusPane) < session_->panes.size()) raiseSelected(static_cast<std::size_t>(focusPane));

  for (std::size_t index = 0; index < session_->panes.size(); ++index) {
    createOrUpdateTabBar(static_cast<int>(index), true);
  }

  const std::vector<ManagedWindow> fresh =
      coordinator_.unmanagedWindows(coordinator_.windowIndexer.currentSpaceWindows(), session_->allWindows());
  for (const ManagedWindow& window : fresh) {
    if (!isCurrent()) return;
    coordinator_.adoption.cancel(window.windowID);
    adopt(window);
  }
}

void TabLayoutRun::selectTab(int tabIndex, int paneIndex) {
  const std::shared_ptr<LayoutSession> current = session_;
  if (!validPane(*current, paneIndex)) return;
  PaneState& pane = current->panes[static_cast<std::size_t>(paneIndex)];
  if (!validTab(pane, tabIndex)) return;
  const ManagedWindow window = pane.windows[static_cast<std::size_t>(tabIndex)];
  const Rect windowFrame = pane.geometry.windowFrame;

  const std::optional<WindowIDSet> onScreen = coordinator_.windowController.onScreenWindowIDs();
  const bool gone = coordinator_.isGone(window) || (onScreen && onScreen->count(window.windowID) == 0);
  if (gone) {
    removeClosedWindows();
    return;
  }
  coordinator_.windowController.setAppKitFrameIfNeeded(windowFrame, window);
  if (coordinator_.windowController.raise(window, coordinator_.windowController.onScreenWindowIDs())) {
    coordinator_.restackVisibleWindows(window, false, true);
    // The restack may have ended the layout; the pane is looked up again.
    if (!isCurrent() || !validPane(*current, paneIndex)) return;
    current->autoJoinedWindowIDs.erase(window.windowID);
    current->panes[static_cast<std::size_t>(paneIndex)].selectWindow(tabIndex);
    current->lastFocusedPaneIndex = paneIndex;
  }
  createOrUpdateTabBar(paneIndex, true);
}

void TabLayoutRun::moveTab(int tabIndex, int paneIndex, PaneMoveDirection direction) {
  const std::shared_ptr<LayoutSession> current = session_;
  if (current->kind == LayoutKind::fullScreen) {
    expandFullScreenToSplit2(tabIndex, paneIndex, direction);
    return;
  }
  if (const std::optional<int> destination = PaneMove::destinationPaneIndex(paneIndex, direction, current->kind)) {
    moveTab(tabIndex, paneIndex, *destination);
  }
}

void TabLayoutRun::moveFocusedTab(PaneMoveDirection direction) {
  const std::shared_ptr<LayoutSession> current = session_;
  const std::optional<ManagedWindow> focused =
      coordinator_.windowController.focusedManagedWindow(current->allWindows());
  const std::optional<TabFocus::Target> target =
      TabFocus::moveTarget(current->panes, focused, current->lastFocusedPaneIndex);
  if (!target) return;
  current->lastFocusedPaneIndex = target->paneIndex;
  moveTab(target->tabIndex, target->paneIndex, direction);
}

void TabLayoutRun::moveTab(int tabIndex, int fromPane, int toPane) {
  if (!isCurrent()) return;
  if (!validPane(*session_, fromPane) || !validPane(*session_, toPane) || fromPane == toPane) return;
  PaneState source = session_->panes[static_cast<std::size_t>(fromPane)];
  if (!validTab(source, tabIndex)) return;
  PaneState destination = session_->panes[static_cast<std::size_t>(toPane)];
  const ManagedWindow moving = source.windows[static_cast<std::size_t>(tabIndex)];

  const bool wasAutoJoined = session_->autoJoinedWindowIDs.erase(moving.windowID) != 0;

  source.windows.erase(source.windows.begin() + tabIndex);
  source.selectAfterRemoving(moving.windowID, tabIndex);
  destination.windows.push_back(moving);
  destination.selectedIndex = static_cast<int>(destination.windows.size()) - 1;
  destination.activationHistory = PaneTabHistory::recording(moving.windowID, destination.activationHistory);
  session_->panes[static_cast<std::size_t>(fromPane)] = source;
  session_->panes[static_cast<std::size_t>(toPane)] = destination;

  createOrUpdateTabBar(fromPane, true);
  createOrUpdateTabBar(toPane, true);

  coordinator_.windowController.setAppKitFrameIfNeeded(destination.geometry.windowFrame, moving);
  coordinator_.scheduleFrameEnforcement(moving.windowID);

  const ManagedWindow* remainingSelected = selectedWindow(source);
  std::optional<ManagedWindow> stayed;
  if (remainingSelected) {
    stayed = *remainingSelected;
    coordinator_.windowController.setAppKitFrameIfNeeded(source.geometry.windowFrame, *stayed);
  }

  if (!wasAutoJoined) {
    if (stayed) coordinator_.windowController.raise(*stayed, coordinator_.windowController.onScreenWindowIDs());
    session_->lastFocusedPaneIndex = toPane;
    coordinator_.windowController.raise(moving, coordinator_.windowController.onScreenWindowIDs());
    coordinator_.restackVisibleWindows(moving, false, true);
  } else if (stayed) {
    // A window that joined on its own and is sent elsewhere does not take
    // the user's focus away from the pane they were in.
    coordinator_.windowController.raise(moving, coordinator_.windowController.onScreenWindowIDs());
    session_->lastFocusedPaneIndex = fromPane;
    coordinator_.windowController.raise(*stayed, coordinator_.windowController.onScreenWindowIDs());
    coordinator_.restackVisibleWindows(*stayed, false, true);
  } else {
    session_->lastFocusedPaneIndex = toPane;
    coordinator_.windowController.raise(moving, coordinator_.windowController.onScreenWindowIDs());
    coordinator_.restackVisibleWindows(moving, false, true);
  }
}

void TabLayoutRun::expandFullScreenToSplit2(int movingTab, int paneIndex, PaneMoveDirection direction) {
  if (!isCurrent() || paneIndex != 0 || session_->panes.empty()) return;
  const PaneState& pane = session_->panes.front();
  const std::optional<PaneMove::FullScreenSplit> split =
      PaneMove::expandFullScreenToSplit2(pane.windows, movingTab, direction);
  if (!split || split->windowsByPane.size() != 2) return;
  const ManagedWindow moving = pane.windows[static_cast<std::size_t>(movingTab)];

  const std::vector<WindowID> remainingHistory = PaneTabHistory::removing(moving.windowID, pane.activationHistory);
  const int focused = split->focusedPaneIndex;
  const int other = 1 - focused;
  const std::vector<ManagedWindow>& remaining = split->windowsByPane[static_cast<std::size_t>(other)];
  std::vector<WindowID> remainingIDs;
  for (const ManagedWindow& window : remaining) remainingIDs.push_back(window.windowID);
  const int remainingSelection = PaneTabHistory::selectedIndex(remainingIDs, remainingHistory, movingTab);

  const Screen screen = resolvedScreen();
  const std::vector<PaneGeometry> geometries =
      LayoutEngine::geometries(LayoutKind::split2, screen.visibleFrame, LayoutEngine::kTabBarHeight * screen.scale);
  if (geometries.size() != 2) return;

  for (auto& panel : session_->panels) {
    if (!panel) continue;
    panel->orderOut();
    panel->close();
  }

  std::vector<PaneState> panes(2);
  panes[static_cast<std::size_t>(focused)] =
      PaneState{geometries[static_cast<std::size_t>(focused)], {moving}, 0, {moving.windowID}};
  panes[static_cast<std::size_t>(other)] =
      PaneState{geometries[static_cast<std::size_t>(other)], remaining, remainingSelection, remainingHistory};
  session_->kind = LayoutKind::split2;
  session_->panes = std::move(panes);
  session_->panels.assign(2, nullptr);
  session_->lastFocusedPaneIndex = focused;

  applyInitialFrames();
  if (!isCurrent()) return;
  // Placing the panes points the focus hint at the last pane placed; the
  // user is working with the tab that moved.
  session_->lastFocusedPaneIndex = focused;
  if (const ManagedWindow* front = selectedWindow(session_->panes[static_cast<std::size_t>(focused)])) {
    const ManagedWindow window = *front;
    coordinator_.windowController.raise(window, coordinator_.windowController.onScreenWindowIDs());
    coordinator_.restackVisibleWindows(window, true, false);
  }
  for (std::size_t index = 0; index < session_->panes.size(); ++index) {
    if (!session_->panes[index].windows.empty()) createOrUpdateTabBar(static_cast<int>(index), true);
  }
  for (const ManagedWindow& window : session_->allWindows()) coordinator_.scheduleFrameEnforcement(window.windowID);
}

void TabLayoutRun::createOrUpdateTabBar(int paneIndex, bool bringToFront) {
  if (!validPane(*session_, paneIndex)) return;
  const std::size_t index = static_cast<std::size_t>(paneIndex);
  const PaneState& pane = session_->panes[index];
  std::shared_ptr<PaneTabBarPanel>& panel = session_->panels[index];
  if (pane.windows.empty()) {
    if (const auto dropped = std::exchange(panel, nullptr)) {
      dropped->orderOut();
      dropped->close();
    }
    return;
  }
  std::vector<PaneTabPresentation> tabs;
  tabs.reserve(pane.windows.size());
  for (const ManagedWindow& window : pane.windows) tabs.push_back(presentation(window));

  if (!panel) {
    std::weak_ptr<LayoutCoordinator> weak = coordinator_.weak_from_this();
    PaneTabBarHandlers handlers{
        .selection =
            [weak, paneIndex](int tab) {
              if (const auto self = weak.lock()) self->selectTab(tab, paneIndex);
            },
        .close =
            [weak, paneIndex](int tab) {
              if (const auto self = weak.lock()) self->closeTab(tab, paneIndex);
            },
        .move =
            [weak, paneIndex](int tab, PaneMoveDirection direction) {
              if (const auto self = weak.lock()) self->moveTab(tab, paneIndex, direction);
            },
    };
    panel = coordinator_.chromeFactory->makePaneTabBarPanel(
        tabs, PaneMove::availableDirections(paneIndex, session_->kind), pane.geometry.tabBarFrame, std::move(handlers));
    if (!panel) return;
    // A new panel starts on its first tab; a pane that already has another
    // selection (the remaining pane of a full-screen split) shows it at once.
    if (pane.selectedIndex != 0) panel->updateTabs(tabs, pane.selectedIndex, pane.geometry.tabBarFrame);
  } else {
    panel->updateTabs(tabs, pane.selectedIndex, pane.geometry.tabBarFrame);
  }
  if (bringToFront) panel->orderFrontRegardless();
}

void TabLayoutRun::synchronizeTabSelectionWithSystemFocus() {
  if (!isCurrent()) return;
  const std::optional<ManagedWindow> focused =
      coordinator_.windowController.focusedManagedWindow(session_->allWindows());
  if (!focused) return;
  for (std::size_t index = 0; index < session_->panes.size(); ++index) {
    PaneState& pane = session_->panes[index];
    for (std::size_t tab = 0; tab < pane.windows.size(); ++tab) {
      const ManagedWindow& window = pane.windows[tab];
      if (window.ownerPID != focused->ownerPID || window.element != focused->element) continue;
      session_->lastFocusedPaneIndex = static_cast<int>(index);
      pane.activationHistory = PaneTabHistory::recording(window.windowID, pane.activationHistory);
      if (pane.selectedIndex != static_cast<int>(tab)) {
        pane.selectedIndex = static_cast<int>(tab);
        createOrUpdateTabBar(static_cast<int>(index), true);
      }
      coordinator_.restackVisibleWindows(*focused, false, true);
      return;
    }
  }
}

Screen TabLayoutRun::resolvedScreen() {
  const std::optional<Screen> found = coordinator_.resolveLayoutScreen(session_->displayID, session_->allWindows());
  if (found) session_->screen = *found;
  session_->displayID = ScreenIdentity::displayID(session_->screen);
  return session_->screen;
}

}  // namespace tessarapane
