#pragma once

#include <functional>
#include <memory>

#include "tasks/TaskEnd.h"
#include "tasks/TaskState.h"

namespace tessarapane {

// The handle of one piece of delayed work on the main thread (a walk over a
// delay table, a poll, a single delayed action; see TaskSteps.h).
//
// Move-only, and it owns the work: cancel() or destroying the handle
// cancels it, so replacing a table entry or an optional field cancels the
// task it held, and a coordinator that goes away takes its tasks with it.
// Cancelling is idempotent and silent: after cancel() no step, check or
// end callback of the task runs any more, even when cancel() is called
// from inside one of them. A default-made handle holds no task.
class DelayedTask {
 public:
  DelayedTask() = default;
  ~DelayedTask() { cancel(); }

  DelayedTask(const DelayedTask&) = delete;
  DelayedTask& operator=(const DelayedTask&) = delete;
  DelayedTask(DelayedTask&& other) noexcept = default;
  DelayedTask& operator=(DelayedTask&& other) noexcept;

  void cancel();

  bool isCancelled() const { return state_ && state_->cancelled; }
  // Ended by itself (see TaskEnd), as opposed to cancelled.
  bool hasEnded() const { return state_ && state_->ended; }
  // Will still wake up: neither cancelled nor ended, and holding a task.
  bool isPending() const { return state_ && !state_->cancelled && !state_->ended; }

 private:
  friend struct detail::TaskAccess;
  explicit DelayedTask(std::shared_ptr<detail::TaskState> state) : state_(std::move(state)) {}

  std::shared_ptr<detail::TaskState> state_;
};

namespace detail {

struct TaskAccess {
  static DelayedTask make(std::shared_ptr<TaskState> state) { return DelayedTask(std::move(state)); }
  static const TaskState* identity(const DelayedTask& task) { return task.state_.get(); }
  // Runs `hook` when the task ends by itself, before its own end callback.
  static void whenEnded(DelayedTask& task, std::function<void()> hook) {
    if (task.isPending()) task.state_->endHook = std::move(hook);
  }
};

}  // namespace detail

}  // namespace tessarapane
