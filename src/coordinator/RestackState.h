#pragma once

#include <optional>
#include <utility>

#include "tasks/DelayedTask.h"

namespace tessarapane {

// What keeps restacking from feeding on itself: the raises it makes report
// focus changes that would restack again. While a restack runs, and for a
// quiet period after one, an unforced restack is skipped; a restack that
// found nothing to do looks again once, a little later.
class RestackState {
 public:
  static constexpr double kQuietPeriod = 0.4;
  static constexpr double kRecheckDelay = 0.12;

  bool isPreservingStack() const { return preserving_; }
  bool isQuiet(double now) const { return suppressedUntil_ && *suppressedUntil_ > now; }
  void begin() { preserving_ = true; }
  void end(double now) {
    suppressedUntil_ = now + kQuietPeriod;
    preserving_ = false;
  }

  void cancelRecheck() { recheck_.reset(); }
  void recheck(DelayedTask task) { recheck_ = std::move(task); }
  void recheckRan() { recheck_.reset(); }
  // Maintenance stopped: no look-again, no quiet period.
  void reset() {
    recheck_.reset();
    suppressedUntil_.reset();
  }

 private:
  bool preserving_ = false;
  std::optional<double> suppressedUntil_;
  std::optional<DelayedTask> recheck_;
};

}  // namespace tessarapane
