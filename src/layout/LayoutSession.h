#pragma once

#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

#include "geometry/Rect.h"
#include "layout/LayoutEngine.h"
#include "layout/LayoutKind.h"
#include "layout/PaneGeometry.h"
#include "layout/PaneState.h"
#include "platform/ManagedWindow.h"
#include "platform/Screens.h"

namespace tessarapane {

// Drawn by the chrome layer; the session only keeps the panels it was given.
class PaneTabBarPanel;

// One running tab layout. Shared by the coordinator and the closures of its
// delayed tasks; the coordinator is its only writer, on the main thread.
//
// `panes` and `panels` always have the same length, the pane count of
// `kind`, and change length only together with `kind` (the full-screen
// split). A window ID occurs in at most one pane, at most once.
class LayoutSession {
 public:
  // Builds the session from one window list per pane and the matching
  // geometries; the number of panes is the smaller of the two lengths. Every
  // given window's recorded frame becomes its original frame.
  LayoutSession(LayoutKind kind, const Screen& screen, const WindowsByPane& windowsByPane,
                const std::vector<PaneGeometry>& geometries);

  // Every window of every pane, in pane order and tab order.
  std::vector<ManagedWindow> allWindows() const;

  LayoutKind kind;
  Screen screen;
  DisplayID displayID;
  // Accessibility space; written back when the layout is left.
  std::unordered_map<WindowID, Rect> originalFrames;
  std::vector<PaneState> panes;
  std::vector<std::shared_ptr<PaneTabBarPanel>> panels;
  int lastFocusedPaneIndex = 0;
  // Windows that joined on their own and that the user has not selected or
  // moved yet.
  std::set<WindowID> autoJoinedWindowIDs;
};

}  // namespace tessarapane
