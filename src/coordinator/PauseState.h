#pragma once

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "coordinator/LayoutPause.h"
#include "tasks/DelayedTask.h"

namespace tessarapane {

// Why maintenance is paused, and the resume passes scheduled once the last
// reason ended.
class PauseState {
 public:
  // Resume passes after a pause, measured from when the resume was scheduled.
  static constexpr std::array<double, 3> kResumeDelays = {1.5, 3.0, 6.0};

  bool isPaused() const { return pause_.isPaused(); }
  bool holds(LayoutPause::Reason reason) const { return pause_.reasons.contains(reason); }

  // Cancels a pending resume; true when this is the first reason.
  bool begin(LayoutPause::Reason reason) {
    resume_.reset();
    const bool started = pause_.reasons.empty();
    pause_.reasons.insert(reason);
    return started;
  }
  // True when this was the last reason.
  bool end(LayoutPause::Reason reason) { return pause_.reasons.erase(reason) != 0 && pause_.reasons.empty(); }
  // True when any reason held.
  bool endAll() {
    const bool resumed = !pause_.reasons.empty();
    pause_.reasons.clear();
    return resumed;
  }

  void resume(DelayedTask task) { resume_ = std::move(task); }
  void resumeFinished() { resume_.reset(); }
  void cancelResume() { resume_.reset(); }

 private:
  LayoutPause pause_;
  std::optional<DelayedTask> resume_;
};

}  // namespace tessarapane
