#include "chrome/PaneTabItemLayout.h"

#include <algorithm>

namespace tessarapane {

PaneTabItemLayout PaneTabItemLayout::make(double width, double height, PaneTabDisplayMode mode, int moveCount,
                                          bool isSelected, bool isHovered) {
  PaneTabItemLayout result;
  const bool modeShowsMoves = mode == PaneTabDisplayMode::iconWithMoves ||
                              (mode == PaneTabDisplayMode::full && (isSelected || isHovered));
  result.showsMoveButtons = moveCount > 0 && modeShowsMoves;

  const double moveWidth = result.showsMoveButtons ? kMoveButtonWidth * static_cast<double>(moveCount) : 0.0;
  const double closeX = width - kCloseButtonWidth;
  result.moveStackFrame = Rect(closeX - moveWidth, 0.0, moveWidth, height);
  result.closeButtonFrame = Rect(closeX, 0.0, kCloseButtonWidth, height);
  if (mode == PaneTabDisplayMode::full) {
    result.selectButtonFrame =
        Rect(kTitleLeading, 0.0, std::max(closeX - moveWidth - kTitleLeading, 0.0), height);
  } else {
    result.selectButtonFrame = Rect(0.0, 0.0, kIconButtonWidth, height);
  }
  return result;
}

}  // namespace tessarapane
