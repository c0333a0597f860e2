#pragma once

#include <vector>

#include "layout/PaneGeometry.h"
#include "platform/ManagedWindow.h"

namespace tessarapane {

// One pane of a running tab layout: its rectangles, its tabs left to right, the
// tab on show and the most-recently-selected-first history of its windows.
// After every operation below a non-empty pane has a valid selectedIndex. The
// history may name windows that have left the pane; readers ignore them.
struct PaneState {
  PaneGeometry geometry;
  std::vector<ManagedWindow> windows;
  int selectedIndex = 0;
  std::vector<WindowID> activationHistory;

  // A new pane: the first tab selected and the only one in the history.
  static PaneState withWindows(const PaneGeometry& geometry, std::vector<ManagedWindow> windows);

  // Selects the tab at `index` and records it as most recent; an index outside
  // the tabs changes nothing.
  void selectWindow(int index);

  // Called after the window `windowID` has been taken out of `windows` at
  // `index`: forgets it and selects the most recently used remaining tab, or the
  // tab that slid into its place (or the new last tab) without usable history.
  void selectAfterRemoving(WindowID windowID, int index);

  // The window IDs of the tabs, in tab order.
  std::vector<WindowID> windowIDs() const;
};

}  // namespace tessarapane
