#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/Scheduler.h"
#include "platform/Subscription.h"

namespace tessarapane {

// Fire-and-forget timers on the desktop's scheduler. The handles are kept
// here until the timer has run (or this object is gone), so a timer never
// dies with a temporary handle. Actions must re-check what they act on.
class SimTimers {
 public:
  explicit SimTimers(std::shared_ptr<Scheduler> scheduler);

  // Zero or less runs on a later turn of the main loop, never inside this call.
  void after(double delay, std::function<void()> action);

  std::size_t pendingCount() const;

 private:
  struct State {
    std::map<std::uint64_t, Subscription> pending;
    std::vector<std::uint64_t> fired;
    std::uint64_t nextID = 1;
  };

  void pruneFired();

  std::shared_ptr<Scheduler> scheduler_;
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

// Handlers of one kind of desktop notification. Each notification is
// delivered on a later turn of the main loop, only to handlers still
// subscribed at that moment.
template <typename... Args>
class SimSubscribers {
 public:
  using Handler = std::function<void(Args...)>;

  explicit SimSubscribers(std::shared_ptr<Scheduler> scheduler) : scheduler_(std::move(scheduler)) {}

  Subscription add(Handler handler) {
    const std::uint64_t id = state_->nextID++;
    state_->handlers.emplace(id, std::move(handler));
    std::weak_ptr<State> weak = state_;
    return Subscription([weak, id] {
      if (auto state = weak.lock()) state->handlers.erase(id);
    });
  }

  void post(Args... args) {
    std::weak_ptr<State> weak = state_;
    for (const auto& entry : state_->handlers) {
      const std::uint64_t id = entry.first;
      scheduler_->postToMainThread([weak, id, args...] {
        auto state = weak.lock();
        if (!state) return;
        auto found = state->handlers.find(id);
        if (found == state->handlers.end()) return;
        Handler handler = found->second;  // the handler may cancel itself
        handler(args...);
      });
    }
  }

  std::size_t size() const { return state_->handlers.size(); }

 private:
  struct State {
    std::map<std::uint64_t, Handler> handlers;
    std::uint64_t nextID = 1;
  };

  std::shared_ptr<Scheduler> scheduler_;
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace tessarapane
