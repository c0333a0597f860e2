#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

#include "platform/Scheduler.h"
#include "platform/Subscription.h"

namespace tessarapane::ui {

// The platform scheduler on Qt's event loop: timers are QTimers, posting goes
// through the event queue (safe from any thread), and the clock is the one
// that keeps counting while the machine sleeps. Also watches file
// descriptors and runs hooks before the loop waits, for backends whose
// events arrive on a socket.
class QtScheduler final : public Scheduler {
 public:
  QtScheduler();
  ~QtScheduler() override;

  QtScheduler(const QtScheduler&) = delete;
  QtScheduler& operator=(const QtScheduler&) = delete;

  double now() override;
  double wallClock() override;
  Subscription scheduleOnce(double delay, std::function<void()> action) override;
  Subscription scheduleRepeating(double interval, std::function<void()> action) override;
  void postToMainThread(std::function<void()> action) override;

  // Calls `onReadable` on the main thread whenever `fd` has data.
  Subscription watchFileDescriptor(int fd, std::function<void()> onReadable);
  // Called every time the event loop is about to wait.
  Subscription addBeforeWaitHook(std::function<void()> hook);

 private:
  // Owns the timers; they go with it.
  std::unique_ptr<QObject> context_;
};

}  // namespace tessarapane::ui
