#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "platform/ManagedWindow.h"
#include "platform/Scheduler.h"
#include "tasks/TaskTable.h"

namespace tessarapane {

// Writes a window's frame again, on a falling schedule, until it holds: an
// application restoring its own state may move a window back right after the
// layout placed it. At most one enforcement per window.
class FrameEnforcement {
 public:
  // Each waited after the last write.
  static constexpr std::array<double, 7> kDelays = {0.0, 0.05, 0.12, 0.25, 0.45, 0.75, 1.2};

  struct Hooks {
    // Writes the window's frame once; true when nothing more needs doing.
    std::function<bool(WindowID)> enforce;
    // False once the layout has ended: the enforcement stops.
    std::function<bool()> stillWanted;
  };

  FrameEnforcement(std::shared_ptr<Scheduler> scheduler, Hooks hooks)
      : scheduler_(std::move(scheduler)), hooks_(std::make_shared<Hooks>(std::move(hooks))) {}

  // Starts over for the window: the first write on the next turn.
  void schedule(WindowID windowID);
  bool contains(WindowID windowID) const { return tasks_.contains(windowID); }
  void cancel(WindowID windowID) { tasks_.cancel(windowID); }
  void cancelAll() { tasks_.cancelAll(); }
  std::vector<WindowID> windowIDs() const { return tasks_.keys(); }

 private:
  std::shared_ptr<Scheduler> scheduler_;
  // The tasks' owner: they end with this object.
  std::shared_ptr<Hooks> hooks_;
  TaskTable<WindowID> tasks_;
};

}  // namespace tessarapane
