#pragma once

#include "geometry/Rect.h"
#include "geometry/Size.h"

namespace tessarapane {

// Where the drag-helper pill sits: centred over the settings window's content
// area (right of its sidebar), 8 points above the window's bottom edge, kept
// inside the screen's visible frame. Toolkit space.
namespace PermissionHelperPlacement {

Rect frame(Size panelSize, const Rect& settingsFrame, const Rect& visibleFrame);

}  // namespace PermissionHelperPlacement

}  // namespace tessarapane
