#include "program/LayoutState.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>


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

json windowJson(const LayoutSnapshot::Window& window) { return json{{"id", window.id}, {"title", window.title}}; }

}  // namespace

json layoutStateJson(const LayoutSnapshot& snapshot) {
  json state = {{"layout", nullptr}, {"panes", json::array()}, {"tiles", json::array()}, {"paused", json::array()}};
  if (snapshot.isRunning()) state["layout"] = snapshot.kindName();
  for (std::size_t index = 0; index < snapshot.panes.size(); ++index) {
    const LayoutSnapshot::Pane& pane = snapshot.panes[index];
    json windows = json::array();
    for (const LayoutSnapshot::Window& window : pane.windows) windows.push_back(windowJson(window));
    json selected = nullptr;
    if (pane.selectedIndex >= 0) selected = pane.windows[static_cast<std::size_t>(pane.selectedIndex)].id;
    state["panes"].push_back(json{{"index", index},
                                  {"frame", frameJson(pane.windowFrame)},
                                  {"windows", std::move(windows)},
                                  {"selected", std::move(selected)}});
  }
  for (const LayoutSnapshot::Tile& tile : snapshot.tiles) {
    json shown = windowJson(tile.window);
    shown["frame"] = frameJson(tile.frame);
    state["tiles"].push_back(std::move(shown));
  }
  for (LayoutPause::Reason reason : snapshot.pauseReasons) state["paused"].push_back(std::string(caseName(reason)));
  return state;
}

}  // namespace tessarapane::program
