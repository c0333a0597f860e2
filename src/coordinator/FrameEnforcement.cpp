#include "coordinator/FrameEnforcement.h"

#include <cstddef>
#include <utility>

#include "tasks/DelayWalk.h"

namespace tessarapane {

void FrameEnforcement::schedule(WindowID windowID) {
  tasks_.cancel(windowID);
  DelayedTask task = walkDelays(
      scheduler_, hooks_,
      Walk<Hooks>{
          .delays = std::vector<double>(kDelays.begin(), kDelays.end()),
          .from = DelaysFrom::previousStep,
          .step = [windowID](Hooks& hooks,
                             std::size_t) { return hooks.enforce(windowID) ? WalkStep::stop : WalkStep::next; },
          .stillWanted = [](Hooks& hooks) { return hooks.stillWanted(); },
          .onEnd = nullptr,
      });
  tasks_.start(windowID, std::move(task));
}

}  // namespace tessarapane
