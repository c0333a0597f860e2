// Tab operations: selecting, closing and moving tabs, the tab bars, and laying
// a tab layout out again.
#include <cmath>
#include <cstddef>
#include <utility>

#include "bento/BentoEngine.h"
#include "bento/WhitespaceTrim.h"
#include "coordinator/LayoutCoordinator.h"
#include "layout/PaneMove.h"
#include "layout/PaneTabHistory.h"
#include "layout/TabFocus.h"
#include "tasks/TaskSteps.h"

namespace tessarapane {

namespace {

bool validPane(const LayoutSession& session, int pane) {
  return pane >= 0 && static_cast<std::size_t>(pane) < session.panes.size();
}

bool validTab(const PaneState& pane, int tab) { return tab >= 0 && static_cast<std::size_t>(tab) < pane.windows.size(); }

const ManagedWindow* selectedWindow(const PaneState& pane) {
  return validTab(pane, pane.selectedIndex) ? &pane.windows[static_cast<std::size_t>(pane.selectedIndex)] : nullptr;
}

PaneTabPresentation presentation(const ManagedWindow& window) {
  std::string title = trimmingWhitespaceAndNewlines(window.title);
  if (title.empty()) title = trimmingWhitespaceAndNewlines(window.appName);
  return PaneTabPresentation{std::move(title), window.ownerPID};
}

// How long a close task waits for the close operation's answer before it
// simply waits again.
constexpr double kCloseAnswerWait = 3600.0;

bool withinTolerance(const Rect& a, const Rect& b, double tolerance) {
  return std::abs(a.x() - b.x()) <= tolerance && std::abs(a.y() - b.y()) <= tolerance &&
         std::abs(a.width() - b.width()) <= tolerance && std::abs(a.height() - b.height()) <= tolerance;
}

}  // namespace

void LayoutCoordinator::selectTab(int tabIndex, int paneIndex) {
  const std::shared_ptr<LayoutSession> current = session;
  if (!current || !validPane(*current, paneIndex)) return;
  PaneState& pane = current->panes[static_cast<std::size_t>(paneIndex)];
  if (!validTab(pane, tabIndex)) return;
  const ManagedWindow window = pane.windows[static_cast<std::size_t>(tabIndex)];
  const Rect windowFrame = pane.geometry.windowFrame;

  const std::optional<WindowIDSet> onScreen = windowController.onScreenWindowIDs();
  const bool gone = isGone(window) || (onScreen && onScreen->count(window.windowID) == 0);
  if (gone) {
    removeClosedWindows(current);
    return;
  }
  windowController.setAppKitFrameIfNeeded(windowFrame, window);
  if (windowController.raise(window, windowController.onScreenWindowIDs())) {
    restackVisibleWindows(window, false, true);
    // The restack may have ended the layout; the pane is looked up again.
    if (session != current || !validPane(*current, paneIndex)) return;
    current->autoJoinedWindowIDs.erase(window.windowID);
    current->panes[static_cast<std::size_t>(paneIndex)].selectWindow(tabIndex);
    current->lastFocusedPaneIndex = paneIndex;
  }
  createOrUpdateTabBar(paneIndex, current, true);
}

void LayoutCoordinator::closeTab(int tabIndex, int paneIndex) {
  if (!session || !validPane(*session, paneIndex)) return;
  const PaneState& pane = session->panes[static_cast<std::size_t>(paneIndex)];
  if (!validTab(pane, tabIndex)) return;
  const ManagedWindow window = pane.windows[static_cast<std::size_t>(tabIndex)];
  if (closeTasks.contains(window.windowID)) return;

  // The close operation answers through its completion. It lives inside the
  // task's step, so cancelling the task drops the operation without an
  // answer; the task itself only keeps the table entry while it waits for
  // that answer (which comes within about a second; the long wait is re-armed
  // rather than infinite so that every scheduler can hold it).
  auto operation = std::make_shared<std::optional<WindowCloseOperation>>();
  std::weak_ptr<LayoutCoordinator> weak = weak_from_this();
  DelayedTask task = runSteps(platform.scheduler, shared_from_this(),
                              Steps<LayoutCoordinator>{
                                  .firstDelay = 0.0,
                                  .step =
                                      [operation, weak, window](LayoutCoordinator& self) {
                                        if (!operation->has_value()) {
                                          *operation = self.windowController.close(
                                              window, [weak, window](WindowCloseResult result) {
                                                const auto coordinator = weak.lock();
                                                if (!coordinator) return;
                                                coordinator->closeTasks.cancel(window.windowID);
                                                coordinator->handleCloseResult(result, window);
                                              });
                                        }
                                        return NextWait::after(kCloseAnswerWait);
                                      },
                                  .stillWanted = nullptr,
                                  .onEnd = nullptr,
                              });
  closeTasks.start(window.windowID, std::move(task));
}

void LayoutCoordinator::moveTab(int tabIndex, int paneIndex, PaneMoveDirection direction) {
  const std::shared_ptr<LayoutSession> current = session;
  if (!current) return;
  if (current->kind == LayoutKind::fullScreen) {
    expandFullScreenToSplit2(tabIndex, paneIndex, direction, current);
    return;
  }
  if (const std::optional<int> destination = PaneMove::destinationPaneIndex(paneIndex, direction, current->kind)) {
    moveTab(tabIndex, paneIndex, *destination, current);
  }
}

void LayoutCoordinator::moveFocusedTab(PaneMoveDirection direction) {
  const std::shared_ptr<LayoutSession> current = session;
  if (!current) return;
  const std::optional<ManagedWindow> focused = windowController.focusedManagedWindow(current->allWindows());
  const std::optional<TabFocus::Target> target =
      TabFocus::moveTarget(current->panes, focused, current->lastFocusedPaneIndex);
  if (!target) return;
  current->lastFocusedPaneIndex = target->paneIndex;
  moveTab(target->tabIndex, target->paneIndex, direction);
}

void LayoutCoordinator::moveTab(int tabIndex, int fromPane, int toPane, const std::shared_ptr<LayoutSession>& target) {
  if (!target || target != session) return;
  if (!validPane(*target, fromPane) || !validPane(*target, toPane) || fromPane == toPane) return;
  PaneState source = target->panes[static_cast<std::size_t>(fromPane)];
  if (!validTab(source, tabIndex)) return;
  PaneState destination = target->panes[static_cast<std::size_t>(toPane)];
  const ManagedWindow moving = source.windows[static_cast<std::size_t>(tabIndex)];

  const bool wasAutoJoined = target->autoJoinedWindowIDs.erase(moving.windowID) != 0;

  source.windows.erase(source.windows.begin() + tabIndex);
  source.selectAfterRemoving(moving.windowID, tabIndex);
  destination.windows.push_back(moving);
  destination.selectedIndex = static_cast<int>(destination.windows.size()) - 1;
  destination.activationHistory = PaneTabHistory::recording(moving.windowID, destination.activationHistory);
  target->panes[static_cast<std::size_t>(fromPane)] = source;
  target->panes[static_cast<std::size_t>(toPane)] = destination;

  createOrUpdateTabBar(fromPane, target, true);
  createOrUpdateTabBar(toPane, target, true);

  windowController.setAppKitFrameIfNeeded(destination.geometry.windowFrame, moving);
  scheduleFrameEnforcement(moving.windowID);

  const ManagedWindow* remainingSelected = selectedWindow(source);
  std::optional<ManagedWindow> stayed;
  if (remainingSelected) {
    stayed = *remainingSelected;
    windowController.setAppKitFrameIfNeeded(source.geometry.windowFrame, *stayed);
  }

  if (!wasAutoJoined) {
    if (stayed) windowController.raise(*stayed, windowController.onScreenWindowIDs());
    target->lastFocusedPaneIndex = toPane;
    windowController.raise(moving, windowController.onScreenWindowIDs());
    restackVisibleWindows(moving, false, true);
  } else if (stayed) {
    // A window that joined on its own and is sent elsewhere does not take
    // the user's focus away from the pane they were in.
    windowController.raise(moving, windowController.onScreenWindowIDs());
    target->lastFocusedPaneIndex = fromPane;
    windowController.raise(*stayed, windowController.onScreenWindowIDs());
    restackVisibleWindows(*stayed, false, true);
  } else {
    target->lastFocusedPaneIndex = toPane;
    windowController.raise(moving, windowController.onScreenWindowIDs());
    restackVisibleWindows(moving, false, true);
  }
}

void LayoutCoordinator::expandFullScreenToSplit2(int movingTab, int paneIndex, PaneMoveDirection direction,
                                                 const std::shared_ptr<LayoutSession>& target) {
  if (!target || target != session || paneIndex != 0 || target->panes.empty()) return;
  const PaneState& pane = target->panes.front();
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

  const Screen screen = resolvedScreen(target);
  const std::vector<PaneGeometry> geometries =
      LayoutEngine::geometries(LayoutKind::split2, screen.visibleFrame, LayoutEngine::kTabBarHeight * screen.scale);
  if (geometries.size() != 2) return;

  for (auto& panel : target->panels) {
    if (!panel) continue;
    panel->orderOut();
    panel->close();
  }

  std::vector<PaneState> panes(2);
  panes[static_cast<std::size_t>(focused)] =
      PaneState{geometries[static_cast<std::size_t>(focused)], {moving}, 0, {moving.windowID}};
  panes[static_cast<std::size_t>(other)] =
      PaneState{geometries[static_cast<std::size_t>(other)], remaining, remainingSelection, remainingHistory};
  target->kind = LayoutKind::split2;
  target->panes = std::move(panes);
  target->panels.assign(2, nullptr);
  target->lastFocusedPaneIndex = focused;

  applyInitialLayout(target);
  if (session != target) return;
  // Placing the panes points the focus hint at the last pane placed; the
  // user is working with the tab that moved.
  target->lastFocusedPaneIndex = focused;
  if (const ManagedWindow* front = selectedWindow(target->panes[static_cast<std::size_t>(focused)])) {
    const ManagedWindow window = *front;
    windowController.raise(window, windowController.onScreenWindowIDs());
    restackVisibleWindows(window, true, false);
  }
  for (std::size_t index = 0; index < target->panes.size(); ++index) {
    if (!target->panes[index].windows.empty()) createOrUpdateTabBar(static_cast<int>(index), target, true);
  }
  for (const ManagedWindow& window : target->allWindows()) scheduleFrameEnforcement(window.windowID);
}

void LayoutCoordinator::createOrUpdateTabBar(int paneIndex, const std::shared_ptr<LayoutSession>& target,
                                             bool bringToFront) {
  if (!target || !validPane(*target, paneIndex)) return;
  const std::size_t index = static_cast<std::size_t>(paneIndex);
  const PaneState& pane = target->panes[index];
  std::shared_ptr<PaneTabBarPanel>& panel = target->panels[index];
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
    std::weak_ptr<LayoutCoordinator> weak = weak_from_this();
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
    panel = chromeFactory->makePaneTabBarPanel(tabs, PaneMove::availableDirections(paneIndex, target->kind),
                                               pane.geometry.tabBarFrame, std::move(handlers));
    if (!panel) return;
    // A new panel starts on its first tab; a pane that already has another
    // selection (the remaining pane of a full-screen split) shows it at once.
    if (pane.selectedIndex != 0) panel->updateTabs(tabs, pane.selectedIndex, pane.geometry.tabBarFrame);
  } else {
    panel->updateTabs(tabs, pane.selectedIndex, pane.geometry.tabBarFrame);
  }
  if (bringToFront) panel->orderFrontRegardless();
}

void LayoutCoordinator::relayoutTabSession(const std::shared_ptr<LayoutSession>& target) {
  if (!target) return;
  // The user may be dragging a window.
  if (isPrimaryMouseButtonDown()) return;
  if (const std::optional<Screen> screen = resolveLayoutScreen(target->displayID, target->allWindows())) {
    target->screen = *screen;
  }
  target->displayID = target->screen.displayID;
  const Rect visible = target->screen.visibleFrame;
  if (!(visible.width() > 1.0) || !(visible.height() > 1.0)) return;
  const std::vector<PaneGeometry> geometries =
      LayoutEngine::geometries(target->kind, visible, LayoutEngine::kTabBarHeight * target->screen.scale);
  if (geometries.size() != target->panes.size()) return;

  const std::vector<Rect> displays = displayRects();
  for (std::size_t index = 0; index < target->panes.size(); ++index) {
    target->panes[index].geometry = geometries[index];
    const Rect frame = convertFrame(geometries[index].windowFrame);
    for (const ManagedWindow& window : target->panes[index].windows) {
      if (isGone(window) || isInNativeFullScreen(window, displays)) continue;
      const std::optional<Rect> current = liveFrame(window);
      if (current && withinTolerance(*current, frame, kFrameSkipTolerance)) continue;
      windowController.setAccessibilityFrame(frame, window);
    }
    createOrUpdateTabBar(static_cast<int>(index), target, true);
  }
  for (const ManagedWindow& window : target->allWindows()) scheduleFrameEnforcement(window.windowID);
}

void LayoutCoordinator::refreshTabSession(const std::shared_ptr<LayoutSession>& target, bool discoverNewWindows) {
  if (!target || target != session) return;
  releaseNativeFullScreenWindows(target);
  if (session != target) return;
  removeClosedWindows(target);
  synchronizeTabSelectionWithSystemFocus(target);
  if (!discoverNewWindows || session != target) return;
  const std::vector<ManagedWindow> candidates =
      unmanagedWindows(windowIndexer.currentSpaceWindows(), target->allWindows());
  for (const ManagedWindow& window : candidates) {
    if (adoptionTasks.contains(window.windowID) || frameEnforcementTasks.contains(window.windowID)) continue;
    scheduleSettledAdoption(window);
  }
}

void LayoutCoordinator::bringLayoutToFront() {
  const std::vector<ManagedWindow> visible = visibleManagedWindows();
  const std::optional<ManagedWindow> focused = windowController.focusedManagedWindow(managedWindows());
  const ManagedWindow* front = nullptr;
  if (focused) {
    for (const ManagedWindow& window : visible) {
      if (window.windowID == focused->windowID) {
        front = &window;
        break;
      }
    }
  }
  if (!front && !visible.empty()) front = &visible.front();
  if (!front) return;
  const ManagedWindow keep = *front;
  restackVisibleWindows(keep, true, false);
}

}  // namespace tessarapane
