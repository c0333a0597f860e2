// The grid layout: starting it, and the divider drag its handles report.
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "bento/BentoEngine.h"
#include "coordinator/GridLayoutRun.h"
#include "coordinator/LayoutCoordinator.h"

namespace tessarapane {

std::shared_ptr<GridLayoutRun> LayoutCoordinator::runningGrid() const {
  if (!running || !running->grid()) return nullptr;
  return std::shared_ptr<GridLayoutRun>(running, running->grid());
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
  run(std::make_shared<GridLayoutRun>(*this, started));
}

void LayoutCoordinator::beginBentoDividerDrag() {
  if (const std::shared_ptr<GridLayoutRun> grid = runningGrid()) grid->beginDividerDrag();
}

void LayoutCoordinator::updateBentoDividerDrag(const BentoPath& path, Point locationInScreen) {
  if (const std::shared_ptr<GridLayoutRun> grid = runningGrid()) grid->updateDividerDrag(path, locationInScreen);
}

void LayoutCoordinator::endBentoDividerDrag() {
  if (const std::shared_ptr<GridLayoutRun> grid = runningGrid()) grid->endDividerDrag();
}

}  // namespace tessarapane
