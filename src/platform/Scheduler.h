#pragma once

#include <functional>

#include "platform/Subscription.h"

namespace tessarapane {

// The main thread's clocks and timers. Delayed work of every kind is built on
// these few calls.
class Scheduler {
 public:
  virtual ~Scheduler() = default;

  // Seconds on a monotonic clock that keeps counting while the machine
  // sleeps; only differences mean anything (de-duplication windows,
  // deadlines).
  virtual double now() = 0;

  // Seconds since the Unix epoch, for "how long ago" displayed to the user.
  virtual double wallClock() = 0;

  // Runs the action once on the main thread after `delay` seconds. A delay of
  // zero or less (or not a number) runs it on a later turn of the main loop,
  // never from inside this call.
  virtual Subscription scheduleOnce(double delay, std::function<void()> action) = 0;

  // Runs the action on the main thread every `interval` seconds, the first
  // time one interval from now. An interval that is not positive schedules
  // nothing and gives an inactive handle.
  virtual Subscription scheduleRepeating(double interval, std::function<void()> action) = 0;

  // Queues the action on the main thread. The one call that may be made from
  // any thread (hot-key and global key callbacks use it).
  virtual void postToMainThread(std::function<void()> action) = 0;
};

}  // namespace tessarapane
