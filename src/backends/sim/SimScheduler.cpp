#include "backends/sim/SimScheduler.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tessarapane {

namespace {

struct TimerKey {
  double due = 0.0;
  std::uint64_t seq = 0;  // breaks ties in scheduling order

  bool operator<(const TimerKey& other) const {
    if (due != other.due) return due < other.due;
    return seq < other.seq;
  }
};

struct Timer {
  std::uint64_t id = 0;
  // Shared so that the action survives its own cancellation while it runs.
  std::shared_ptr<std::function<void()>> action;
  double interval = 0.0;  // 0: one-shot
  double base = 0.0;      // when a repeating timer was scheduled
  std::uint64_t firings = 0;

  bool isRepeating() const { return interval > 0.0; }
};

}  // namespace

// Everything lives here, held strongly by the scheduler and weakly by its
// handles. The run loops hold it strongly too, so an action that destroys
// the scheduler does not pull the loop's data out from under it.
struct SimScheduler::State {
  double now = 0.0;
  double start = 0.0;
  double wallEpoch = 0.0;
  std::uint64_t nextSeq = 0;
  std::map<TimerKey, Timer> timers;
  std::unordered_map<std::uint64_t, TimerKey> keysById;
  std::size_t finiteOneShots = 0;  // what keeps runUntilIdle busy
  bool running = false;
  bool closed = false;

  mutable std::mutex postedMutex;
  std::vector<std::function<void()>> posted;

  static bool keepsIdleBusy(const TimerKey& key, const Timer& timer) {
    return !timer.isRepeating() && std::isfinite(key.due);
  }

  std::uint64_t add(double due, Timer timer) {
    const TimerKey key{due, nextSeq++};
    timer.id = key.seq;
    if (keepsIdleBusy(key, timer)) ++finiteOneShots;
    keysById.emplace(timer.id, key);
    const auto id = timer.id;
    timers.emplace(key, std::move(timer));
    return id;
  }

  void cancel(std::uint64_t id) {
    const auto found = keysById.find(id);
    if (found == keysById.end()) return;
    const auto it = timers.find(found->second);
    keysById.erase(found);
    if (it == timers.end()) return;
    if (keepsIdleBusy(it->first, it->second)) --finiteOneShots;
    // The action is destroyed when `node` goes, after the map is consistent
    // again: its captures may cancel other timers on the way out.
    auto node = timers.extract(it);
  }

  void drainPosted() {
    std::vector<std::function<void()>> batch;
    {
      std::lock_guard lock(postedMutex);
      batch.swap(posted);
    }
    for (auto& action : batch) {
      Timer timer;
      timer.action = std::make_shared<std::function<void()>>(std::move(action));
      add(now, std::move(timer));
    }
  }

  // Runs the earliest timer, moving the clock to its due time.
  void runNext() {
    auto node = timers.extract(timers.begin());
    now = std::max(now, node.key().due);
    const auto action = node.mapped().action;
    Timer& timer = node.mapped();
    if (timer.isRepeating()) {
      ++timer.firings;
      const TimerKey next{timer.base + static_cast<double>(timer.firings + 1) * timer.interval, nextSeq++};
      keysById[timer.id] = next;
      node.key() = next;
      timers.insert(std::move(node));
    } else {
      if (keepsIdleBusy(node.key(), timer)) --finiteOneShots;
      keysById.erase(timer.id);
      node = {};
    }
    if (action && *action) (*action)();
  }

  bool advance(double seconds, std::size_t stepLimit) {
    if (running) return false;
    if (std::isnan(seconds) || seconds < 0.0) seconds = 0.0;
    if (!std::isfinite(seconds)) return false;
    running = true;
    const double end = now + seconds;
    for (std::size_t steps = 0;; ++steps) {
      drainPosted();
      if (timers.empty() || end < timers.begin()->first.due) break;
      if (steps == stepLimit) {
        running = false;
        return false;
      }
      runNext();
      if (closed) return false;
    }
    now = std::max(now, end);
    running = false;
    return true;
  }

  bool runUntilIdle(std::size_t stepLimit) {
    if (running) return false;
    running = true;
    for (std::size_t steps = 0;; ++steps) {
      drainPosted();
      if (finiteOneShots == 0) break;
      if (steps == stepLimit) {
        running = false;
        return false;
      }
      runNext();
      if (closed) return false;
    }
    running = false;
    return true;
  }
};

SimScheduler::SimScheduler(double start, double wallEpoch) : state_(std::make_shared<State>()) {
  state_->now = start;
  state_->start = start;
  state_->wallEpoch = wallEpoch;
}

SimScheduler::~SimScheduler() {
  state_->closed = true;
  // Moved out first: destroying the actions may cancel other handles, which
  // then find an empty table.
  auto timers = std::move(state_->timers);
  state_->timers.clear();
  state_->keysById.clear();
  state_->finiteOneShots = 0;
  std::vector<std::function<void()>> posted;
  {
    std::lock_guard lock(state_->postedMutex);
    posted.swap(state_->posted);
  }
}

double SimScheduler::now() { return state_->now; }

double SimScheduler::wallClock() { return state_->wallEpoch + (state_->now - state_->start); }

Subscription SimScheduler::scheduleOnce(double delay, std::function<void()> action) {
  Timer timer;
  timer.action = std::make_shared<std::function<void()>>(std::move(action));
  const double due = delay > 0.0 ? state_->now + delay : state_->now;  // NaN fails the test too
  const auto id = state_->add(due, std::move(timer));
  return Subscription([weak = std::weak_ptr<State>(state_), id] {
    if (const auto state = weak.lock()) state->cancel(id);
  });
}

Subscription SimScheduler::scheduleRepeating(double interval, std::function<void()> action) {
  if (!(interval > 0.0) || !std::isfinite(interval)) return {};
  Timer timer;
  timer.action = std::make_shared<std::function<void()>>(std::move(action));
  timer.interval = interval;
  timer.base = state_->now;
  const auto id = state_->add(state_->now + interval, std::move(timer));
  return Subscription([weak = std::weak_ptr<State>(state_), id] {
    if (const auto state = weak.lock()) state->cancel(id);
  });
}

void SimScheduler::postToMainThread(std::function<void()> action) {
  std::lock_guard lock(state_->postedMutex);
  state_->posted.push_back(std::move(action));
}

bool SimScheduler::advance(double seconds, std::size_t stepLimit) {
  const auto state = state_;  // survives an action that destroys the scheduler
  return state->advance(seconds, stepLimit);
}

bool SimScheduler::runUntilIdle(std::size_t stepLimit) {
  const auto state = state_;
  return state->runUntilIdle(stepLimit);
}

std::size_t SimScheduler::pendingCount() const {
  std::lock_guard lock(state_->postedMutex);
  return state_->timers.size() + state_->posted.size();
}

std::optional<double> SimScheduler::nextDueTime() const {
  {
    std::lock_guard lock(state_->postedMutex);
    if (!state_->posted.empty()) return state_->now;
  }
  if (state_->timers.empty()) return std::nullopt;
  return state_->timers.begin()->first.due;
}

}  // namespace tessarapane
