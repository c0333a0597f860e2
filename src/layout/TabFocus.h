#pragma once

#include <optional>
#include <vector>

#include "layout/PaneState.h"
#include "platform/ManagedWindow.h"

namespace tessarapane::TabFocus {

// A tab of a layout: the pane and the tab's index in it.
struct Target {
  int paneIndex = 0;
  int tabIndex = 0;

  friend bool operator==(const Target&, const Target&) = default;
};

// The tab a keyboard move acts on: the first tab (panes in order, tabs in order)
// showing the focused window (same owner process and same accessibility
// element); else the selected tab of the last focused pane; else the selected
// tab of the highest-indexed pane that has one; else none.
std::optional<Target> moveTarget(const std::vector<PaneState>& panes, const std::optional<ManagedWindow>& focusedWindow,
                                 std::optional<int> lastFocusedPaneIndex);

}  // namespace tessarapane::TabFocus
