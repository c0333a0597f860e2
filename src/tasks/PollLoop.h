#pragma once

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

#include "platform/Scheduler.h"
#include "tasks/DelayedTask.h"
#include "tasks/TaskSteps.h"

namespace tessarapane {

// Differences of time below this count as equal, so that summed float
// intervals reach the deadline they are meant to reach (0.6 s in steps of
// 0.06 s is ten steps, not eleven).
inline constexpr double kTaskTimeTolerance = 1e-9;

enum class PollAnswer { notYet, satisfied, giveUp };

template <class Owner>
struct Poll {
  double interval = 0.0;
  // Measured from the start (not a number: already spent); the default
  // polls until cancelled.
  double timeout = std::numeric_limits<double>::infinity();
  std::function<PollAnswer(Owner&)> sample{};
  // Checked after every wait, before the sample; false ends with notWanted.
  std::function<bool(Owner&)> stillWanted{};
  // satisfied, stopped (a sample gave up), deadlinePassed, ownerGone,
  // notWanted. Never after cancel().
  std::function<void(TaskEnd)> onEnd{};
};

// Waits `interval`, then samples every `interval` until a sample is
// satisfied or gives up, or the deadline (start + timeout) is reached: a
// sample taken at or after the deadline is the last one. With a timeout
// already spent at the start, it ends deadlinePassed on the next turn
// without a sample.
// An interval that is not a positive number, no sample or no scheduler:
// an empty handle.
template <OwnerPointer P>
DelayedTask pollUntil(const std::shared_ptr<Scheduler>& scheduler, const P& owner,
                      Poll<typename P::element_type> poll) {
  using Owner = typename P::element_type;
  if (!scheduler || !poll.sample || !(poll.interval > 0.0) ||
      poll.interval == std::numeric_limits<double>::infinity()) {
    return {};
  }
  const double timeout = std::isnan(poll.timeout) ? 0.0 : poll.timeout;
  const double deadline = scheduler->now() + timeout;
  const bool spentAtStart = !(timeout > kTaskTimeTolerance);
  const double firstDelay = spentAtStart ? 0.0 : poll.interval;
  auto body = [sample = std::move(poll.sample), interval = poll.interval, deadline, spentAtStart](
                  Owner& self, double now) -> NextWait {
    if (spentAtStart) return NextWait::end(TaskEnd::deadlinePassed);
    switch (sample(self)) {
      case PollAnswer::satisfied:
        return NextWait::end(TaskEnd::satisfied);
      case PollAnswer::giveUp:
        return NextWait::end(TaskEnd::stopped);
      case PollAnswer::notYet:
        break;
    }
    if (now >= deadline - kTaskTimeTolerance) return NextWait::end(TaskEnd::deadlinePassed);
    return NextWait::after(interval);
  };
  return detail::startLoop(
      scheduler, firstDelay,
      detail::guardedTurn<Owner>(std::weak_ptr<Owner>(owner), std::move(poll.stillWanted), std::move(body)),
      std::move(poll.onEnd));
}

}  // namespace tessarapane
