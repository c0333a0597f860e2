#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Scheduler.h"
#include "tasks/DelayedTask.h"
#include "tasks/TaskSteps.h"

namespace tessarapane {

enum class WalkStep { next, stop };

// What each delay of a table is measured from.
enum class DelaysFrom {
  previousStep,  // wait delay[i] after step i-1 (retry tables)
  start,         // step i falls delay[i] after the walk began (resume passes)
};

template <class Owner>
struct Walk {
  std::vector<double> delays{};
  DelaysFrom from = DelaysFrom::previousStep;
  // Step i runs after delay i; `next` goes on to the next delay.
  std::function<WalkStep(Owner&, std::size_t index)> step{};
  // Checked after every wait, before the step; false ends with notWanted.
  std::function<bool(Owner&)> stillWanted{};
  // finished after the last step, stopped when a step said stop, ownerGone,
  // notWanted. Never after cancel().
  std::function<void(TaskEnd)> onEnd{};
};

// Walks a delay table: wait delay 0, check, step 0, wait delay 1, check,
// step 1, … A zero delay still yields to the main loop once (the first step
// never runs inside this call). An empty table ends finished on the next turn
// without a step. No step or no scheduler: an empty handle.
template <OwnerPointer P>
DelayedTask walkDelays(const std::shared_ptr<Scheduler>& scheduler, const P& owner,
                       Walk<typename P::element_type> walk) {
  using Owner = typename P::element_type;
  if (!scheduler || !walk.step) return {};
  const double start = scheduler->now();
  const double firstDelay = walk.delays.empty() ? 0.0 : walk.delays.front();
  auto body = [step = std::move(walk.step), delays = std::move(walk.delays), from = walk.from, start,
               index = std::size_t{0}](Owner& self, double) mutable -> NextWait {
    if (index >= delays.size()) return NextWait::end(TaskEnd::finished);
    const std::size_t current = index++;
    if (step(self, current) == WalkStep::stop) return NextWait::end(TaskEnd::stopped);
    if (index >= delays.size()) return NextWait::end(TaskEnd::finished);
    return from == DelaysFrom::start ? NextWait::until(start + delays[index]) : NextWait::after(delays[index]);
  };
  return detail::startLoop(
      scheduler, firstDelay,
      detail::guardedTurn<Owner>(std::weak_ptr<Owner>(owner), std::move(walk.stillWanted), std::move(body)),
      std::move(walk.onEnd));
}

}  // namespace tessarapane
