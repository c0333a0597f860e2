#include "backends/x11/PollLoopScheduler.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <deque>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "backends/x11/MonotonicClock.h"

namespace tessarapane {

struct PollLoopScheduler::State {
  struct Timer {
    std::uint64_t id = 0;
    double interval = 0.0;  // 0 for one-shot timers
    std::shared_ptr<std::function<void()>> action;
  };
  struct Watch {
    int fd = -1;
    std::shared_ptr<std::function<void()>> onReadable;
  };
  using TimerKey = std::pair<double, std::uint64_t>;  // deadline, sequence

  std::map<TimerKey, Timer> timers;
  std::map<std::uint64_t, TimerKey> timerKeys;
  std::map<std::uint64_t, Watch> watches;
  std::map<std::uint64_t, std::shared_ptr<std::function<void()>>> hooks;
  std::uint64_t nextID = 1;
  std::uint64_t nextSequence = 1;
  std::atomic<bool> stopped = false;

  int wakeFD = -1;
  std::mutex postedMutex;
  std::deque<std::function<void()>> posted;

  State() { wakeFD = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); }
  ~State() {
    if (wakeFD >= 0) close(wakeFD);
  }

  void addTimer(std::uint64_t id, double deadline, double interval, std::shared_ptr<std::function<void()>> action) {
    const TimerKey key{deadline, nextSequence++};
    timers.emplace(key, Timer{id, interval, std::move(action)});
    timerKeys[id] = key;
  }

  void cancelTimer(std::uint64_t id) {
    auto found = timerKeys.find(id);
    if (found == timerKeys.end()) return;
    timers.erase(found->second);
    timerKeys.erase(found);
  }

  void wake() const {
    if (wakeFD < 0) return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(wakeFD, &one, sizeof one);
  }

  bool hasPosted() {
    std::lock_guard<std::mutex> lock(postedMutex);
    return !posted.empty();
  }
};

PollLoopScheduler::PollLoopScheduler() : state_(std::make_shared<State>()) {}

PollLoopScheduler::~PollLoopScheduler() = default;

double PollLoopScheduler::now() { return monotonicSeconds(); }

double PollLoopScheduler::wallClock() {
  const auto since = std::chrono::system_clock::now().time_since_epoch();
  return std::chrono::duration<double>(since).count();
}

Subscription PollLoopScheduler::scheduleOnce(double delay, std::function<void()> action) {
  if (!action) return {};
  const std::uint64_t id = state_->nextID++;
  const double wait = std::isnan(delay) || delay < 0.0 ? 0.0 : delay;
  state_->addTimer(id, now() + wait, 0.0, std::make_shared<std::function<void()>>(std::move(action)));
  return Subscription([weak = std::weak_ptr<State>(state_), id] {
    if (auto state = weak.lock()) state->cancelTimer(id);
  });
}

Subscription PollLoopScheduler::scheduleRepeating(double interval, std::function<void()> action) {
  if (!action || !(interval > 0.0) || std::isinf(interval)) return {};
  const std::uint64_t id = state_->nextID++;
  state_->addTimer(id, now() + interval, interval, std::make_shared<std::function<void()>>(std::move(action)));
  return Subscription([weak = std::weak_ptr<State>(state_), id] {
    if (auto state = weak.lock()) state->cancelTimer(id);
  });
}

void PollLoopScheduler::postToMainThread(std::function<void()> action) {
  if (!action) return;
  {
    std::lock_guard<std::mutex> lock(state_->postedMutex);
    state_->posted.push_back(std::move(action));
  }
  state_->wake();
}

Subscription PollLoopScheduler::watchFileDescriptor(int fd, std::function<void()> onReadable) {
  if (fd < 0 || !onReadable) return {};
  const std::uint64_t id = state_->nextID++;
  state_->watches.emplace(id, State::Watch{fd, std::make_shared<std::function<void()>>(std::move(onReadable))});
  return Subscription([weak = std::weak_ptr<State>(state_), id] {
    if (auto state = weak.lock()) state->watches.erase(id);
  });
}

Subscription PollLoopScheduler::addBeforeWaitHook(std::function<void()> hook) {
  if (!hook) return {};
  const std::uint64_t id = state_->nextID++;
  state_->hooks.emplace(id, std::make_shared<std::function<void()>>(std::move(hook)));
  return Subscription([weak = std::weak_ptr<State>(state_), id] {
    if (auto state = weak.lock()) state->hooks.erase(id);
  });
}

bool PollLoopScheduler::runOnce(double maxWait) {
  // Kept alive for the turn, whatever the callbacks do to this scheduler.
  const std::shared_ptr<State> state = state_;
  bool ran = false;

  std::vector<std::pair<std::uint64_t, std::shared_ptr<std::function<void()>>>> hooks(state->hooks.begin(),
                                                                                        state->hooks.end());
  for (const auto& [id, hook] : hooks) {
    if (state->hooks.count(id) != 0) (*hook)();
  }

  double wait = std::isnan(maxWait) || maxWait < 0.0 ? 0.0 : maxWait;
  if (state->hasPosted()) wait = 0.0;
  if (!state->timers.empty()) wait = std::min(wait, std::max(0.0, state->timers.begin()->first.first - now()));

  std::vector<pollfd> fds;
  std::vector<std::uint64_t> watchIDs;
  fds.push_back(pollfd{state->wakeFD, POLLIN, 0});
  for (const auto& [id, watch] : state->watches) {
    fds.push_back(pollfd{watch.fd, POLLIN, 0});
    watchIDs.push_back(id);
  }
  timespec timeout{};
  timeout.tv_sec = static_cast<time_t>(wait);
  timeout.tv_nsec = static_cast<long>((wait - static_cast<double>(timeout.tv_sec)) * 1e9);
  const int ready = ppoll(fds.data(), fds.size(), &timeout, nullptr);

  if (ready > 0 && (fds[0].revents & POLLIN) != 0) {
    std::uint64_t count = 0;
    [[maybe_unused]] const auto drained = read(state->wakeFD, &count, sizeof count);
  }
  std::deque<std::function<void()>> posted;
  {
    std::lock_guard<std::mutex> lock(state->postedMutex);
    posted.swap(state->posted);
  }
  for (auto& action : posted) {
    action();
    ran = true;
  }

  if (ready > 0) {
    for (std::size_t i = 1; i < fds.size(); ++i) {
      if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
      auto found = state->watches.find(watchIDs[i - 1]);
      if (found == state->watches.end()) continue;
      const auto callback = found->second.onReadable;
      (*callback)();
      ran = true;
    }
  }

  // Only timers that were due before this phase began: one scheduled from a
  // callback with no delay runs on a later turn.
  const double dueTime = now();
  const std::uint64_t sequenceLimit = state->nextSequence;
  while (!state->timers.empty()) {
    auto first = state->timers.begin();
    if (first->first.first > dueTime) break;
    // Later-sequenced entries may sit before earlier due ones; look for the
    // first due entry made before the phase began.
    auto entry = first;
    while (entry != state->timers.end() && entry->first.first <= dueTime && entry->first.second >= sequenceLimit) {
      ++entry;
    }
    if (entry == state->timers.end() || entry->first.first > dueTime) break;
    State::Timer timer = entry->second;
    const double deadline = entry->first.first;
    state->timers.erase(entry);
    state->timerKeys.erase(timer.id);
    if (timer.interval > 0.0) {
      double next = deadline + timer.interval;
      if (next <= dueTime) next = dueTime + timer.interval;
      state->addTimer(timer.id, next, timer.interval, timer.action);
    }
    (*timer.action)();
    ran = true;
  }
  return ran;
}

bool PollLoopScheduler::runUntil(const std::function<bool()>& done, double timeout) {
  const double deadline = now() + timeout;
  while (!done()) {
    const double left = deadline - now();
    if (left <= 0.0) return done();
    // Short slices, so a condition that turns true without any event (a
    // process exiting) is noticed promptly.
    runOnce(std::min(left, 0.02));
  }
  return true;
}

void PollLoopScheduler::run() {
  state_->stopped = false;
  while (!state_->stopped) runOnce(1.0);
}

void PollLoopScheduler::stop() {
  state_->stopped = true;
  state_->wake();
}

}  // namespace tessarapane
