#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>

#include "platform/Scheduler.h"
#include "platform/Subscription.h"

namespace tessarapane {

// The main thread's clock and timers on virtual time, for tests. Time stands
// still until the test moves it with advance()/runFor(), runPending() or
// runUntilIdle(); nothing ever runs from inside the call that scheduled it.
//
// Order: actions run by due time, equal due times in the order they were
// scheduled. Zero-delay actions and posted actions are due "now" and run on
// the next turn. Work scheduled while the clock runs is run in the same call
// when it falls due before the call's end. Repeating timers keep their phase
// (the k-th firing is due at start + k * interval, never drifting).
//
// Handles stay safe to cancel at any time: from inside their own action, and
// after the scheduler is gone (they hold it weakly).
//
// Threads: postToMainThread may be called from any thread; everything else
// belongs to the thread that runs the clock.
class SimScheduler final : public Scheduler {
 public:
  static constexpr double kDefaultStart = 1000.0;
  // Wall clock = this epoch + the virtual time elapsed since the start.
  static constexpr double kDefaultWallEpoch = 1'700'000'000.0;
  // Guards the run calls against work that keeps rescheduling itself.
  static constexpr std::size_t kDefaultStepLimit = 100'000;

  explicit SimScheduler(double start = kDefaultStart, double wallEpoch = kDefaultWallEpoch);
  ~SimScheduler() override;

  SimScheduler(const SimScheduler&) = delete;
  SimScheduler& operator=(const SimScheduler&) = delete;

  double now() override;
  double wallClock() override;
  Subscription scheduleOnce(double delay, std::function<void()> action) override;
  Subscription scheduleRepeating(double interval, std::function<void()> action) override;
  void postToMainThread(std::function<void()> action) override;

  // Moves the clock forward by `seconds` (not a number or negative: 0),
  // running everything that falls due on the way, then stops exactly at the
  // end. False when it gave up after `stepLimit` actions; the clock then
  // stays at the last action run. Also false, doing nothing, when called
  // from inside an action.
  bool advance(double seconds, std::size_t stepLimit = kDefaultStepLimit);
  bool runFor(double seconds) { return advance(seconds); }

  // Runs what is due now (zero-delay and posted work), without moving time.
  bool runPending() { return advance(0.0); }

  // Runs one-shot and posted work until none is left, moving the clock to
  // each due time in turn. Repeating timers fire when they fall due before
  // the last one-shot work but never keep it busy on their own. One-shot
  // work due at infinity never runs. False when `stepLimit` actions ran
  // without reaching idle.
  bool runUntilIdle(std::size_t stepLimit = kDefaultStepLimit);

  // Scheduled timers (one-shot and repeating) plus posted actions not yet run.
  std::size_t pendingCount() const;

  // When the earliest pending action is due (posted work counts as now).
  std::optional<double> nextDueTime() const;

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace tessarapane
