#pragma once

#include <functional>
#include <memory>

#include "platform/Scheduler.h"
#include "tasks/DelayedTask.h"
#include "tasks/TaskSteps.h"

namespace tessarapane {

template <class Owner>
struct DelayedAction {
  double delay = 0.0;
  std::function<void(Owner&)> action{};
  // Checked after the wait, before the action; false ends with notWanted.
  std::function<bool(Owner&)> stillWanted{};
  // finished once the action ran, ownerGone, notWanted. Never after cancel().
  std::function<void(TaskEnd)> onEnd{};
};

// One wait, the checks, then the action. A zero delay still yields to the
// main loop once. No action or no scheduler: an empty handle.
template <OwnerPointer P>
DelayedTask runAfter(const std::shared_ptr<Scheduler>& scheduler, const P& owner,
                     DelayedAction<typename P::element_type> once) {
  using Owner = typename P::element_type;
  if (!once.action) return {};
  auto body = [action = std::move(once.action)](Owner& self, double) {
    action(self);
    return NextWait::end(TaskEnd::finished);
  };
  return detail::startLoop(
      scheduler, once.delay,
      detail::guardedTurn<Owner>(std::weak_ptr<Owner>(owner), std::move(once.stillWanted), std::move(body)),
      std::move(once.onEnd));
}

}  // namespace tessarapane
