#include "tasks/TaskSteps.h"

#include <utility>

namespace tessarapane {

namespace {

using detail::TaskState;

void runTurn(std::shared_ptr<TaskState> state);

void arm(const std::shared_ptr<TaskState>& state, double delay) {
  const auto scheduler = state->scheduler.lock();
  if (!scheduler) {
    // No main loop left to wake us: drop the work, as the scheduler's own
    // timers were dropped.
    state->turn = nullptr;
    state->onEnd = nullptr;
    state->endHook = nullptr;
    return;
  }
  state->wait = scheduler->scheduleOnce(delay, [state] { runTurn(state); });
}

void finish(const std::shared_ptr<TaskState>& state, TaskEnd how) {
  state->ended = true;
  auto endHook = std::move(state->endHook);
  auto onEnd = std::move(state->onEnd);
  // The table lets go first, so an end callback that starts the next task
  // under the same key is not undone.
  if (endHook) endHook();
  if (onEnd) onEnd(how);
}

void runTurn(std::shared_ptr<TaskState> state) {
  if (state->cancelled || state->ended) return;
  const auto scheduler = state->scheduler.lock();
  if (!scheduler) return;
  // Owned here while it runs, so a cancel() from inside cannot destroy it.
  auto turn = std::move(state->turn);
  if (!turn) return;
  const NextWait next = turn(scheduler->now());
  if (state->cancelled) return;
  if (next.ends()) {
    finish(state, next.how());
    return;
  }
  state->turn = std::move(turn);
  arm(state, next.delayFrom(scheduler->now()));
}

}  // namespace

namespace detail {

DelayedTask startLoop(const std::shared_ptr<Scheduler>& scheduler, double firstDelay,
                      std::function<NextWait(double now)> turn, std::function<void(TaskEnd)> onEnd) {
  if (!scheduler || !turn) return {};
  auto state = std::make_shared<TaskState>();
  state->scheduler = scheduler;
  state->turn = std::move(turn);
  state->onEnd = std::move(onEnd);
  arm(state, firstDelay);
  return TaskAccess::make(std::move(state));
}

}  // namespace detail

}  // namespace tessarapane
