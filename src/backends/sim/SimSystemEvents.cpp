#include "backends/sim/SimSystemEvents.h"

#include <utility>

namespace tessarapane {

SimSystemEvents::SimSystemEvents(std::shared_ptr<SimDesktop> desktop) : desktop_(std::move(desktop)) {}

Subscription SimSystemEvents::subscribe(std::function<void(SystemEvent)> handler) {
  return desktop_->subscribeSystemEvents(std::move(handler));
}

}  // namespace tessarapane
