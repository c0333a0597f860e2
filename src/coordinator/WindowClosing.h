#pragma once

#include <set>

#include "platform/ManagedWindow.h"
#include "tasks/DelayedTask.h"
#include "tasks/TaskTable.h"

namespace tessarapane {

// The windows a tab's close button asked to close: the request waiting for
// its answer and the check after it (one task per window), the windows asked
// to close that have not gone yet (never adopted again meanwhile), and those
// known to be gone (dropped at the next refresh).
class WindowClosing {
 public:
  bool isWaiting(WindowID windowID) const { return tasks_.contains(windowID); }
  void start(WindowID windowID, DelayedTask task) { tasks_.start(windowID, std::move(task)); }
  void cancel(WindowID windowID) { tasks_.cancel(windowID); }
  void cancelAll() { tasks_.cancelAll(); }

  void requested(WindowID windowID) { closing_.insert(windowID); }
  // Still open (a prompt inside the window): an ordinary window again.
  void stillOpen(WindowID windowID) { closing_.erase(windowID); }
  void destroyed(WindowID windowID) { destroyed_.insert(windowID); }
  bool isClosing(WindowID windowID) const { return closing_.count(windowID) != 0; }
  bool isDestroyed(WindowID windowID) const { return destroyed_.count(windowID) != 0; }
  // The window left the layout.
  void forget(WindowID windowID) {
    closing_.erase(windowID);
    destroyed_.erase(windowID);
  }
  // A layout starts or ends.
  void clear() {
    closing_.clear();
    destroyed_.clear();
  }

 private:
  TaskTable<WindowID> tasks_;
  std::set<WindowID> closing_;
  std::set<WindowID> destroyed_;
};

}  // namespace tessarapane
