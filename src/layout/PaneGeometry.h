#pragma once

#include "geometry/Rect.h"

namespace tessarapane {

// The three rectangles of one pane, in toolkit space (y up).
struct PaneGeometry {
  Rect paneFrame;    // the whole pane
  Rect tabBarFrame;  // the strip along the pane's top edge, where its tab bar sits
  Rect windowFrame;  // the rest below the strip: the frame of the pane's visible window

  friend bool operator==(const PaneGeometry&, const PaneGeometry&) = default;
};

}  // namespace tessarapane
