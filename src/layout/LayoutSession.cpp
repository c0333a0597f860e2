#include "layout/LayoutSession.h"

#include <algorithm>

namespace tessarapane {

LayoutSession::LayoutSession(LayoutKind kind, const Screen& screen, const WindowsByPane& windowsByPane,
                             const std::vector<PaneGeometry>& geometries)
    : kind(kind), screen(screen), displayID(screen.displayID) {
  for (const auto& windows : windowsByPane) {
    for (const ManagedWindow& window : windows) originalFrames[window.windowID] = window.frame;
  }
  const std::size_t count = std::min(windowsByPane.size(), geometries.size());
  panes.reserve(count);
  for (std::size_t index = 0; index < count; ++index) {
    panes.push_back(PaneState::withWindows(geometries[index], windowsByPane[index]));
  }
  panels.resize(count);
}

std::vector<ManagedWindow> LayoutSession::allWindows() const {
  std::vector<ManagedWindow> windows;
  for (const PaneState& pane : panes) windows.insert(windows.end(), pane.windows.begin(), pane.windows.end());
  return windows;
}

}  // namespace tessarapane
