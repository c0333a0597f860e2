#pragma once

#include <optional>
#include <string>
#include <vector>

#include "coordinator/LayoutPause.h"
#include "geometry/Rect.h"
#include "layout/LayoutKind.h"
#include "platform/ManagedWindow.h"
#include "platform/Screens.h"

namespace tessarapane {

// What is running, as a value: the tray menu, `ctl state` and the tests read
// this and never the coordinator's own state. Window and tile frames are where
// the layout puts the windows, in the platform's top-left-origin space; strip
// frames are where the strips are drawn, in the toolkit's space.
struct LayoutSnapshot {
  struct Window {
    WindowID id = 0;
    ProcessID pid = 0;
    std::string title;
    std::string appName;
    static Window of(const ManagedWindow& window);
    bool operator==(const Window&) const = default;
  };

  struct Pane {
    Rect windowFrame;
    Rect stripFrame;
    std::vector<Window> windows;
    // -1 when the pane is empty.
    int selectedIndex = -1;
    bool operator==(const Pane&) const = default;
  };

  struct Tile {
    Window window;
    Rect frame;
    bool operator==(const Tile&) const = default;
  };

  enum class Family { none, tabs, grid };

  Family family = Family::none;
  // The tab layout's kind; empty for the grid and without a layout.
  std::optional<LayoutKind> kind;
  DisplayID displayID = 0;
  // The pane keyboard moves start from.
  int focusedPane = 0;
  std::vector<Pane> panes;
  // In leaf order.
  std::vector<Tile> tiles;
  // In the order kAllLayoutPauseReasons lists them.
  std::vector<LayoutPause::Reason> pauseReasons;
  // Windows waiting to settle before they join, and windows whose frame is
  // being written again until it holds; both in ascending id order.
  std::vector<WindowID> adopting;
  std::vector<WindowID> enforcing;

  bool isRunning() const { return family != Family::none; }
  bool isPaused() const { return !pauseReasons.empty(); }
  // "grid", the tab layout's raw value, or "" without a layout.
  std::string kindName() const;
  // Every managed window: the panes' in pane and tab order, or the tiles'.
  std::vector<WindowID> windowIDs() const;
  bool operator==(const LayoutSnapshot&) const = default;
};

}  // namespace tessarapane
