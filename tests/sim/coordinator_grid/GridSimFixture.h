#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "bento/BentoEngine.h"
#include "sim/coordinator/CoordinatorSimFixture.h"

namespace tessarapane {

// The coordinator on the simulated desktop (one 1440 x 900 display, visible
// frame 1440 x 875, so a tile's accessibility y is 900 less its top edge),
// driven as a grid layout.
class GridSim : public CoordinatorSim {
 protected:
  const std::shared_ptr<BentoSession>& grid() const { return coordinator->bentoSession; }

  // Opens `count` windows of separate applications, each 800 x 600 at its
  // own place, and returns them front-most first: the order the grid takes.
  IDs openWindows(int count) {
    IDs frontFirst;
    for (int index = 0; index < count; ++index) {
      const ProcessID pid = launch("App" + std::to_string(index));
      const WindowID id = open(pid, "Doc " + std::to_string(index), Rect(40.0 * index, 30.0 + 20.0 * index, 800, 600));
      frontFirst.insert(frontFirst.begin(), id);
    }
    settle();
    return frontFirst;
  }

  IDs leafIDs() const {
    IDs ids;
    if (!grid()) return ids;
    for (const ManagedWindow& window : BentoEngine::leafValues(grid()->tree)) ids.push_back(window.windowID);
    return ids;
  }

  // Every split's ratio, in pre-order (the order of the dividers).
  std::vector<double> ratios() const {
    std::vector<double> result;
    if (grid()) collectRatios(grid()->tree, result);
    return result;
  }

  RecordingDividerController& dividers() const { return *chrome->dividerControllers.back(); }
  RecordingPreviewPanel& preview() const { return *chrome->previewPanels.back(); }

  // The user drags the divider of the split at `path` through the points
  // given, as its handle reports it: a press (began, then changed at the
  // first point), a move per further point, no release.
  void press(const BentoPath& path, Point at) const {
    dividers().callbacks.onDragBegan(path);
    dividers().callbacks.onDragChanged(path, at);
  }
  void dragTo(const BentoPath& path, Point at) const { dividers().callbacks.onDragChanged(path, at); }
  void release() const { dividers().callbacks.onDragEnded(); }

  std::size_t frameWrites() const {
    std::size_t writes = 0;
    for (const SimCall& call : desktop->recorder().calls()) {
      if (call.kind == SimCall::Kind::setAttribute && (call.name == "AXPosition" || call.name == "AXSize")) ++writes;
    }
    return writes;
  }

 private:
  static void collectRatios(const BentoNode<ManagedWindow>& node, std::vector<double>& out) {
    const auto* split = node.asSplit();
    if (!split) return;
    out.push_back(split->ratio);
    collectRatios(split->first(), out);
    collectRatios(split->second(), out);
  }
};

}  // namespace tessarapane
