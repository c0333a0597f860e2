#include "coordinator/SettledAdoption.h"

#include <cmath>
#include <utility>

#include "tasks/PollLoop.h"

namespace tessarapane {

namespace {

// Sum of the differences of the four edges' numbers, the settling measure.
double frameDelta(const Rect& a, const Rect& b) {
  return std::abs(a.minX() - b.minX()) + std::abs(a.minY() - b.minY()) + std::abs(a.width() - b.width()) +
         std::abs(a.height() - b.height());
}

}  // namespace

void SettledAdoption::schedule(const ManagedWindow& window) {
  const Rect firstFrame = hooks_->liveFrame(window).value_or(window.frame);
  std::weak_ptr<Hooks> weak = hooks_;
  DelayedTask task =
      pollUntil(scheduler_, hooks_,
                Poll<Hooks>{
                    .interval = kSampleInterval,
                    .timeout = kTimeout,
                    .sample =
                        [window, lastFrame = firstFrame, quietSamples = 0](Hooks& hooks) mutable {
                          if (hooks.isGone(window)) return PollAnswer::giveUp;
                          const Rect frame = hooks.liveFrame(window).value_or(lastFrame);
                          // A window the user is dragging is not settled, however
                          // still it holds.
                          if (hooks.isPrimaryMouseButtonDown()) {
                            quietSamples = 0;
                          } else if (frameDelta(frame, lastFrame) <= kMaximumDelta) {
                            ++quietSamples;
                          } else {
                            quietSamples = 0;
                          }
                          lastFrame = frame;
                          return quietSamples >= kQuietSamplesNeeded ? PollAnswer::satisfied : PollAnswer::notYet;
                        },
                    .stillWanted = [](Hooks& hooks) { return hooks.stillWanted(); },
                    .onEnd =
                        [weak, window](TaskEnd end) {
                          if (end != TaskEnd::satisfied && end != TaskEnd::deadlinePassed) return;
                          if (const auto hooks = weak.lock()) hooks->settled(window);
                        },
                });
  tasks_.start(window.windowID, std::move(task));
}

}  // namespace tessarapane
