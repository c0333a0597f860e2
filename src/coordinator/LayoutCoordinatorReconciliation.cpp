// Keeping the running layout consistent with the live windows: observation,
// the periodic sweep, settled adoption of new windows, titles, and what the
// layouts of both families share when they drop windows.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <unordered_map>
#include <utility>

#include "coordinator/LayoutCoordinator.h"
#include "tasks/DelayWalk.h"

namespace tessarapane {

namespace {

bool sameWindow(const ManagedWindow& a, const ManagedWindow& b) {
  return a.windowID == b.windowID || (a.ownerPID == b.ownerPID && a.element == b.element);
}

}  // namespace

WindowObservationService& LayoutCoordinator::observationService() {
  if (windowObservationService) return *windowObservationService;
  std::weak_ptr<LayoutCoordinator> weak = weak_from_this();
  windowObservationService = WindowObservationService::create(
      platform,
      [weak](ProcessID pid) {
        if (const auto self = weak.lock()) self->scheduleWindowReconciliation(pid);
      },
      [weak] {
        const auto self = weak.lock();
        if (!self) return;
        if (const std::shared_ptr<RunningLayout> run = self->running) run->refresh(false);
      },
      [weak] {
        const auto self = weak.lock();
        if (!self || self->restack.isPreservingStack()) return;
        if (const std::shared_ptr<RunningLayout> run = self->running) run->focusChanged();
      },
      [weak] {
        if (const auto self = weak.lock()) self->refreshWindowTitles();
      });
  return *windowObservationService;
}

void LayoutCoordinator::startObservingWindows() {
  observationService().start();
  // The refresh below reads every window: a sweep has nothing to add until
  // something changes.
  sweptAtChangeCount = isPaused() ? std::nullopt : platform.windowServer->changeCount();
  if (!isPaused()) {
    refreshWindowTitles();
    if (const std::shared_ptr<RunningLayout> run = running) run->refresh(true);
  }
  reconciliationTimer.cancel();
  // The refresh may have ended the layout (its last window went full screen).
  if (!isLayoutRunning()) return;
  std::weak_ptr<LayoutCoordinator> weak = weak_from_this();
  reconciliationTimer = platform.scheduler->scheduleRepeating(kReconciliationInterval, [weak] {
    if (const auto self = weak.lock()) self->reconcileAllWindows();
  });
}

void LayoutCoordinator::reconcileAllWindows() {
  if (isPaused()) return;
  // Read before the sweep: whatever happens from here on is seen by the next.
  const std::optional<std::uint64_t> changes = platform.windowServer->changeCount();
  if (changes && changes == sweptAtChangeCount) return;
  sweptAtChangeCount = changes;
  refreshWindowTitles();
  if (const std::shared_ptr<RunningLayout> run = running) run->refresh(true);
}

void LayoutCoordinator::scheduleWindowReconciliation(ProcessID ownerPID) {
  reconciliationTasks.cancel(ownerPID);
  DelayedTask task = walkDelays(
      platform.scheduler, shared_from_this(),
      Walk<LayoutCoordinator>{
          .delays = std::vector<double>(eventRetryDelays.begin(), eventRetryDelays.end()),
          .from = DelaysFrom::previousStep,
          .step =
              [ownerPID](LayoutCoordinator& self, std::size_t) {
                return self.reconcileNewWindows(ownerPID) > 0 ? WalkStep::stop : WalkStep::next;
              },
          .stillWanted = [](LayoutCoordinator& self) { return self.isLayoutRunning(); },
          .onEnd = nullptr,
      });
  reconciliationTasks.start(ownerPID, std::move(task));
}

int LayoutCoordinator::reconcileNewWindows(ProcessID ownerPID) {
  const std::vector<ManagedWindow> candidates = windowIndexer.currentSpaceWindows(ownerPID);
  if (!isLayoutRunning()) return 0;
  const std::vector<ManagedWindow> fresh = unmanagedWindows(candidates, managedWindows());
  for (const ManagedWindow& window : fresh) {
    if (adoption.contains(window.windowID) || frameEnforcement.contains(window.windowID)) continue;
    scheduleSettledAdoption(window);
  }
  return static_cast<int>(fresh.size());
}

void LayoutCoordinator::scheduleSettledAdoption(const ManagedWindow& window) { adoption.schedule(window); }

void LayoutCoordinator::adoptSettledWindow(const ManagedWindow& window) {
  if (!isLayoutRunning()) return;
  if (isGone(window) || isInNativeFullScreen(window)) return;
  const std::optional<WindowIDSet> onScreen = windowController.onScreenWindowIDs();
  if (onScreen && onScreen->count(window.windowID) == 0) return;
  if (const std::shared_ptr<RunningLayout> run = running) run->adopt(window);
}

std::vector<ManagedWindow> LayoutCoordinator::unmanagedWindows(const std::vector<ManagedWindow>& among,
                                                               const std::vector<ManagedWindow>& comparedWith) {
  std::vector<ManagedWindow> result;
  for (const ManagedWindow& candidate : among) {
    if (closing.isClosing(candidate.windowID)) continue;
    const bool managed = std::any_of(comparedWith.begin(), comparedWith.end(),
                                     [&](const ManagedWindow& window) { return sameWindow(window, candidate); });
    if (!managed) result.push_back(candidate);
  }
  return result;
}

void LayoutCoordinator::markWindowsClosedOutsideTessarapane(const std::vector<ManagedWindow>& among) {
  // Only a window whose element stopped answering has closed. One missing
  // from the on-screen list may be on another desktop (with a window shown
  // on every desktop, the list still names one of the layout's), minimised or
  // hidden: it stays, and goes back to its frame when the layout ends.
  for (const ManagedWindow& window : among) {
    if (isGone(window)) closing.destroyed(window.windowID);
  }
}

void LayoutCoordinator::forgetReleasedWindows(const std::vector<ManagedWindow>& windows,
                                              std::unordered_map<WindowID, Rect>& originalFrames) {
  for (const ManagedWindow& window : windows) {
    originalFrames.erase(window.windowID);
    frameEnforcement.cancel(window.windowID);
    adoption.cancel(window.windowID);
  }
}

void LayoutCoordinator::refreshWindowTitles() {
  if (const std::shared_ptr<RunningLayout> run = running) run->refreshTitles();
}


std::vector<ManagedWindow> LayoutCoordinator::visibleManagedWindows() {
  std::vector<ManagedWindow> visible;
  if (running) visible = running->visibleWindows();
  std::erase_if(visible, [this](const ManagedWindow& window) { return closing.isDestroyed(window.windowID); });
  return visible;
}


void LayoutCoordinator::cancelAllAdoptions() { adoption.cancelAll(); }

}  // namespace tessarapane
