// Keeping the running layout consistent with the live windows: observation,
// settled adoption of new windows, dropping closed and full-screen windows,
// titles, the periodic sweep, and re-fitting a running tab layout.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "bento/BentoEngine.h"
#include "coordinator/LayoutCoordinator.h"
#include "layout/NewWindowPlacement.h"
#include "layout/PaneFrameFit.h"
#include "layout/PaneReconciliation.h"
#include "layout/PaneTabHistory.h"
#include "tasks/DelayWalk.h"
#include "tasks/PollLoop.h"
#include "windows/AXHelpers.h"
#include "windows/NativeFullScreen.h"
#include "windows/ScreenIdentity.h"

namespace tessarapane {

namespace {

bool validTab(const PaneState& pane, int tab) { return tab >= 0 && static_cast<std::size_t>(tab) < pane.windows.size(); }

bool sameWindow(const ManagedWindow& a, const ManagedWindow& b) {
  return a.windowID == b.windowID || (a.ownerPID == b.ownerPID && a.element == b.element);
}

// Sum of the differences of the four edges' numbers, the settling measure.
double frameDelta(const Rect& a, const Rect& b) {
  return std::abs(a.minX() - b.minX()) + std::abs(a.minY() - b.minY()) + std::abs(a.width() - b.width()) +
         std::abs(a.height() - b.height());
}

// The pane after some of its windows left: the kept windows in order, the
// history without the removed ones, and the selection kept when its window
// stayed, otherwise chosen by the history. True when the selected window was
// among the removed.
bool dropWindows(PaneState& pane, const std::unordered_set<WindowID>& removed) {
  const int oldSelection = pane.selectedIndex;
  const std::optional<WindowID> selectedID =
      validTab(pane, oldSelection) ? std::optional<WindowID>(pane.windows[static_cast<std::size_t>(oldSelection)].windowID)
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
        if (const std::shared_ptr<LayoutSession> tabs = self->session) {
          self->releaseNativeFullScreenWindows(tabs);
          if (self->session != tabs) return;
          self->removeClosedWindows(tabs);
          self->synchronizeTabSelectionWithSystemFocus(tabs);
        } else if (const std::shared_ptr<BentoSession> grid = self->bentoSession) {
          self->refreshBentoSession(grid, false);
        }
      },
      [weak] {
        const auto self = weak.lock();
        if (!self || self->isPreservingWindowStack) return;
        if (const std::shared_ptr<LayoutSession> tabs = self->session) {
          self->releaseNativeFullScreenWindows(tabs);
          if (self->session == tabs) self->synchronizeTabSelectionWithSystemFocus(tabs);
        } else if (const std::shared_ptr<BentoSession> grid = self->bentoSession) {
          self->releaseNativeFullScreenWindows(grid);
          if (self->bentoSession != grid) return;
          const std::optional<ManagedWindow> focused =
              self->windowController.focusedManagedWindow(BentoEngine::leafValues(grid->tree));
          if (focused) self->restackVisibleWindows(*focused, false, true);
        }
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
    if (const std::shared_ptr<LayoutSession> tabs = session) {
      refreshTabSession(tabs, true);
    } else if (const std::shared_ptr<BentoSession> grid = bentoSession) {
      refreshBentoSession(grid, true);
    }
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
  if (const std::shared_ptr<LayoutSession> tabs = session) {
    refreshTabSession(tabs, true);
  } else if (const std::shared_ptr<BentoSession> grid = bentoSession) {
    refreshBentoSession(grid, true);
  }
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
    if (adoptionTasks.contains(window.windowID) || frameEnforcementTasks.contains(window.windowID)) continue;
    scheduleSettledAdoption(window);
  }
  return static_cast<int>(fresh.size());
}

void LayoutCoordinator::scheduleSettledAdoption(const ManagedWindow& window) {
  const Rect firstFrame = liveFrame(window).value_or(window.frame);
  std::weak_ptr<LayoutCoordinator> weak = weak_from_this();
  DelayedTask task = pollUntil(
      platform.scheduler, shared_from_this(),
      Poll<LayoutCoordinator>{
          .interval = kSettleSampleInterval,
          .timeout = kSettleTimeout,
          .first = FirstSample::afterInterval,
          .sample =
              [window, lastFrame = firstFrame, quietSamples = 0](LayoutCoordinator& self) mutable {
                if (self.isGone(window)) return PollAnswer::giveUp;
                const Rect frame = self.liveFrame(window).value_or(lastFrame);
                // A window the user is dragging is not settled, however
                // still it holds.
                if (self.isPrimaryMouseButtonDown()) {
                  quietSamples = 0;
                } else if (frameDelta(frame, lastFrame) <= kSettleMaximumDelta) {
                  ++quietSamples;
                } else {
                  quietSamples = 0;
                }
                lastFrame = frame;
                return quietSamples >= kSettleQuietSamplesNeeded ? PollAnswer::satisfied : PollAnswer::notYet;
              },
          .stillWanted = [](LayoutCoordinator& self) { return self.isLayoutRunning(); },
          .onEnd =
              [weak, window](TaskEnd end) {
                if (end != TaskEnd::satisfied && end != TaskEnd::deadlinePassed) return;
                const auto self = weak.lock();
                if (!self || !self->isLayoutRunning()) return;
                if (self->isGone(window) || self->isInNativeFullScreen(window)) return;
                const std::optional<WindowIDSet> onScreen = self->windowController.onScreenWindowIDs();
                if (onScreen && onScreen->count(window.windowID) == 0) return;
                if (const std::shared_ptr<LayoutSession> tabs = self->session) {
                  self->addNewWindow(window, tabs);
                } else if (const std::shared_ptr<BentoSession> grid = self->bentoSession) {
                  self->addNewWindowToBento(window, grid);
                }
              },
      });
  adoptionTasks.start(window.windowID, std::move(task));
}

void LayoutCoordinator::addNewWindow(const ManagedWindow& window, const std::shared_ptr<LayoutSession>& target) {
  if (!target || target != session) return;
  if (isInNativeFullScreen(window) || isGone(window)) return;
  if (const std::optional<WindowIDSet> onScreen = windowController.onScreenWindowIDs();
      onScreen && onScreen->count(window.windowID) == 0) {
    return;
  }
  for (const PaneState& pane : target->panes) {
    for (const ManagedWindow& managed : pane.windows) {
      if (sameWindow(managed, window)) return;
    }
  }

  const Rect frameBefore = liveFrame(window).value_or(window.frame);
  const Rect rect = convertFrame(frameBefore);
  std::vector<Rect> paneFrames;
  std::vector<std::size_t> paneCounts;
  for (const PaneState& pane : target->panes) {
    paneFrames.push_back(pane.geometry.paneFrame);
    paneCounts.push_back(pane.windows.size());
  }
  std::optional<int> chosen = NewWindowPlacement::paneIndex(Point{rect.midX(), rect.midY()}, paneFrames);
  if (!chosen) chosen = NewWindowPlacement::uniquelyLargestOverlapIndex(rect, paneFrames);
  if (!chosen) chosen = NewWindowPlacement::focusedOrLeastFull(target->lastFocusedPaneIndex, paneCounts);
  if (!chosen || *chosen < 0 || static_cast<std::size_t>(*chosen) >= target->panes.size()) return;
  const int paneIndex = *chosen;

  target->originalFrames[window.windowID] = frameBefore;
  target->autoJoinedWindowIDs.insert(window.windowID);
  PaneState& pane = target->panes[static_cast<std::size_t>(paneIndex)];
  pane.windows.push_back(window);
  pane.selectWindow(static_cast<int>(pane.windows.size()) - 1);
  const Rect windowFrame = pane.geometry.windowFrame;

  windowController.setAppKitFrameIfNeeded(windowFrame, window);
  windowController.raise(window, windowController.onScreenWindowIDs());
  restackVisibleWindows(window, true, false);

  target->lastFocusedPaneIndex = paneIndex;
  createOrUpdateTabBar(paneIndex, target, true);
  scheduleFrameEnforcement(window.windowID);
}

std::vector<ManagedWindow> LayoutCoordinator::unmanagedWindows(const std::vector<ManagedWindow>& among,
                                                               const std::vector<ManagedWindow>& comparedWith) {
  std::vector<ManagedWindow> result;
  for (const ManagedWindow& candidate : among) {
    if (closingWindowIDs.count(candidate.windowID) != 0) continue;
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
    if (isGone(window)) destroyedWindowIDs.insert(window.windowID);
  }
}

void LayoutCoordinator::removeClosedWindows(const std::shared_ptr<LayoutSession>& target) {
  if (!target || target != session) return;
  markWindowsClosedOutsideTessarapane(target->allWindows());

  std::unordered_set<WindowID> removed;
  for (const PaneState& pane : target->panes) {
    for (const ManagedWindow& window : pane.windows) {
      if (isGone(window) || destroyedWindowIDs.count(window.windowID) != 0) removed.insert(window.windowID);
    }
  }
  if (removed.empty()) return;

  for (WindowID id : removed) {
    target->autoJoinedWindowIDs.erase(id);
    closingWindowIDs.erase(id);
    destroyedWindowIDs.erase(id);
    frameEnforcementTasks.cancel(id);
    target->originalFrames.erase(id);
  }

  for (std::size_t index = 0; index < target->panes.size(); ++index) {
    if (session != target) return;
    PaneState& pane = target->panes[index];
    const bool changed = std::any_of(pane.windows.begin(), pane.windows.end(), [&](const ManagedWindow& window) {
      return removed.count(window.windowID) != 0;
    });
    if (!changed) continue;
    const bool selectionLost = dropWindows(pane, removed);
    if (selectionLost && validTab(pane, pane.selectedIndex)) {
      const ManagedWindow shown = pane.windows[static_cast<std::size_t>(pane.selectedIndex)];
      windowController.setAppKitFrameIfNeeded(pane.geometry.windowFrame, shown);
      windowController.raise(shown, windowController.onScreenWindowIDs());
      restackVisibleWindows(shown, true, false);
    }
    createOrUpdateTabBar(static_cast<int>(index), target, true);
  }
}

void LayoutCoordinator::releaseNativeFullScreenWindows(const std::shared_ptr<LayoutSession>& target) {
  if (!target || target != session) return;
  const std::vector<Rect> displays = displayRects();
  std::vector<ManagedWindow> released;
  for (const ManagedWindow& window : target->allWindows()) {
    if (isInNativeFullScreen(window, displays)) released.push_back(window);
  }
  if (released.empty()) return;

  forgetReleasedWindows(released, target->originalFrames);
  std::unordered_set<WindowID> releasedIDs;
  for (const ManagedWindow& window : released) {
    releasedIDs.insert(window.windowID);
    target->autoJoinedWindowIDs.erase(window.windowID);
  }
  for (std::size_t index = 0; index < target->panes.size(); ++index) {
    PaneState& pane = target->panes[index];
    const bool held = std::any_of(pane.windows.begin(), pane.windows.end(), [&](const ManagedWindow& window) {
      return releasedIDs.count(window.windowID) != 0;
    });
    if (!held) continue;
    dropWindows(pane, releasedIDs);
    createOrUpdateTabBar(static_cast<int>(index), target, false);
  }
  const bool allEmpty = std::all_of(target->panes.begin(), target->panes.end(),
                                    [](const PaneState& pane) { return pane.windows.empty(); });
  if (allEmpty) exitLayout(false);
}

void LayoutCoordinator::forgetReleasedWindows(const std::vector<ManagedWindow>& windows,
                                              std::unordered_map<WindowID, Rect>& originalFrames) {
  for (const ManagedWindow& window : windows) {
    originalFrames.erase(window.windowID);
    frameEnforcementTasks.cancel(window.windowID);
    adoptionTasks.cancel(window.windowID);
  }
}

void LayoutCoordinator::refreshWindowTitles() {
  Accessibility& ax = *platform.accessibility;
  if (const std::shared_ptr<LayoutSession> tabs = session) {
    for (std::size_t index = 0; index < tabs->panes.size(); ++index) {
      bool changed = false;
      for (ManagedWindow& window : tabs->panes[index].windows) {
        const std::optional<std::string> title = AXHelpers::string(ax, "AXTitle", window.element);
        if (title && *title != window.title) {
          window.title = *title;
          changed = true;
        }
      }
      if (changed) createOrUpdateTabBar(static_cast<int>(index), tabs, false);
    }
    return;
  }
  if (const std::shared_ptr<BentoSession> grid = bentoSession) {
    grid->tree = BentoEngine::mapLeaves(grid->tree, [&ax](const ManagedWindow& window) {
      ManagedWindow updated = window;
      if (std::optional<std::string> title = AXHelpers::string(ax, "AXTitle", window.element)) {
        updated.title = std::move(*title);
      }
      return updated;
    });
  }
}

std::vector<ManagedWindow> LayoutCoordinator::visibleManagedWindows() {
  std::vector<ManagedWindow> visible;
  if (session) {
    for (const PaneState& pane : session->panes) {
      if (validTab(pane, pane.selectedIndex)) visible.push_back(pane.windows[static_cast<std::size_t>(pane.selectedIndex)]);
    }
  } else if (bentoSession) {
    visible = BentoEngine::leafValues(bentoSession->tree);
  }
  std::erase_if(visible, [this](const ManagedWindow& window) { return destroyedWindowIDs.count(window.windowID) != 0; });
  return visible;
}

void LayoutCoordinator::cancelAllAdoptions() { adoptionTasks.cancelAll(); }

void LayoutCoordinator::reconcileLayout(const std::shared_ptr<LayoutSession>& target) {
  if (!target || target != session) return;
  releaseNativeFullScreenWindows(target);
  if (session != target) return;
  removeClosedWindows(target);
  if (session != target) return;

  const Screen screen = resolvedScreen(target);
  const std::vector<PaneGeometry> geometries =
      LayoutEngine::geometries(target->kind, screen.visibleFrame, LayoutEngine::kTabBarHeight * screen.scale);
  if (geometries.size() == target->panes.size()) {
    for (std::size_t index = 0; index < geometries.size(); ++index) target->panes[index].geometry = geometries[index];
  }

  // Where the user has put each window, in toolkit space.
  Accessibility& ax = *platform.accessibility;
  std::unordered_map<WindowID, Rect> currentFrames;
  std::unordered_map<WindowID, ManagedWindow> byID;
  std::vector<std::vector<WindowID>> paneIDs;
  std::vector<Rect> paneFrames;
  std::vector<Rect> windowFrames;
  for (const PaneState& pane : target->panes) {
    paneIDs.push_back(pane.windowIDs());
    paneFrames.push_back(pane.geometry.paneFrame);
    windowFrames.push_back(pane.geometry.windowFrame);
    for (const ManagedWindow& window : pane.windows) {
      byID.emplace(window.windowID, window);
      if (AXHelpers::boolean(ax, "AXMinimized", window.element) == true) continue;
      if (const std::optional<Rect> frame = liveFrame(window)) currentFrames[window.windowID] = convertFrame(*frame);
    }
  }
  const PaneReconciliation::Result result =
      PaneReconciliation::reconcile(paneIDs, currentFrames, paneFrames, windowFrames);
  if (!result.movedWindows.empty() && result.panes.size() == target->panes.size()) {
    std::unordered_set<WindowID> moved;
    for (const auto& entry : result.movedWindows) moved.insert(entry.first);
    for (std::size_t index = 0; index < target->panes.size(); ++index) {
      PaneState& pane = target->panes[index];
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

  for (const PaneState& pane : target->panes) {
    const Rect frame = convertFrame(pane.geometry.windowFrame);
    for (const ManagedWindow& window : pane.windows) {
      const std::optional<Rect> current = liveFrame(window);
      if (current && PaneFrameFit::matches(*current, frame)) continue;
      windowController.setAccessibilityFrame(frame, window);
      scheduleFrameEnforcement(window.windowID);
    }
  }

  const std::optional<WindowIDSet> onScreen = windowController.onScreenWindowIDs();
  int focusPane = 0;
  const auto nonEmpty = [&](int index) {
    return index >= 0 && static_cast<std::size_t>(index) < target->panes.size() &&
           !target->panes[static_cast<std::size_t>(index)].windows.empty();
  };
  if (nonEmpty(target->lastFocusedPaneIndex)) {
    focusPane = target->lastFocusedPaneIndex;
  } else {
    for (std::size_t index = 0; index < target->panes.size(); ++index) {
      if (nonEmpty(static_cast<int>(index))) {
        focusPane = static_cast<int>(index);
        break;
      }
    }
  }
  const auto raiseSelected = [&](std::size_t index) {
    const PaneState& pane = target->panes[index];
    if (!validTab(pane, pane.selectedIndex)) return;
    const ManagedWindow& window = pane.windows[static_cast<std::size_t>(pane.selectedIndex)];
    if (onScreen && onScreen->count(window.windowID) == 0) return;
    windowController.raise(window, onScreen);
  };
  for (std::size_t index = 0; index < target->panes.size(); ++index) {
    if (static_cast<int>(index) != focusPane) raiseSelected(index);
  }
  if (static_cast<std::size_t>(focusPane) < target->panes.size()) raiseSelected(static_cast<std::size_t>(focusPane));

  for (std::size_t index = 0; index < target->panes.size(); ++index) {
    createOrUpdateTabBar(static_cast<int>(index), target, true);
  }

  const std::vector<ManagedWindow> fresh = unmanagedWindows(windowIndexer.currentSpaceWindows(), target->allWindows());
  for (const ManagedWindow& window : fresh) {
    if (session != target) return;
    adoptionTasks.cancel(window.windowID);
    addNewWindow(window, target);
  }
}

}  // namespace tessarapane
