// Keeping an applied layout in place: frame enforcement, restacking covered
// windows, following the system focus, and laying out again after the
// displays changed.
#include <cstddef>
#include <utility>

#include "bento/BentoEngine.h"
#include "coordinator/LayoutCoordinator.h"
#include "layout/PaneFrameFit.h"
#include "layout/PaneTabHistory.h"
#include "tasks/DelayWalk.h"
#include "tasks/DelayedAction.h"
#include "windows/AXHelpers.h"
#include "windows/NativeFullScreen.h"
#include "windows/WindowStacking.h"

namespace tessarapane {

void LayoutCoordinator::scheduleFrameEnforcement(WindowID windowID) {
  frameEnforcementTasks.cancel(windowID);
  DelayedTask task = walkDelays(
      platform.scheduler, shared_from_this(),
      Walk<LayoutCoordinator>{
          .delays = std::vector<double>(frameEnforcementDelays.begin(), frameEnforcementDelays.end()),
          .from = DelaysFrom::previousStep,
          .step =
              [windowID](LayoutCoordinator& self, std::size_t) {
                return self.enforceManagedWindowFrame(windowID) ? WalkStep::stop : WalkStep::next;
              },
          .stillWanted = [](LayoutCoordinator& self) { return self.isLayoutRunning(); },
          .onEnd = nullptr,
      });
  frameEnforcementTasks.start(windowID, std::move(task));
}

bool LayoutCoordinator::enforceManagedWindowFrame(WindowID windowID) {
  Accessibility& ax = *platform.accessibility;
  // Native full screen belongs to the platform: such a window is left alone.
  const auto exempt = [&](const ManagedWindow& window) {
    if (AXHelpers::boolean(ax, "AXFullScreen", window.element) == true) return true;
    const std::optional<Rect> frame = liveFrame(window);
    return frame && NativeFullScreen::coversDisplay(*frame, displayRects());
  };

  if (const std::shared_ptr<LayoutSession> tabs = session) {
    for (const PaneState& pane : tabs->panes) {
      for (const ManagedWindow& window : pane.windows) {
        if (window.windowID != windowID) continue;
        if (exempt(window)) return true;
        const Rect target = convertFrame(pane.geometry.windowFrame);
        windowController.setAccessibilityFrame(target, window);
        const std::optional<Rect> actual = liveFrame(window);
        return actual && PaneFrameFit::matches(*actual, target);
      }
    }
    return true;
  }

  if (const std::shared_ptr<BentoSession> grid = bentoSession) {
    const BentoTreeLayout<ManagedWindow> laidOut =
        BentoEngine::layout(grid->tree, grid->screen.visibleFrame, grid->gap);
    for (const auto& leaf : laidOut.leaves) {
      if (leaf.value.windowID != windowID) continue;
      if (exempt(leaf.value)) return true;
      windowController.setAppKitFrameIfNeeded(leaf.frame, leaf.value);
      const std::optional<Rect> actual = liveFrame(leaf.value);
      return actual && PaneFrameFit::matches(*actual, convertFrame(leaf.frame));
    }
    return true;
  }
  return true;
}

void LayoutCoordinator::cancelAllFrameEnforcement() { frameEnforcementTasks.cancelAll(); }

void LayoutCoordinator::restackVisibleWindows(const ManagedWindow& keepingFront, bool forced, bool allowRecheck) {
  if (isPreservingWindowStack) return;
  const double now = platform.scheduler->now();
  if (!forced && stackRestackSuppressedUntil && *stackRestackSuppressedUntil > now) return;

  const std::optional<WindowIDSet> onScreen = windowController.onScreenWindowIDs();
  const auto showable = [&](const ManagedWindow& window) {
    return !isGone(window) && (!onScreen || onScreen->count(window.windowID) != 0);
  };
  if (!showable(keepingFront)) return;

  std::vector<ManagedWindow> candidates;
  for (const ManagedWindow& window : visibleManagedWindows()) {
    if (showable(window)) candidates.push_back(window);
  }

  std::vector<ManagedWindow> toRaise;
  if (!forced) {
    toRaise = WindowStacking::windowsNeedingRestack(keepingFront, candidates, windowIndexer.onScreenWindowStack());
    if (toRaise.empty()) {
      if (allowRecheck) scheduleStackRecheck(keepingFront);
      return;
    }
  } else {
    toRaise = WindowStacking::coveringWindows(keepingFront, candidates);
  }

  isPreservingWindowStack = true;
  Accessibility& ax = *platform.accessibility;
  const std::vector<Rect> displays = displayRects();
  for (const ManagedWindow& window : toRaise) {
    if (!showable(window) || isInNativeFullScreen(window, displays)) continue;
    ax.setAttributeValue(ax.createApplication(window.ownerPID), "AXFocusedWindow", window.element);
    ax.setAttributeValue(window.element, "AXMain", true);
    ax.performAction(window.element, "AXRaise");
    bringProcessForward(window.ownerPID);
  }
  windowController.raise(keepingFront, onScreen);
  // The strips stay above the windows just raised.
  if (session) {
    for (const auto& panel : session->panels) {
      if (panel) panel->orderFrontRegardless();
    }
  }
  stackRestackSuppressedUntil = platform.scheduler->now() + kRestackQuietPeriod;
  isPreservingWindowStack = false;
}

void LayoutCoordinator::scheduleStackRecheck(const ManagedWindow& keepingFront) {
  stackRecheckTask.reset();
  stackRecheckTask = runAfter(platform.scheduler, shared_from_this(),
                              DelayedAction<LayoutCoordinator>{
                                  .delay = kStackRecheckDelay,
                                  .action =
                                      [keepingFront](LayoutCoordinator& self) {
                                        self.stackRecheckTask.reset();
                                        self.restackVisibleWindows(keepingFront, false, false);
                                      },
                                  .stillWanted = [](LayoutCoordinator& self) { return self.isLayoutRunning(); },
                                  .onEnd = nullptr,
                              });
}

void LayoutCoordinator::synchronizeTabSelectionWithSystemFocus(const std::shared_ptr<LayoutSession>& target) {
  if (!target || target != session) return;
  const std::optional<ManagedWindow> focused = windowController.focusedManagedWindow(target->allWindows());
  if (!focused) return;
  for (std::size_t index = 0; index < target->panes.size(); ++index) {
    PaneState& pane = target->panes[index];
    for (std::size_t tab = 0; tab < pane.windows.size(); ++tab) {
      const ManagedWindow& window = pane.windows[tab];
      if (window.ownerPID != focused->ownerPID || window.element != focused->element) continue;
      target->lastFocusedPaneIndex = static_cast<int>(index);
      pane.activationHistory = PaneTabHistory::recording(window.windowID, pane.activationHistory);
      if (pane.selectedIndex != static_cast<int>(tab)) {
        pane.selectedIndex = static_cast<int>(tab);
        createOrUpdateTabBar(static_cast<int>(index), target, true);
      }
      restackVisibleWindows(*focused, false, true);
      return;
    }
  }
}

void LayoutCoordinator::screenParametersDidChange() {
  if (isPaused()) {
    pauseLog.write("screen parameters changed while paused");
    return;
  }
  scheduleScreenRelayout();
}

void LayoutCoordinator::scheduleScreenRelayout() {
  if (!isLayoutRunning()) return;
  screenRelayoutTask.reset();
  screenRelayoutTask = walkDelays(
      platform.scheduler, shared_from_this(),
      Walk<LayoutCoordinator>{
          .delays = std::vector<double>(screenRelayoutDelays.begin(), screenRelayoutDelays.end()),
          .from = DelaysFrom::previousStep,
          .step =
              [](LayoutCoordinator& self, std::size_t) {
                if (const std::shared_ptr<LayoutSession> tabs = self.session) {
                  self.relayoutTabSession(tabs);
                } else if (const std::shared_ptr<BentoSession> grid = self.bentoSession) {
                  self.relayoutBentoSession(grid);
                }
                return WalkStep::next;
              },
          .stillWanted = [](LayoutCoordinator& self) { return self.isLayoutRunning(); },
          .onEnd = nullptr,
      });
}

}  // namespace tessarapane
