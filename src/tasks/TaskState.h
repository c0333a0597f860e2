#pragma once

#include <functional>
#include <memory>

#include "platform/Scheduler.h"
#include "platform/Subscription.h"
#include "tasks/NextWait.h"
#include "tasks/TaskEnd.h"

namespace tessarapane {

namespace detail {

// What a DelayedTask handle and its scheduled wake-ups share. Only the task
// machinery touches it.
struct TaskState {
  std::weak_ptr<Scheduler> scheduler;  // weak: the scheduler holds our wake-up
  std::function<NextWait(double now)> turn;
  std::function<void(TaskEnd)> onEnd;
  std::function<void()> endHook;  // table bookkeeping, runs before onEnd
  Subscription wait;              // the pending wake-up
  bool cancelled = false;
  bool ended = false;
};

// Lets the task machinery make handles and look into them without making that
// part of the handle's public face.
struct TaskAccess;

}  // namespace detail

}  // namespace tessarapane
