#include "layout/TabFocus.h"

namespace tessarapane::TabFocus {

namespace {

bool hasValidSelection(const PaneState& pane) {
  return pane.selectedIndex >= 0 && static_cast<std::size_t>(pane.selectedIndex) < pane.windows.size();
}

}  // namespace

std::optional<Target> moveTarget(const std::vector<PaneState>& panes, const std::optional<ManagedWindow>& focusedWindow,
                                 std::optional<int> lastFocusedPaneIndex) {
  if (focusedWindow) {
    for (std::size_t p = 0; p < panes.size(); ++p) {
      const std::vector<ManagedWindow>& windows = panes[p].windows;
      for (std::size_t t = 0; t < windows.size(); ++t) {
        if (windows[t].ownerPID == focusedWindow->ownerPID && windows[t].element == focusedWindow->element) {
          return Target{static_cast<int>(p), static_cast<int>(t)};
        }
      }
    }
  }
  if (lastFocusedPaneIndex && *lastFocusedPaneIndex >= 0 &&
      static_cast<std::size_t>(*lastFocusedPaneIndex) < panes.size()) {
    const PaneState& pane = panes[static_cast<std::size_t>(*lastFocusedPaneIndex)];
    if (hasValidSelection(pane)) return Target{*lastFocusedPaneIndex, pane.selectedIndex};
  }
  for (std::size_t p = panes.size(); p-- > 0;) {
    if (hasValidSelection(panes[p])) return Target{static_cast<int>(p), panes[p].selectedIndex};
  }
  return std::nullopt;
}

}  // namespace tessarapane::TabFocus
