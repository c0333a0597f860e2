#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/ManagedWindow.h"
#include "platform/Scheduler.h"
#include "tasks/TaskTable.h"

namespace tessarapane {

// Delayed tasks kept one per window that call back through `Hooks`. The
// hooks are the tasks' owner, so the tasks end with this object.
template <class Hooks>
class WindowTasks {
 public:
  bool contains(WindowID windowID) const { return tasks_.contains(windowID); }
  void cancel(WindowID windowID) { tasks_.cancel(windowID); }
  void cancelAll() { tasks_.cancelAll(); }
  std::vector<WindowID> windowIDs() const { return tasks_.keys(); }

 protected:
  WindowTasks(std::shared_ptr<Scheduler> scheduler, Hooks hooks)
      : scheduler_(std::move(scheduler)), hooks_(std::make_shared<Hooks>(std::move(hooks))) {}

  std::shared_ptr<Scheduler> scheduler_;
  std::shared_ptr<Hooks> hooks_;
  TaskTable<WindowID> tasks_;
};

}  // namespace tessarapane
