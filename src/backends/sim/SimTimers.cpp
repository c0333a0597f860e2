#include "backends/sim/SimTimers.h"

#include <utility>

namespace tessarapane {

SimTimers::SimTimers(std::shared_ptr<Scheduler> scheduler) : scheduler_(std::move(scheduler)) {}

void SimTimers::after(double delay, std::function<void()> action) {
  pruneFired();
  const std::uint64_t id = state_->nextID++;
  std::weak_ptr<State> weak = state_;
  state_->pending.emplace(id, scheduler_->scheduleOnce(delay, [weak, id, action = std::move(action)] {
    action();
    // Only noted here; the handle is dropped later, outside this timer's run.
    if (auto state = weak.lock()) state->fired.push_back(id);
  }));
}

std::size_t SimTimers::pendingCount() const { return state_->pending.size() - state_->fired.size(); }

void SimTimers::pruneFired() {
  for (std::uint64_t id : std::exchange(state_->fired, {})) state_->pending.erase(id);
}

}  // namespace tessarapane
