#pragma once

#include <optional>
#include <vector>

#include "backends/sim/SimTypes.h"

namespace tessarapane {

// A window of the simulated desktop as it is right now. `desc` holds the live
// values (frame, title, flags, remaining behaviour counters).
struct SimWindowState {
  SimWindowSpec desc;
  std::optional<WindowID> sheetParent;  // set for sheets
  std::vector<WindowID> sheets;         // attached sheets, oldest first
  bool listed = true;                   // false while the window list does not show it yet
  std::optional<Rect> frameBeforeFullScreen;
  std::optional<Rect> frameBeforeZoom;
  bool closePending = false;            // a delayed close is under way

  WindowID number() const { return desc.number; }
  ProcessID owner() const { return desc.owner; }
  bool isSheet() const { return sheetParent.has_value(); }
};

// A running application of the simulated desktop.
struct SimAppState {
  SimAppSpec desc;
  std::optional<WindowID> focusedWindow;
  std::optional<WindowID> mainWindow;
};

}  // namespace tessarapane
