#include "program/LayoutState.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "bento/BentoEngine.h"
#include "layout/LayoutKind.h"

namespace tessarapane::program {

namespace {

using json = nlohmann::ordered_json;

// Frames are mostly whole points; 437.5 stays a fraction.
json number(double value) {
  if (std::isfinite(value) && std::floor(value) == value && std::fabs(value) < 9.0e15) {
    return json(static_cast<std::int64_t>(value));
  }
  if (!std::isfinite(value)) return json(nullptr);
  return json(value);
}

json frameJson(const Rect& frame) {
  return json{{"x", number(frame.x())},
              {"y", number(frame.y())},
              {"width", number(frame.width())},
              {"height", number(frame.height())}};
}

json windowJson(const ManagedWindow& window) { return json{{"id", window.windowID}, {"title", window.title}}; }

}  // namespace

json layoutStateJson(LayoutCoordinator* coordinator) {
  json state = {{"layout", nullptr}, {"panes", json::array()}, {"tiles", json::array()}, {"paused", json::array()}};
  if (!coordinator) return state;

  if (const std::shared_ptr<LayoutSession> tabs = coordinator->session) {
    state["layout"] = std::string(rawValue(tabs->kind));
    for (std::size_t index = 0; index < tabs->panes.size(); ++index) {
      const PaneState& pane = tabs->panes[index];
      json windows = json::array();
      for (const ManagedWindow& window : pane.windows) windows.push_back(windowJson(window));
      json selected = nullptr;
      if (pane.selectedIndex >= 0 && static_cast<std::size_t>(pane.selectedIndex) < pane.windows.size()) {
        selected = pane.windows[static_cast<std::size_t>(pane.selectedIndex)].windowID;
      }
      state["panes"].push_back(json{{"index", index},
                                    {"frame", frameJson(coordinator->convertFrame(pane.geometry.windowFrame))},
                                    {"windows", std::move(windows)},
                                    {"selected", std::move(selected)}});
    }
  } else if (const std::shared_ptr<BentoSession> grid = coordinator->bentoSession) {
    state["layout"] = "grid";
    const auto laidOut = BentoEngine::layout(grid->tree, grid->screen.visibleFrame, grid->gap);
    for (const auto& leaf : laidOut.leaves) {
      json tile = windowJson(leaf.value);
      tile["frame"] = frameJson(coordinator->convertFrame(leaf.frame));
      state["tiles"].push_back(std::move(tile));
    }
  }

  for (LayoutPause::Reason reason : kAllLayoutPauseReasons) {
    if (coordinator->pause.reasons.contains(reason)) state["paused"].push_back(std::string(caseName(reason)));
  }
  return state;
}

}  // namespace tessarapane::program
