#pragma once

#include <optional>

#include "tasks/TaskEnd.h"

namespace tessarapane {

// What a step asks for after it has run: another wake-up or the end.
class NextWait {
 public:
  // Wait `seconds` from now. Zero or less still yields to the main loop once.
  static NextWait after(double seconds) { return NextWait(seconds, false, std::nullopt); }
  // Wake up at `time` of the scheduler's clock (at once, on the next turn,
  // when that has passed).
  static NextWait until(double time) { return NextWait(time, true, std::nullopt); }
  static NextWait end(TaskEnd how = TaskEnd::stopped) { return NextWait(0.0, false, how); }

  bool ends() const { return end_.has_value(); }
  TaskEnd how() const { return end_.value_or(TaskEnd::finished); }
  // Seconds to wait from `now`.
  double delayFrom(double now) const { return isAbsolute_ ? time_ - now : time_; }

 private:
  NextWait(double time, bool isAbsolute, std::optional<TaskEnd> end)
      : time_(time), isAbsolute_(isAbsolute), end_(end) {}

  double time_;
  bool isAbsolute_;
  std::optional<TaskEnd> end_;
};

}  // namespace tessarapane
