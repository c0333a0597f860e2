// The grid layout: starting it, putting its windows on their tiles, the
// divider handles and the drag preview, adopting and dropping windows, and
// laying it out again after screen changes and pauses.
#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "bento/BentoEngine.h"
#include "coordinator/LayoutCoordinator.h"
#include "layout/PaneFrameFit.h"
#include "layout/RememberedLayout.h"
#include "windows/ScreenIdentity.h"

namespace tessarapane {

namespace {

bool withinTolerance(const Rect& a, const Rect& b, double tolerance) {
  return std::abs(a.x() - b.x()) <= tolerance && std::abs(a.y() - b.y()) <= tolerance &&
         std::abs(a.width() - b.width()) <= tolerance && std::abs(a.height() - b.height()) <= tolerance;
}

// Shows the preview of the current tree over the session's screen.
void showPreview(const BentoSession& grid) {
  if (!grid.previewPanel) return;
  const Rect visible = grid.screen.visibleFrame;
  grid.previewPanel->setFrame(visible);
  grid.previewPanel->setScreenFrame(visible);
  grid.previewPanel->setTiles(grid.tilePresentations());
  grid.previewPanel->setNeedsDisplay();
  grid.previewPanel->orderFrontRegardless();
}

std::optional<BentoDividerLayout> dividerAt(const BentoPath& path, const std::vector<BentoDividerLayout>& dividers) {
  const auto found = std::find_if(dividers.begin(), dividers.end(),
                                  [&](const BentoDividerLayout& divider) { return divider.path == path; });
  if (found == dividers.end()) return std::nullopt;
  return *found;
}

}  // namespace

std::unordered_map<WindowID, Rect> LayoutCoordinator::runningOriginalFrames() const {
  if (session) return session->originalFrames;
  if (bentoSession) return bentoSession->originalFrames;
  return {};
}

void LayoutCoordinator::startBento() {
  if (!platform.accessibility->isProcessTrusted()) {
    if (onAccessibilityMissing) onAccessibilityMissing();
    return;
  }
  const std::optional<Screen> screen = primaryScreen();
  if (!screen) return;
  const std::optional<std::vector<ManagedWindow>> windows = manageableWindows();
  if (!windows) return;
  std::optional<BentoNode<ManagedWindow>> tree = BentoEngine::build(*windows, 0);
  if (!tree) return;

  const std::unordered_map<WindowID, Rect> earlierFrames = runningOriginalFrames();
  exitLayout(false);
  auto started = std::make_shared<BentoSession>(*screen, *windows, std::move(*tree), kBentoGap);
  for (auto& [windowID, frame] : started->originalFrames) {
    const auto earlier = earlierFrames.find(windowID);
    if (earlier != earlierFrames.end()) frame = earlier->second;
  }
  bentoSession = started;
  closingWindowIDs.clear();
  destroyedWindowIDs.clear();

  applyBentoFrames(started);
  // The chrome, the observation and the remembered kind follow on the next
  // turn, as for the tab layouts: the moves are out and answered first.
  std::weak_ptr<LayoutCoordinator> weak = weak_from_this();
  platform.scheduler->postToMainThread([weak, started] {
    const auto self = weak.lock();
    if (!self || self->bentoSession != started) return;
    self->installBentoChrome(started);
    self->startObservingWindows();
    // The first refresh may already have ended it (its windows went full
    // screen); an ended grid is not one to bring back at the next launch.
    if (self->bentoSession == started) self->layoutMemory.write(RememberedLayout::grid());
  });
}

void LayoutCoordinator::applyBentoFrames(const std::shared_ptr<BentoSession>& grid) {
  if (!grid || grid != bentoSession) return;
  const BentoTreeLayout<ManagedWindow> laidOut = BentoEngine::layout(grid->tree, grid->screen.visibleFrame, grid->gap);
  const std::optional<WindowIDSet> onScreen = windowController.onScreenWindowIDs();
  // Every move leaves before the first raise, so no tile waits for another.
  for (const BentoLeafLayout<ManagedWindow>& leaf : laidOut.leaves) {
    const ManagedWindow& window = leaf.value;
    const Rect target = convertFrame(leaf.frame);
    const std::optional<Rect> current = liveFrame(window);
    if (!current || !withinTolerance(*current, target, kFrameSkipTolerance)) {
      windowController.setAccessibilityFrame(target, window);
    }
  }
  // Front within its application, then its process forward; the controller
  // skips a gone, hidden or full-screen window.
  for (const BentoLeafLayout<ManagedWindow>& leaf : laidOut.leaves) windowController.raise(leaf.value, onScreen);
  if (!laidOut.leaves.empty()) restackVisibleWindows(laidOut.leaves.back().value, false, true);
}

void LayoutCoordinator::installBentoChrome(const std::shared_ptr<BentoSession>& grid) {
  if (!grid || !chromeFactory) return;
  grid->previewPanel = chromeFactory->makeBentoPreviewPanel(grid->screen.visibleFrame);
  std::weak_ptr<LayoutCoordinator> weak = weak_from_this();
  BentoDividerCallbacks callbacks{
      .onDragBegan =
          [weak](const BentoPath&) {
            if (const auto self = weak.lock()) self->beginBentoDividerDrag();
          },
      .onDragChanged =
          [weak](const BentoPath& path, Point locationInScreen) {
            if (const auto self = weak.lock()) self->updateBentoDividerDrag(path, locationInScreen);
          },
      .onDragEnded =
          [weak] {
            if (const auto self = weak.lock()) self->endBentoDividerDrag();
          },
  };
  grid->dividerController = chromeFactory->makeBentoDividerController(std::move(callbacks));
  updateBentoDividers(grid);
}

void LayoutCoordinator::updateBentoDividers(const std::shared_ptr<BentoSession>& grid) {
  if (!grid || !grid->dividerController) return;
  grid->dividerController->update(BentoEngine::layout(grid->tree, grid->screen.visibleFrame, grid->gap).dividers);
}

void LayoutCoordinator::beginBentoDividerDrag() {
  const std::shared_ptr<BentoSession> grid = bentoSession;
  if (!grid) return;
  grid->isDraggingDivider = true;
  // Enforcement lays out the tree as it is now, which the drag is changing:
  // it would move windows under the pointer. The drag's end applies every
  // frame anyway.
  for (const ManagedWindow& window : BentoEngine::leafValues(grid->tree)) frameEnforcementTasks.cancel(window.windowID);
  showPreview(*grid);
}

void LayoutCoordinator::updateBentoDividerDrag(const BentoPath& path, Point locationInScreen) {
  const std::shared_ptr<BentoSession> grid = bentoSession;
  if (!grid) return;
  const Rect visible = grid->screen.visibleFrame;
  const std::optional<Rect> nodeFrame = BentoEngine::frameForNode(path, grid->tree, visible, grid->gap);
  const std::optional<BentoDividerLayout> divider =
      dividerAt(path, BentoEngine::layout(grid->tree, visible, grid->gap).dividers);
  if (!nodeFrame || !divider) return;
  const std::optional<double> ratio =
      BentoEngine::ratioFromPointer(divider->orientation, *nodeFrame, locationInScreen, grid->gap);
  if (!ratio) return;
  grid->tree = BentoEngine::replacingRatio(*ratio, path, grid->tree);
  showPreview(*grid);
  updateBentoDividers(grid);
  if (grid->previewPanel) grid->previewPanel->orderFrontRegardless();
}

void LayoutCoordinator::endBentoDividerDrag() {
  const std::shared_ptr<BentoSession> grid = bentoSession;
  if (!grid) return;
  grid->isDraggingDivider = false;
  if (grid->previewPanel) {
    grid->previewPanel->orderOut();
    grid->previewPanel->setTiles({});
    grid->previewPanel->setNeedsDisplay();
  }
  // A screen change during the drag skipped its relayouts; the windows must
  // not be laid out for a screen that changed or went away meanwhile.
  const std::optional<Screen> live = ScreenIdentity::screenForDisplayID(grid->displayID, *platform.screens);
  if (!live || live->frame != grid->screen.frame || live->visibleFrame != grid->screen.visibleFrame) {
    relayoutBentoSession(grid);
    return;
  }
  applyBentoFrames(grid);
  updateBentoDividers(grid);
  // The drag cancelled enforcement: a window that has not taken its tile
  // yet (one still restoring its own state) is held to it again.
  const BentoTreeLayout<ManagedWindow> laidOut = BentoEngine::layout(grid->tree, grid->screen.visibleFrame, grid->gap);
  for (const BentoLeafLayout<ManagedWindow>& leaf : laidOut.leaves) {
    const std::optional<Rect> actual = liveFrame(leaf.value);
    if (!actual || !PaneFrameFit::matches(*actual, convertFrame(leaf.frame))) {
      scheduleFrameEnforcement(leaf.value.windowID);
    }
  }
}

void LayoutCoordinator::addNewWindowToBento(const ManagedWindow& window, const std::shared_ptr<BentoSession>& grid) {
  if (!grid || grid != bentoSession) return;
  if (isInNativeFullScreen(window)) return;
  if (isGone(window)) return;
  if (const std::optional<WindowIDSet> onScreen = windowController.onScreenWindowIDs();
      onScreen && onScreen->count(window.windowID) == 0) {
    return;
  }
  for (const ManagedWindow& leaf : BentoEngine::leafValues(grid->tree)) {
    if (leaf.windowID == window.windowID) return;
    if (leaf.ownerPID == window.ownerPID && leaf.element == window.element) return;
  }
  // Joining rebuilds the tree, which would throw away the split being
  // dragged: wait for the drag to end, settling again as before.
  if (grid->isDraggingDivider) {
    scheduleSettledAdoption(window);
    return;
  }

  grid->originalFrames[window.windowID] = liveFrame(window).value_or(window.frame);
  grid->tree = BentoEngine::appendingLeaf(grid->tree, window);
  applyBentoFrames(grid);
  updateBentoDividers(grid);
  scheduleFrameEnforcement(window.windowID);
}

void LayoutCoordinator::refreshBentoSession(const std::shared_ptr<BentoSession>& grid, bool discoverNewWindows) {
  if (!grid || grid != bentoSession) return;
  if (grid->isDraggingDivider) return;
  releaseNativeFullScreenWindows(grid);
  if (bentoSession != grid) return;

  const std::vector<ManagedWindow> leaves = BentoEngine::leafValues(grid->tree);
  markWindowsClosedOutsideTessarapane(leaves);
  std::vector<ManagedWindow> survivors;
  std::vector<ManagedWindow> lost;
  for (const ManagedWindow& window : leaves) {
    if (!isGone(window) && destroyedWindowIDs.count(window.windowID) == 0) {
      survivors.push_back(window);
    } else {
      lost.push_back(window);
    }
  }

  if (!lost.empty()) {
    for (const ManagedWindow& window : lost) {
      closingWindowIDs.erase(window.windowID);
      destroyedWindowIDs.erase(window.windowID);
    }
    forgetReleasedWindows(lost, grid->originalFrames);
    std::optional<BentoNode<ManagedWindow>> rebuilt = BentoEngine::build(survivors, 0);
    if (!rebuilt) {
      exitLayout(false);
      return;
    }
    grid->tree = std::move(*rebuilt);
    applyBentoFrames(grid);
    updateBentoDividers(grid);
  }

  if (!discoverNewWindows || bentoSession != grid) return;
  for (const ManagedWindow& window : unmanagedWindows(windowIndexer.currentSpaceWindows(), survivors)) {
    if (adoptionTasks.contains(window.windowID) || frameEnforcementTasks.contains(window.windowID)) continue;
    scheduleSettledAdoption(window);
  }
}

void LayoutCoordinator::releaseNativeFullScreenWindows(const std::shared_ptr<BentoSession>& grid) {
  if (!grid || grid != bentoSession) return;
  const std::vector<Rect> displays = displayRects();
  std::vector<ManagedWindow> released;
  std::unordered_set<WindowID> releasedIDs;
  for (const ManagedWindow& window : BentoEngine::leafValues(grid->tree)) {
    if (!isInNativeFullScreen(window, displays)) continue;
    released.push_back(window);
    releasedIDs.insert(window.windowID);
  }
  if (released.empty()) return;

  forgetReleasedWindows(released, grid->originalFrames);
  std::optional<BentoNode<ManagedWindow>> remaining = BentoEngine::keepingLeaves(
      grid->tree, [&](const ManagedWindow& window) { return releasedIDs.count(window.windowID) == 0; });
  if (!remaining) {
    exitLayout(false);
    return;
  }
  // The others take their new tiles at the next apply.
  grid->tree = std::move(*remaining);
  updateBentoDividers(grid);
}

void LayoutCoordinator::relayoutBentoSession(const std::shared_ptr<BentoSession>& grid) {
  if (!grid || grid != bentoSession) return;
  if (grid->isDraggingDivider) return;
  const std::vector<ManagedWindow> leaves = BentoEngine::leafValues(grid->tree);
  if (const std::optional<Screen> screen = resolveLayoutScreen(grid->displayID, leaves)) grid->screen = *screen;
  grid->displayID = ScreenIdentity::displayID(grid->screen);

  // Screens waking up report a degenerate frame for a moment.
  const Rect visible = grid->screen.visibleFrame;
  if (!(visible.width() > 1 && visible.height() > 1)) return;
  applyBentoFrames(grid);
  updateBentoDividers(grid);
  for (const ManagedWindow& window : leaves) scheduleFrameEnforcement(window.windowID);
}

}  // namespace tessarapane
