#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>

#include "platform/ManagedWindow.h"
#include "platform/Scheduler.h"
#include "tasks/NextWait.h"
#include "windows/WindowCloseResult.h"
#include "windows/WindowController.h"

namespace tessarapane::detail {

// The state of one close operation between its waits. Owned by the
// operation's handle; its delayed task holds it weakly.
struct CloseRun {
  enum class Phase { attempting, confirming };

  CloseRun(WindowController controller, ManagedWindow window, std::function<void(WindowCloseResult)> completion);

  // One wake-up: attempts until one needs a wait or gives a result, or one
  // confirmation sample. Sets `result` when the operation is over.
  NextWait step();
  // What the operation gives when its current wait is cancelled.
  WindowCloseResult resultOfCancelledWait() const;
  // Hands the result to the completion, once.
  void deliver(WindowCloseResult outcome);

  const std::shared_ptr<Scheduler>& scheduler() const { return controller.scheduler_; }

  WindowController controller;
  ManagedWindow window;
  std::function<void(WindowCloseResult)> completion;
  Phase phase = Phase::attempting;
  std::size_t attempts = 0;
  double deadline = 0.0;
  std::optional<WindowCloseResult> result;
};

}  // namespace tessarapane::detail
