#pragma once

#include <concepts>
#include <functional>
#include <memory>

#include "platform/Scheduler.h"
#include "tasks/DelayedTask.h"
#include "tasks/NextWait.h"
#include "tasks/TaskEnd.h"

namespace tessarapane {

// A task's owner is handed over as a shared_ptr or weak_ptr and always held
// weakly: a task that outlives its owner does nothing.
template <class P>
concept OwnerPointer = requires(const P& p) {
  std::weak_ptr<typename P::element_type>(p);
};

// A hand-written sequence of waits and steps, for schedules the walk, the
// poll and the delayed action do not cover (a retry walk that turns into a
// confirmation poll, say).
template <class Owner>
struct Steps {
  double firstDelay = 0.0;
  std::function<NextWait(Owner&)> step{};
  // Checked after every wait, before the step; false ends with notWanted.
  std::function<bool(Owner&)> stillWanted{};
  // Called once when the task ends by itself; never after cancel().
  std::function<void(TaskEnd)> onEnd{};
};

namespace detail {

// Starts the loop: after `firstDelay`, and then after each wait that `turn`
// asks for, calls `turn` (with the scheduler's time) unless cancelled. No
// scheduler or no turn: an empty handle.
DelayedTask startLoop(const std::shared_ptr<Scheduler>& scheduler, double firstDelay,
                      std::function<NextWait(double now)> turn, std::function<void(TaskEnd)> onEnd);

// Wraps a step with the checks made after every wait: the owner still
// exists, and the caller still wants the work done.
template <class Owner, class Body>
std::function<NextWait(double)> guardedTurn(std::weak_ptr<Owner> owner, std::function<bool(Owner&)> stillWanted,
                                            Body body) {
  return [owner = std::move(owner), stillWanted = std::move(stillWanted),
          body = std::move(body)](double now) mutable -> NextWait {
    // Held for the step's length, so the owner cannot vanish under it.
    const std::shared_ptr<Owner> self = owner.lock();
    if (!self) return NextWait::end(TaskEnd::ownerGone);
    if (stillWanted && !stillWanted(*self)) return NextWait::end(TaskEnd::notWanted);
    return body(*self, now);
  };
}

}  // namespace detail

template <OwnerPointer P>
DelayedTask runSteps(const std::shared_ptr<Scheduler>& scheduler, const P& owner,
                     Steps<typename P::element_type> steps) {
  using Owner = typename P::element_type;
  if (!steps.step) return {};
  auto body = [step = std::move(steps.step)](Owner& self, double) { return step(self); };
  return detail::startLoop(
      scheduler, steps.firstDelay,
      detail::guardedTurn<Owner>(std::weak_ptr<Owner>(owner), std::move(steps.stillWanted), std::move(body)),
      std::move(steps.onEnd));
}

}  // namespace tessarapane
