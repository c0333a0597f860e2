#include "tasks/DelayedTask.h"

#include <utility>

namespace tessarapane {

DelayedTask& DelayedTask::operator=(DelayedTask&& other) noexcept {
  if (this != &other) {
    cancel();
    state_ = std::move(other.state_);
  }
  return *this;
}

void DelayedTask::cancel() {
  if (!isPending()) return;
  state_->cancelled = true;
  // Taken out before anything is destroyed: the captures of the dropped
  // callbacks may cancel other tasks on their way out. A step that is
  // running now was already taken out by the loop and finishes normally.
  auto wait = std::move(state_->wait);
  auto turn = std::move(state_->turn);
  auto onEnd = std::move(state_->onEnd);
  auto endHook = std::move(state_->endHook);
  wait.cancel();
}

}  // namespace tessarapane
