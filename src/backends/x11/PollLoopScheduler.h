#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/Scheduler.h"
#include "platform/Subscription.h"

namespace tessarapane {

// A real-time main loop for headless runs and tests: timers on a monotonic
// clock, a queue other threads may post to, and file descriptors it watches
// (the X connection's among them). Everything but postToMainThread belongs to
// the thread that runs the loop.
class PollLoopScheduler final : public Scheduler {
 public:
  PollLoopScheduler();
  ~PollLoopScheduler() override;

  PollLoopScheduler(const PollLoopScheduler&) = delete;
  PollLoopScheduler& operator=(const PollLoopScheduler&) = delete;

  double now() override;
  double wallClock() override;
  Subscription scheduleOnce(double delay, std::function<void()> action) override;
  Subscription scheduleRepeating(double interval, std::function<void()> action) override;
  void postToMainThread(std::function<void()> action) override;

  // Calls `onReadable` on the loop's thread whenever `fd` has data.
  Subscription watchFileDescriptor(int fd, std::function<void()> onReadable);

  // Called on every turn just before the loop may block, so work buffered
  // outside the file descriptors (events xcb has already read) is never left
  // waiting.
  Subscription addBeforeWaitHook(std::function<void()> hook);

  // One turn: runs what is due (posted actions, expired timers, readable
  // descriptors), waiting at most `maxWait` seconds for something to become
  // due. Returns whether anything ran.
  bool runOnce(double maxWait);

  // Turns until `done` holds (checked after every turn) or `timeout` seconds
  // have passed; returns whether it held.
  bool runUntil(const std::function<bool()>& done, double timeout);

  // Turns until stop() is called.
  void run();
  void stop();

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace tessarapane
