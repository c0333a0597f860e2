#pragma once

#include <nlohmann/json.hpp>

#include "coordinator/LayoutSnapshot.h"

namespace tessarapane::program {

// The running layout as `tessarapane ctl state` prints it:
//   {"layout": "<kind>" | "grid" | null,
//    "panes": [{"index", "frame", "windows": [{"id", "title"}], "selected": id | null}],
//    "tiles": [{"id", "title", "frame"}],
//    "paused": ["<reason>", ...]}
// Frames are where the layout puts the windows (a pane's window frame, a
// tile's frame), in the platform's top-left-origin space; whole numbers are
// written as integers.
nlohmann::ordered_json layoutStateJson(const LayoutSnapshot& snapshot);

}  // namespace tessarapane::program
