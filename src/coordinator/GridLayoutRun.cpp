// A running grid layout: putting the windows on their tiles, the divider
// handles and the drag preview, adopting and dropping windows, and laying it
// out again after screen changes and pauses.
#include "coordinator/GridLayoutRun.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>

#include "bento/BentoEngine.h"
#include "coordinator/LayoutCoordinator.h"
#include "layout/PaneFrameFit.h"
#include "windows/AXHelpers.h"
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

GridLayoutRun::GridLayoutRun(LayoutCoordinator& coordinator, std::shared_ptr<BentoSession> session)
    : RunningLayout(coordinator), session_(std::move(session)) {}

std::vector<ManagedWindow> GridLayoutRun::managedWindows() const { return BentoEngine::leafValues(session_->tree); }

void GridLayoutRun::focusChanged() {
  releaseNativeFullScreenWindows();
  if (!isCurrent()) return;
  const std::optional<ManagedWindow> focused =
      coordinator_.windowController.focusedManagedWindow(BentoEngine::leafValues(session_->tree));
  if (focused) coordinator_.restackVisibleWindows(*focused, false, true);
}

void GridLayoutRun::refreshTitles() {
  Accessibility& ax = *coordinator_.platform.accessibility;
  session_->tree = BentoEngine::mapLeaves(session_->tree, [&ax](const ManagedWindow& window) {
    ManagedWindow updated = window;
    if (std::optional<std::string> title = AXHelpers::string(ax, "AXTitle", window.element)) {
      updated.title = std::move(*title);
    }
    return updated;
  });
}

bool GridLayoutRun::enforceFrame(WindowID windowID) {
  const BentoTreeLayout<ManagedWindow> laidOut =
      BentoEngine::layout(session_->tree, session_->screen.visibleFrame, session_->gap);
  for (const auto& leaf : laidOut.leaves) {
    if (leaf.value.windowID != windowID) continue;
    if (coordinator_.isExemptFromEnforcement(leaf.value)) return true;
    coordinator_.windowController.setAppKitFrameIfNeeded(leaf.frame, leaf.value);
    const std::optional<Rect> actual = coordinator_.liveFrame(leaf.value);
    return actual && PaneFrameFit::matches(*actual, coordinator_.convertFrame(leaf.frame));
  }
  return true;
}

void GridLayoutRun::exit(bool restoringFrames) {
  if (session_->dividerController) session_->dividerController->tearDown();
  if (session_->previewPanel) {
    session_->previewPanel->orderOut();
    session_->previewPanel->setTiles({});
    session_->previewPanel->setNeedsDisplay();
    session_->previewPanel->close();
  }
  if (restoringFrames)
    coordinator_.restoreOriginalFrames(session_->originalFrames, BentoEngine::leafValues(session_->tree));
}

void GridLayoutRun::describe(LayoutSnapshot& snapshot) const {
  Screens& screens = *coordinator_.platform.screens;
  snapshot.family = LayoutSnapshot::Family::grid;
  snapshot.displayID = session_->displayID;
  const auto laidOut = BentoEngine::layout(session_->tree, session_->screen.visibleFrame, session_->gap);
  for (const auto& leaf : laidOut.leaves) {
    snapshot.tiles.push_back(
        {LayoutSnapshot::Window::of(leaf.value), ScreenIdentity::convertFrame(leaf.frame, screens)});
  }
}

void GridLayoutRun::applyFrames() {
  if (!isCurrent()) return;
  const BentoTreeLayout<ManagedWindow> laidOut =
      BentoEngine::layout(session_->tree, session_->screen.visibleFrame, session_->gap);
  const std::optional<WindowIDSet> onScreen = coordinator_.windowController.onScreenWindowIDs();
  // Every move leaves before the first raise, so no tile waits for another.
  for (const BentoLeafLayout<ManagedWindow>& leaf : laidOut.leaves) {
    const ManagedWindow& window = leaf.value;
    const Rect target = coordinator_.convertFrame(leaf.frame);
    const std::optional<Rect> current = coordinator_.liveFrame(window);
    if (!current || !withinTolerance(*current, target, coordinator_.kFrameSkipTolerance)) {
      coordinator_.windowController.setAccessibilityFrame(target, window);
    }
  }
  // Front within its application, then its process forward; the controller
  // skips a gone, hidden or full-screen window.
  for (const BentoLeafLayout<ManagedWindow>& leaf : laidOut.leaves)
    coordinator_.windowController.raise(leaf.value, onScreen);
  if (!laidOut.leaves.empty()) coordinator_.restackVisibleWindows(laidOut.leaves.back().value, false, true);
}

void GridLayoutRun::installChrome() {
  if (!coordinator_.chromeFactory) return;
  session_->previewPanel = coordinator_.chromeFactory->makeBentoPreviewPanel(session_->screen.visibleFrame);
  std::weak_ptr<LayoutCoordinator> weak = coordinator_.weak_from_this();
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
  session_->dividerController = coordinator_.chromeFactory->makeBentoDividerController(std::move(callbacks));
  updateDividers();
}

void GridLayoutRun::updateDividers() {
  if (!session_->dividerController) return;
  session_->dividerController->update(
      BentoEngine::layout(session_->tree, session_->screen.visibleFrame, session_->gap).dividers);
}

void GridLayoutRun::beginDividerDrag() {
  session_->isDraggingDivider = true;
  // Enforcement lays out the tree as it is now, which the drag is changing:
  // it would move windows under the pointer. The drag's end applies every
  // frame anyway.
  for (const ManagedWindow& window : BentoEngine::leafValues(session_->tree))
    coordinator_.frameEnforcement.cancel(window.windowID);
  showPreview(*session_);
}

void GridLayoutRun::updateDividerDrag(const BentoPath& path, Point locationInScreen) {
  const Rect visible = session_->screen.visibleFrame;
  const std::optional<Rect> nodeFrame = BentoEngine::frameForNode(path, session_->tree, visible, session_->gap);
  const std::optional<BentoDividerLayout> divider =
      dividerAt(path, BentoEngine::layout(session_->tree, visible, session_->gap).dividers);
  if (!nodeFrame || !divider) return;
  const std::optional<double> ratio =
      BentoEngine::ratioFromPointer(divider->orientation, *nodeFrame, locationInScreen, session_->gap);
  if (!ratio) return;
  session_->tree = BentoEngine::replacingRatio(*ratio, path, session_->tree);
  showPreview(*session_);
  updateDividers();
  if (session_->previewPanel) session_->previewPanel->orderFrontRegardless();
}

void GridLayoutRun::endDividerDrag() {
  session_->isDraggingDivider = false;
  if (session_->previewPanel) {
    session_->previewPanel->orderOut();
    session_->previewPanel->setTiles({});
    session_->previewPanel->setNeedsDisplay();
  }
  // A screen change during the drag skipped its relayouts; the windows must
  // not be laid out for a screen that changed or went away meanwhile.
  const std::optional<Screen> live =
      ScreenIdentity::screenForDisplayID(session_->displayID, *coordinator_.platform.screens);
  if (!live || live->frame != session_->screen.frame || live->visibleFrame != session_->screen.visibleFrame) {
    relayout();
    return;
  }
  applyFrames();
  updateDividers();
  // The drag cancelled enforcement: a window that has not taken its tile
  // yet (one still restoring its own state) is held to it again.
  const BentoTreeLayout<ManagedWindow> laidOut =
      BentoEngine::layout(session_->tree, session_->screen.visibleFrame, session_->gap);
  for (const BentoLeafLayout<ManagedWindow>& leaf : laidOut.leaves) {
    const std::optional<Rect> actual = coordinator_.liveFrame(leaf.value);
    if (!actual || !PaneFrameFit::matches(*actual, coordinator_.convertFrame(leaf.frame))) {
      coordinator_.scheduleFrameEnforcement(leaf.value.windowID);
    }
  }
}

void GridLayoutRun::adopt(const ManagedWindow& window) {
  if (!isCurrent()) return;
  if (coordinator_.isInNativeFullScreen(window)) return;
  if (coordinator_.isGone(window)) return;
  if (const std::optional<WindowIDSet> onScreen = coordinator_.windowController.onScreenWindowIDs();
      onScreen && onScreen->count(window.windowID) == 0) {
    return;
  }
  for (const ManagedWindow& leaf : BentoEngine::leafValues(session_->tree)) {
    if (leaf.windowID == window.windowID) return;
    if (leaf.ownerPID == window.ownerPID && leaf.element == window.element) return;
  }
  // Joining rebuilds the tree, which would throw away the split being
  // dragged: wait for the drag to end, settling again as before.
  if (session_->isDraggingDivider) {
    coordinator_.scheduleSettledAdoption(window);
    return;
  }

  session_->originalFrames[window.windowID] = coordinator_.liveFrame(window).value_or(window.frame);
  session_->tree = BentoEngine::appendingLeaf(session_->tree, window);
  applyFrames();
  updateDividers();
  coordinator_.scheduleFrameEnforcement(window.windowID);
}

void GridLayoutRun::refresh(bool discoverNewWindows) {
  if (!isCurrent()) return;
  if (session_->isDraggingDivider) return;
  releaseNativeFullScreenWindows();
  if (!isCurrent()) return;

  const std::vector<ManagedWindow> leaves = BentoEngine::leafValues(session_->tree);
  coordinator_.markWindowsClosedOutsideTessarapane(leaves);
  std::vector<ManagedWindow> survivors;
  std::vector<ManagedWindow> lost;
  for (const ManagedWindow& window : leaves) {
    if (!coordinator_.isGone(window) && !coordinator_.closing.isDestroyed(window.windowID)) {
      survivors.push_back(window);
    } else {
      lost.push_back(window);
    }
  }

  if (!lost.empty()) {
    for (const ManagedWindow& window : lost) {
      coordinator_.closing.forget(window.windowID);
    }
    coordinator_.forgetReleasedWindows(lost, session_->originalFrames);
    std::optional<BentoNode<ManagedWindow>> rebuilt = BentoEngine::build(survivors, 0);
    if (!rebuilt) {
      coordinator_.exitLayout(false);
      return;
    }
    session_->tree = std::move(*rebuilt);
    applyFrames();
    updateDividers();
  }

  if (!discoverNewWindows || !isCurrent()) return;
  for (const ManagedWindow& window :
       coordinator_.unmanagedWindows(coordinator_.windowIndexer.currentSpaceWindows(), survivors)) {
    if (coordinator_.adoption.contains(window.windowID) || coordinator_.frameEnforcement.contains(window.windowID))
      continue;
    coordinator_.scheduleSettledAdoption(window);
  }
}

void GridLayoutRun::releaseNativeFullScreenWindows() {
  if (!isCurrent()) return;
  const std::vector<Rect> displays = coordinator_.displayRects();
  std::vector<ManagedWindow> released;
  std::unordered_set<WindowID> releasedIDs;
  for (const ManagedWindow& window : BentoEngine::leafValues(session_->tree)) {
    if (!coordinator_.isInNativeFullScreen(window, displays)) continue;
    released.push_back(window);
    releasedIDs.insert(window.windowID);
  }
  if (released.empty()) return;

  coordinator_.forgetReleasedWindows(released, session_->originalFrames);
  std::optional<BentoNode<ManagedWindow>> remaining = BentoEngine::keepingLeaves(
      session_->tree, [&](const ManagedWindow& window) { return releasedIDs.count(window.windowID) == 0; });
  if (!remaining) {
    coordinator_.exitLayout(false);
    return;
  }
  // The others take their new tiles at the next apply.
  session_->tree = std::move(*remaining);
  updateDividers();
}

void GridLayoutRun::relayout() {
  if (!isCurrent()) return;
  if (session_->isDraggingDivider) return;
  const std::vector<ManagedWindow> leaves = BentoEngine::leafValues(session_->tree);
  if (const std::optional<Screen> screen = coordinator_.resolveLayoutScreen(session_->displayID, leaves))
    session_->screen = *screen;
  session_->displayID = ScreenIdentity::displayID(session_->screen);

  // Screens waking up report a degenerate frame for a moment.
  const Rect visible = session_->screen.visibleFrame;
  if (!(visible.width() > 1 && visible.height() > 1)) return;
  applyFrames();
  updateDividers();
  for (const ManagedWindow& window : leaves) coordinator_.scheduleFrameEnforcement(window.windowID);
}

}  // namespace tessarapane
