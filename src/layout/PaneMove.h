#pragma once

#include <optional>
#include <vector>

#include "layout/LayoutEngine.h"
#include "layout/LayoutKind.h"
#include "layout/PaneMoveDirection.h"
#include "platform/ManagedWindow.h"

namespace tessarapane::PaneMove {

// The pane that lies in `direction` from pane `from` of `kind`; none for an
// edge of the screen and for a pane index the kind does not have.
std::optional<int> destinationPaneIndex(int from, PaneMoveDirection direction, LayoutKind kind);

// The directions, in the order left, right, up, down, that lead to a pane.
std::vector<PaneMoveDirection> availableDirections(int from, LayoutKind kind);

// A full-screen pane split in two because one of its tabs was pushed sideways.
struct FullScreenSplit {
  WindowsByPane windowsByPane;  // two lists: pane 0 left, pane 1 right
  int focusedPaneIndex = 0;     // the pane now holding the moved tab
};

// Pushing tab `movingIndex` left puts it alone into pane 0 and the others into
// pane 1; pushing it right puts the others into pane 0 and it alone into
// pane 1. The other pane may be empty. None for up, down, or an index outside
// the tabs.
std::optional<FullScreenSplit> expandFullScreenToSplit2(const std::vector<ManagedWindow>& windows, int movingIndex,
                                                        PaneMoveDirection direction);

}  // namespace tessarapane::PaneMove
