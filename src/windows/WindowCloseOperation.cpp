#include "windows/WindowCloseOperation.h"

#include <utility>

#include "tasks/DelayedAction.h"
#include "windows/WindowCloseRun.h"

namespace tessarapane {

WindowCloseOperation::WindowCloseOperation(std::shared_ptr<detail::CloseRun> run, DelayedTask task)
    : run_(std::move(run)), task_(std::move(task)) {}

WindowCloseOperation::~WindowCloseOperation() = default;

WindowCloseOperation::WindowCloseOperation(WindowCloseOperation&& other) noexcept
    : run_(std::move(other.run_)), task_(std::move(other.task_)), cancelled_(other.cancelled_) {}

WindowCloseOperation& WindowCloseOperation::operator=(WindowCloseOperation&& other) noexcept {
  if (this != &other) {
    task_.cancel();  // before its state goes
    run_ = std::move(other.run_);
    task_ = std::move(other.task_);
    cancelled_ = other.cancelled_;
  }
  return *this;
}

void WindowCloseOperation::cancel() {
  if (cancelled_ || !task_.isPending() || !run_) return;
  cancelled_ = true;
  task_.cancel();
  const WindowCloseResult outcome = run_->resultOfCancelledWait();
  // Answered on the next turn, so whoever cancels is never called back from
  // inside cancel().
  task_ = runAfter(run_->scheduler(), run_,
                   DelayedAction<detail::CloseRun>{
                       .delay = 0.0,
                       .action = [outcome](detail::CloseRun& run) { run.deliver(outcome); },
                       .stillWanted = nullptr,
                       .onEnd = nullptr,
                   });
}

}  // namespace tessarapane
