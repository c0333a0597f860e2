#pragma once

#include <unordered_map>
#include <vector>

#include "coordinator/LayoutSnapshot.h"
#include "geometry/Rect.h"
#include "layout/RememberedLayout.h"
#include "platform/ManagedWindow.h"

namespace tessarapane {

class GridLayoutRun;
class LayoutCoordinator;
class TabLayoutRun;

// The layout that runs, of either family, as the coordinator drives it: one
// object per started layout, made when it starts and dropped when it ends.
// Every operation first checks that this layout still runs where an earlier
// step may have ended it, so callers hold it by a shared pointer of their own
// for the length of the call.
//
// It reaches the coordinator's shared services (window controller, indexer,
// enforcement, restacking, adoption) through the coordinator it was made by,
// which outlives it.
class RunningLayout {
 public:
  virtual ~RunningLayout() = default;

  RunningLayout(const RunningLayout&) = delete;
  RunningLayout& operator=(const RunningLayout&) = delete;

  // Puts every window on its place and raises them, right at the start.
  virtual void applyInitialFrames() = 0;
  // The strips or the divider handles, a turn after the start.
  virtual void installChrome() = 0;
  // What the next launch brings back.
  virtual RememberedLayout remembered() const = 0;

  // Lets go of full-screen windows and drops closed ones; with
  // `discoverNewWindows`, starts settled adoption for windows not yet held.
  virtual void refresh(bool discoverNewWindows) = 0;
  // The system focus moved to another window.
  virtual void focusChanged() = 0;
  // A window that has settled joins the layout.
  virtual void adopt(const ManagedWindow& window) = 0;
  // After a close request: drops the windows now known to be closed.
  virtual void dropClosedWindows() = 0;
  // Lays the layout out again on its display after the displays changed or
  // a pause ended.
  virtual void relayout() = 0;
  virtual void refreshTitles() = 0;
  // Writes the window's frame once; true when nothing more needs doing.
  virtual bool enforceFrame(WindowID windowID) = 0;
  // The floating chrome stays above windows just raised.
  virtual void bringChromeToFront() {}
  // Closes the chrome and, unless kept, writes the original frames back.
  virtual void exit(bool restoringFrames) = 0;

  // Every held window, in pane and tab order or in leaf order.
  virtual std::vector<ManagedWindow> managedWindows() const = 0;
  // The windows on show: each pane's selected one, or every tile.
  virtual std::vector<ManagedWindow> visibleWindows() const = 0;
  // Accessibility space; where the windows go back when the layout ends.
  virtual const std::unordered_map<WindowID, Rect>& originalFrames() const = 0;
  // The family, display, panes or tiles.
  virtual void describe(LayoutSnapshot& snapshot) const = 0;

  virtual TabLayoutRun* tabs() { return nullptr; }
  virtual GridLayoutRun* grid() { return nullptr; }

 protected:
  explicit RunningLayout(LayoutCoordinator& coordinator) : coordinator_(coordinator) {}

  // False once an earlier step ended or replaced this layout.
  bool isCurrent() const;

  LayoutCoordinator& coordinator_;
};

}  // namespace tessarapane
