// What must hold after every step of a random run, whatever happened.
#include <algorithm>
#include <cstddef>
#include <set>
#include <sstream>
#include <string>

#include "StressFixture.h"
#include "backends/sim/SimElements.h"
#include "bento/BentoEngine.h"
#include "bento/WhitespaceTrim.h"
#include "layout/LayoutKind.h"
#include "layout/PaneMove.h"

namespace tessarapane {

namespace {

std::string text(const Rect& rect) {
  std::ostringstream out;
  out << rect;
  return out.str();
}

std::string id(WindowID window) { return std::to_string(window); }

// What a pane's strip should list: each title trimmed, or the application's
// name when that leaves nothing.
std::vector<PaneTabPresentation> expectedTabs(const PaneState& pane) {
  std::vector<PaneTabPresentation> tabs;
  for (const ManagedWindow& window : pane.windows) {
    std::string title = trimmingWhitespaceAndNewlines(window.title);
    if (title.empty()) title = trimmingWhitespaceAndNewlines(window.appName);
    tabs.push_back(PaneTabPresentation{title, window.ownerPID});
  }
  return tabs;
}

void checkTabLayout(const LayoutCoordinator& coordinator, const RecordingChromeFactory& chrome,
                    std::vector<std::string>& out) {
  const LayoutSession& tabs = *coordinator.session;
  if (tabs.lastFocusedPaneIndex < 0 || static_cast<std::size_t>(tabs.lastFocusedPaneIndex) >= tabs.panes.size()) {
    out.push_back("the last focused pane " + std::to_string(tabs.lastFocusedPaneIndex) + " does not exist");
  }
  const std::size_t panes = static_cast<std::size_t>(paneCount(tabs.kind));
  if (tabs.panes.size() != panes || tabs.panels.size() != panes) {
    out.push_back(std::string(rawValue(tabs.kind)) + " has " + std::to_string(tabs.panes.size()) + " panes and " +
                  std::to_string(tabs.panels.size()) + " panels");
  }
  std::set<WindowID> seen;
  std::set<const PaneTabBarPanel*> ownPanels;
  for (std::size_t index = 0; index < tabs.panes.size(); ++index) {
    const PaneState& pane = tabs.panes[index];
    const std::string where = "pane " + std::to_string(index);
    for (const ManagedWindow& window : pane.windows) {
      if (!seen.insert(window.windowID).second) out.push_back("window " + id(window.windowID) + " held twice");
      if (tabs.originalFrames.count(window.windowID) == 0) {
        out.push_back("window " + id(window.windowID) + " in " + where + " has no original frame");
      }
    }
    if (!pane.windows.empty() &&
        (pane.selectedIndex < 0 || static_cast<std::size_t>(pane.selectedIndex) >= pane.windows.size())) {
      out.push_back(where + " selects " + std::to_string(pane.selectedIndex) + " of " +
                    std::to_string(pane.windows.size()) + " tabs");
    }
    if (index >= tabs.panels.size()) continue;
    const auto panel = std::dynamic_pointer_cast<RecordingTabBarPanel>(tabs.panels[index]);
    if (panel) ownPanels.insert(panel.get());
    if (pane.windows.empty()) {
      if (panel) out.push_back(where + " is empty but keeps its strip " + panel->name);
      continue;
    }
    if (!panel) {
      out.push_back(where + " has tabs but no strip");
      continue;
    }
    if (panel->isClosed || !panel->isVisible) out.push_back(where + " shows a closed or hidden strip " + panel->name);
    if (panel->frame != pane.geometry.tabBarFrame) out.push_back(where + " strip is not over the pane's tab bar");
    if (panel->moveDirections != PaneMove::availableDirections(static_cast<int>(index), tabs.kind)) {
      out.push_back(where + " strip offers the wrong move arrows");
    }
    if (panel->tabs != expectedTabs(pane)) {
      out.push_back(where + " strip shows " + std::to_string(panel->tabs.size()) + " tabs that are not the pane's " +
                    std::to_string(pane.windows.size()) + " windows");
    } else if (panel->selectedIndex != pane.selectedIndex) {
      out.push_back(where + " strip marks tab " + std::to_string(panel->selectedIndex) + ", the pane selects " +
                    std::to_string(pane.selectedIndex));
    }
  }
  for (const auto& bar : chrome.tabBars) {
    if (!bar->isClosed && ownPanels.count(bar.get()) == 0) out.push_back("strip " + bar->name + " left open");
  }
  for (const auto& dividers : chrome.dividerControllers) {
    if (!dividers->isTornDown) out.push_back("divider handles " + dividers->name + " left up under a tab layout");
  }
  for (const auto& preview : chrome.previewPanels) {
    if (!preview->isClosed) out.push_back("preview " + preview->name + " left open under a tab layout");
  }
}

void checkGrid(const LayoutCoordinator& coordinator, const RecordingChromeFactory& chrome,
               std::vector<std::string>& out) {
  const BentoSession& grid = *coordinator.bentoSession;
  std::set<WindowID> seen;
  for (const ManagedWindow& window : BentoEngine::leafValues(grid.tree)) {
    if (!seen.insert(window.windowID).second) out.push_back("window " + id(window.windowID) + " is two tiles");
    if (grid.originalFrames.count(window.windowID) == 0) {
      out.push_back("tile window " + id(window.windowID) + " has no original frame");
    }
  }
  for (const auto& bar : chrome.tabBars) {
    if (!bar->isClosed) out.push_back("strip " + bar->name + " left open under the grid");
  }
  const auto dividers = std::dynamic_pointer_cast<RecordingDividerController>(grid.dividerController);
  const auto preview = std::dynamic_pointer_cast<RecordingPreviewPanel>(grid.previewPanel);
  if (!dividers || !preview) {
    out.push_back("the grid has no divider handles or no preview");
    return;
  }
  if (dividers->isTornDown) out.push_back("the grid's divider handles are torn down");
  if (preview->isClosed) out.push_back("the grid's preview is closed");
  if (preview->isVisible != grid.isDraggingDivider) {
    out.push_back(std::string("the preview is ") + (preview->isVisible ? "shown" : "hidden") +
                  (grid.isDraggingDivider ? " during" : " outside") + " a drag");
  }
  const Rect visible = grid.screen.visibleFrame;
  if (visible.width() > 1 && visible.height() > 1 &&
      dividers->dividers != BentoEngine::layout(grid.tree, visible, grid.gap).dividers) {
    out.push_back("the divider handles do not match the tree");
  }
  for (const auto& other : chrome.dividerControllers) {
    if (other != dividers && !other->isTornDown) out.push_back("divider handles " + other->name + " left up");
  }
  for (const auto& other : chrome.previewPanels) {
    if (other != preview && !other->isClosed) out.push_back("preview " + other->name + " left open");
  }
}

void checkIdle(const LayoutCoordinator& coordinator, const RecordingChromeFactory& chrome,
               std::vector<std::string>& out) {
  for (const auto& bar : chrome.tabBars) {
    if (!bar->isClosed) out.push_back("no layout, but strip " + bar->name + " is open");
  }
  for (const auto& dividers : chrome.dividerControllers) {
    if (!dividers->isTornDown) out.push_back("no layout, but divider handles " + dividers->name + " are up");
  }
  for (const auto& preview : chrome.previewPanels) {
    if (!preview->isClosed) out.push_back("no layout, but preview " + preview->name + " is open");
  }
  const auto table = [&](const char* name, std::size_t size) {
    if (size != 0) out.push_back(std::string("no layout, but ") + name + " holds " + std::to_string(size) + " tasks");
  };
  table("reconciliationTasks", coordinator.reconciliationTasks.size());
  table("adoptionTasks", coordinator.adoptionTasks.size());
  table("frameEnforcementTasks", coordinator.frameEnforcementTasks.size());
  table("closeTasks", coordinator.closeTasks.size());
  const auto task = [&](const char* name, const std::optional<DelayedTask>& pending) {
    if (pending && pending->isPending()) out.push_back(std::string("no layout, but ") + name + " is pending");
  };
  task("screenRelayoutTask", coordinator.screenRelayoutTask);
  task("stackRecheckTask", coordinator.stackRecheckTask);
  task("resumeTask", coordinator.resumeTask);
  if (coordinator.reconciliationTimer.isActive()) out.push_back("no layout, but the sweep timer runs");
  if (coordinator.windowObservationService && coordinator.windowObservationService->isRunning()) {
    out.push_back("no layout, but windows are still observed");
  }
  if (!coordinator.closingWindowIDs.empty() || !coordinator.destroyedWindowIDs.empty()) {
    out.push_back("no layout, but closing or destroyed windows are remembered");
  }
}

}  // namespace

std::vector<std::string> CoordinatorStress::violations() {
  std::vector<std::string> out = stepViolations;
  if (coordinator->session && coordinator->bentoSession) out.push_back("a tab layout and the grid run together");
  if (coordinator->isPreservingWindowStack) out.push_back("a restack never finished");

  // The running layout is what comes back after a restart: the kind it
  // started as (the full-screen split does not rewrite it), or the grid.
  const std::optional<std::string> stored = remembered();
  if (coordinator->session) {
    const LayoutKind started = trackedSession.lock() == coordinator->session ? startedKind : coordinator->session->kind;
    if (stored != "tabs:" + std::string(rawValue(started))) {
      out.push_back("a layout started as " + std::string(rawValue(started)) + " runs, remembered is " +
                    stored.value_or("none"));
    }
  } else if (coordinator->bentoSession && stored != "grid") {
    out.push_back("the grid runs, remembered is " + stored.value_or("none"));
  }

  if (coordinator->session) {
    checkTabLayout(*coordinator, *chrome, out);
  } else if (coordinator->bentoSession) {
    checkGrid(*coordinator, *chrome, out);
  } else {
    checkIdle(*coordinator, *chrome, out);
  }

  // Maintenance runs whenever a layout runs unpaused, except in the moments
  // before the first resume pass restarts it.
  const bool resuming = coordinator->resumeTask && coordinator->resumeTask->isPending();
  if (coordinator->isLayoutRunning() && !coordinator->isPaused() && !resuming) {
    if (!coordinator->reconciliationTimer.isActive()) out.push_back("a layout runs unpaused without its sweep timer");
    if (!coordinator->windowObservationService || !coordinator->windowObservationService->isRunning()) {
      out.push_back("a layout runs unpaused without observing windows");
    }
  }

  // A window keeps the original frame it was given for as long as it stays
  // managed, across layouts replacing one another; a window that has just
  // joined records where it was, as nothing but its own application and the
  // user move an unmanaged window.
  if (const auto* originals = originalFrames()) {
    for (const ManagedWindow& managed : coordinator->managedWindows()) {
      const WindowID window = managed.windowID;
      // Where the window is, is where its element is.
      const WindowID real = SimElements::windowNumber(managed.element).value_or(0);
      const auto now = originals->find(window);
      if (now == originals->end() || touched.count(real) != 0) continue;
      const auto before = originalsBefore.find(window);
      if (before != originalsBefore.end()) {
        if (before->second != now->second) {
          out.push_back("window " + id(window) + " original frame changed from " + text(before->second) + " to " +
                        text(now->second));
        }
        continue;
      }
      const auto frame = framesBefore.find(real);
      if (frame != framesBefore.end() && steadyBefore.count(real) != 0 && frame->second != now->second) {
        out.push_back("window " + id(window) + " joined with original " + text(now->second) + ", window " + id(real) +
                      " was at " + text(frame->second));
      }
    }
  }

  // Tasks follow the windows they are for: enforcement only for managed
  // windows, settled adoption only for windows not managed yet.
  std::set<WindowID> managedSet;
  for (const ManagedWindow& window : coordinator->managedWindows()) managedSet.insert(window.windowID);
  for (WindowID window : coordinator->frameEnforcementTasks.keys()) {
    if (managedSet.count(window) == 0) out.push_back("frame enforcement pending for unmanaged window " + id(window));
  }
  for (WindowID window : coordinator->adoptionTasks.keys()) {
    if (managedSet.count(window) != 0) out.push_back("adoption pending for managed window " + id(window));
  }

  // The sweep is the safety net: whatever notification was missed, a window
  // that closed, stopped answering or went full screen is let go within one
  // sweep period of maintained time (plus the first resume pass's delay).
  constexpr double kSweepBound = LayoutCoordinator::kReconciliationInterval + 2.0;
  const double now = scheduler->now();
  // A step that started, left or paused anything begins a new stretch.
  const double stretchStart = disrupted || !isMaintained() ? now : maintainedSince;
  for (const ManagedWindow& managed : coordinator->managedWindows()) {
    const WindowID real = SimElements::windowNumber(managed.element).value_or(0);
    for (const auto* since : {&unavailableSince, &fullScreenSince}) {
      const auto found = since->find(real);
      if (found == since->end()) continue;
      const double waited = now - std::max(found->second, stretchStart);
      if (waited > kSweepBound) {
        out.push_back("window " + id(managed.windowID) + " still managed " + std::to_string(waited) + " s after it " +
                      (since == &unavailableSince ? "closed or stopped answering" : "entered full screen"));
      }
    }
  }

  // ... and an ordinary window that appeared, or became ordinary again,
  // joins within a sweep period plus the longest settling wait.
  constexpr double kAdoptionBound = kSweepBound + LayoutCoordinator::kSettleTimeout + 1.5;
  std::set<WindowID> held;
  for (const ManagedWindow& managed : coordinator->managedWindows()) {
    held.insert(managed.windowID);
    held.insert(SimElements::windowNumber(managed.element).value_or(0));
  }
  if (coordinator->isLayoutRunning()) {
    for (const auto& [window, since] : adoptableSince) {
      // A close in flight keeps a window out until the close is settled.
      if (held.count(window) != 0 || coordinator->closingWindowIDs.count(window) != 0) continue;
      if (!isPlainlyAdoptable(window)) continue;  // changed during this step
      // An unreadable or empty window list can blind the next sweep.
      const double listSeen = lastListGlitch + LayoutCoordinator::kReconciliationInterval;
      const double waited = now - std::max({since, stretchStart, listSeen});
      if (waited > kAdoptionBound) {
        const SimWindowState* state = desktop->window(window);
        out.push_back("window " + id(window) + " still not in the layout " + std::to_string(waited) +
                      " s after it could join; at " + text(state->desc.frame) +
                      (coordinator->adoptionTasks.contains(window) ? ", settling" : "") +
                      (coordinator->frameEnforcementTasks.contains(window) ? ", being enforced" : "") +
                      (coordinator->destroyedWindowIDs.count(window) != 0 ? ", marked destroyed" : ""));
      }
    }
  }
  return out;
}

bool CoordinatorStress::isMaintained() const {
  const auto grid = coordinator->bentoSession;
  return coordinator->isLayoutRunning() && !coordinator->isPaused() && coordinator->reconciliationTimer.isActive() &&
         !(grid && grid->isDraggingDivider);
}

void CoordinatorStress::rememberState() {
  // A layout starts and splits in different steps, so the kind first seen
  // is the kind it started as.
  if (coordinator->session && trackedSession.lock() != coordinator->session) {
    trackedSession = coordinator->session;
    startedKind = coordinator->session->kind;
  }
  originalsBefore.clear();
  framesBefore.clear();
  steadyBefore.clear();
  if (const auto* originals = originalFrames()) {
    for (WindowID window : managedIDs()) {
      if (const auto found = originals->find(window); found != originals->end()) {
        originalsBefore.emplace(window, found->second);
      }
    }
  }
  const double now = scheduler->now();
  for (WindowID window : everOpened) {
    const SimWindowState* state = desktop->window(window);
    const SimAppState* owner = state ? desktop->app(state->owner()) : nullptr;
    if (!owner || !owner->desc.answersAccessibility) {
      unavailableSince.emplace(window, now);
    } else {
      unavailableSince.erase(window);
    }
    if (state && state->desc.fullScreen) {
      fullScreenSince.emplace(window, now);
    } else {
      fullScreenSince.erase(window);
    }
    if (isPlainlyAdoptable(window)) {
      adoptableSince.emplace(window, now);
    } else {
      adoptableSince.erase(window);
    }
  }
  if (!isMaintained() || disrupted) maintainedSince = now;
  for (WindowID window : windows) {
    const SimWindowState* state = desktop->window(window);
    if (!state) continue;
    framesBefore.emplace(window, state->desc.frame);
    if (isSteady(window) && !state->desc.fullScreen) steadyBefore.insert(window);
  }
}

}  // namespace tessarapane
