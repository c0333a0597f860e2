#pragma once

#include "chrome/PaneTabDisplayMode.h"
#include "geometry/Rect.h"

namespace tessarapane {

// The frames of the controls inside one tab, in the tab's own bounds. The
// close button sits at the right end, the move arrows just left of it.
struct PaneTabItemLayout {
  static constexpr double kCloseButtonWidth = 23.0;
  static constexpr double kMoveButtonWidth = 20.0;
  static constexpr double kTitleLeading = 9.0;
  static constexpr double kIconButtonWidth = 28.0;

  bool showsMoveButtons = false;
  Rect moveStackFrame;  // zero width while the arrows are hidden
  Rect closeButtonFrame;
  Rect selectButtonFrame;

  // In full mode the arrows appear only on the selected or hovered tab, so
  // the titles of the other tabs get the room.
  static PaneTabItemLayout make(double width, double height, PaneTabDisplayMode mode, int moveCount,
                                bool isSelected, bool isHovered);

  friend bool operator==(const PaneTabItemLayout&, const PaneTabItemLayout&) = default;
};

}  // namespace tessarapane
