// Keeping an applied layout in place: frame enforcement, restacking covered
// windows, following the system focus, and laying out again after the
// displays changed.
#include <cstddef>
#include <utility>

#include "coordinator/LayoutCoordinator.h"
#include "tasks/DelayWalk.h"
#include "tasks/DelayedAction.h"
#include "windows/AXHelpers.h"
#include "windows/NativeFullScreen.h"
#include "windows/WindowStacking.h"

namespace tessarapane {

void LayoutCoordinator::scheduleFrameEnforcement(WindowID windowID) { frameEnforcement.schedule(windowID); }

bool LayoutCoordinator::enforceManagedWindowFrame(WindowID windowID) {
  if (const std::shared_ptr<RunningLayout> run = running) return run->enforceFrame(windowID);
  return true;
}

bool LayoutCoordinator::isExemptFromEnforcement(const ManagedWindow& window) {
  if (AXHelpers::boolean(*platform.accessibility, "AXFullScreen", window.element) == true) return true;
  const std::optional<Rect> frame = liveFrame(window);
  return frame && NativeFullScreen::coversDisplay(*frame, displayRects());
}

void LayoutCoordinator::cancelAllFrameEnforcement() { frameEnforcement.cancelAll(); }

void LayoutCoordinator::restackVisibleWindows(const ManagedWindow& keepingFront, bool forced, bool allowRecheck) {
  if (restack.isPreservingStack()) return;
  const double now = platform.scheduler->now();
  if (!forced && restack.isQuiet(now)) return;

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

  restack.begin();
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
  if (running) running->bringChromeToFront();
  restack.end(platform.scheduler->now());
}

void LayoutCoordinator::scheduleStackRecheck(const ManagedWindow& keepingFront) {
  restack.cancelRecheck();
  restack.recheck(runAfter(platform.scheduler, shared_from_this(),
                              DelayedAction<LayoutCoordinator>{
                                  .delay = RestackState::kRecheckDelay,
                                  .action =
                                      [keepingFront](LayoutCoordinator& self) {
                                        self.restack.recheckRan();
                                        self.restackVisibleWindows(keepingFront, false, false);
                                      },
                                  .stillWanted = [](LayoutCoordinator& self) { return self.isLayoutRunning(); },
                                  .onEnd = nullptr,
                              }));
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
                if (const std::shared_ptr<RunningLayout> run = self.running) run->relayout();
                return WalkStep::next;
              },
          .stillWanted = [](LayoutCoordinator& self) { return self.isLayoutRunning(); },
          .onEnd = nullptr,
      });
}

}  // namespace tessarapane
