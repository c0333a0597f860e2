#pragma once

#include <memory>

#include "tasks/DelayedTask.h"
#include "windows/WindowCloseResult.h"

namespace tessarapane {

namespace detail {
struct CloseRun;
}

// The handle of one WindowController::close. Move-only; it owns the
// operation.
//
// cancel() ends the wait under way: the completion then receives, on the
// next turn of the main loop, what a cancelled wait gives —
// temporarilyUnavailable while retrying, requested while confirming — and
// no further attempt is made. Destroying the handle drops the operation
// silently: whoever lets go of it no longer wants an answer.
class WindowCloseOperation {
 public:
  WindowCloseOperation() = default;
  WindowCloseOperation(std::shared_ptr<detail::CloseRun> run, DelayedTask task);
  ~WindowCloseOperation();

  WindowCloseOperation(WindowCloseOperation&&) noexcept;
  WindowCloseOperation& operator=(WindowCloseOperation&&) noexcept;
  WindowCloseOperation(const WindowCloseOperation&) = delete;
  WindowCloseOperation& operator=(const WindowCloseOperation&) = delete;

  void cancel();
  bool isCancelled() const { return cancelled_; }
  // The completion has yet to run.
  bool isPending() const { return task_.isPending(); }

 private:
  // Declared first so the task goes before the state it refers to.
  std::shared_ptr<detail::CloseRun> run_;
  DelayedTask task_;
  bool cancelled_ = false;
};

}  // namespace tessarapane
