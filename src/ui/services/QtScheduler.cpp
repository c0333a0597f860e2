#include "ui/services/QtScheduler.h"

#include <QAbstractEventDispatcher>
#include <QDateTime>
#include <QMetaObject>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <time.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace tessarapane::ui {

namespace {

// QTimer takes int milliseconds: about 24.8 days at most.
int milliseconds(double seconds) {
  if (!(seconds > 0.0)) return 0;
  const double ms = std::ceil(seconds * 1000.0);
  if (ms >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  return static_cast<int>(ms);
}

Subscription deleting(QObject* object) {
  QPointer<QObject> guard(object);
  return Subscription([guard] {
    // deleteLater: the subscription may be cancelled from the object's own
    // callback.
    if (!guard) return;
    if (auto* timer = qobject_cast<QTimer*>(guard.data())) timer->stop();
    if (auto* notifier = qobject_cast<QSocketNotifier*>(guard.data())) notifier->setEnabled(false);
    guard->disconnect();
    guard->deleteLater();
  });
}

}  // namespace

QtScheduler::QtScheduler() : context_(std::make_unique<QObject>()) {}

QtScheduler::~QtScheduler() = default;

double QtScheduler::now() {
  // CLOCK_BOOTTIME, not QElapsedTimer's CLOCK_MONOTONIC: waits measured
  // across a suspend must include it.
  timespec ts{};
  clock_gettime(CLOCK_BOOTTIME, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double QtScheduler::wallClock() { return static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0; }

Subscription QtScheduler::scheduleOnce(double delay, std::function<void()> action) {
  auto* timer = new QTimer(context_.get());
  timer->setSingleShot(true);
  timer->setTimerType(Qt::PreciseTimer);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, action = std::move(action)] {
    timer->deleteLater();
    action();
  });
  timer->start(milliseconds(delay));
  return deleting(timer);
}

Subscription QtScheduler::scheduleRepeating(double interval, std::function<void()> action) {
  if (!(interval > 0.0)) return {};
  auto* timer = new QTimer(context_.get());
  timer->setTimerType(Qt::PreciseTimer);
  QObject::connect(timer, &QTimer::timeout, timer, std::move(action));
  timer->start(std::max(milliseconds(interval), 1));
  return deleting(timer);
}

void QtScheduler::postToMainThread(std::function<void()> action) {
  QMetaObject::invokeMethod(context_.get(), std::move(action), Qt::QueuedConnection);
}

Subscription QtScheduler::watchFileDescriptor(int fd, std::function<void()> onReadable) {
  auto* notifier = new QSocketNotifier(static_cast<qintptr>(fd), QSocketNotifier::Read, context_.get());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [onReadable = std::move(onReadable)] {
    onReadable();
  });
  return deleting(notifier);
}

Subscription QtScheduler::addBeforeWaitHook(std::function<void()> hook) {
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(context_->thread());
  if (!dispatcher) return {};
  auto* receiver = new QObject(context_.get());
  QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, receiver, std::move(hook));
  return deleting(receiver);
}

}  // namespace tessarapane::ui
