#pragma once

#include <memory>

#include "backends/sim/SimDesktop.h"
#include "platform/SystemEvents.h"

namespace tessarapane {

// Sleep, wake, lock and session events the test posts
// (SimDesktop::postSystemEvent), delivered on the next turn of the main loop.
class SimSystemEvents final : public SystemEvents {
 public:
  explicit SimSystemEvents(std::shared_ptr<SimDesktop> desktop);

  Subscription subscribe(std::function<void(SystemEvent)> handler) override;

 private:
  std::shared_ptr<SimDesktop> desktop_;
};

}  // namespace tessarapane
