#include "backends/sim/SimObserverRegistry.h"

#include <algorithm>
#include <utility>

#include "backends/sim/SimElements.h"

namespace tessarapane {

SimObserverRegistry::SimObserverRegistry(std::shared_ptr<Scheduler> scheduler)
    : scheduler_(scheduler), timers_(std::move(scheduler)) {}

AXObserver SimObserverRegistry::create(ProcessID pid, AXObserverCallback callback) {
  const AXObserver observer{state_->nextToken++};
  state_->observers.emplace(observer.token, Observer{pid, std::move(callback), {}});
  return observer;
}

std::optional<ProcessID> SimObserverRegistry::processOf(AXObserver observer) const {
  auto found = state_->observers.find(observer.token);
  if (found == state_->observers.end()) return std::nullopt;
  return found->second.pid;
}

AXError SimObserverRegistry::add(AXObserver observer, const AXElement& element, std::string_view notification) {
  auto found = state_->observers.find(observer.token);
  if (found == state_->observers.end()) return AXError::invalidUIElementObserver;
  auto& registrations = found->second.registrations;
  const bool already = std::any_of(registrations.begin(), registrations.end(), [&](const Registration& r) {
    return r.element == element && r.notification == notification;
  });
  if (already) return AXError::notificationAlreadyRegistered;
  registrations.push_back(Registration{element, std::string(notification)});
  return AXError::success;
}

AXError SimObserverRegistry::remove(AXObserver observer, const AXElement& element, std::string_view notification) {
  auto found = state_->observers.find(observer.token);
  if (found == state_->observers.end()) return AXError::invalidUIElementObserver;
  auto& registrations = found->second.registrations;
  auto match = std::find_if(registrations.begin(), registrations.end(), [&](const Registration& r) {
    return r.element == element && r.notification == notification;
  });
  if (match == registrations.end()) return AXError::notificationNotRegistered;
  registrations.erase(match);
  return AXError::success;
}

void SimObserverRegistry::destroy(AXObserver observer) { state_->observers.erase(observer.token); }

bool SimObserverRegistry::isRegistered(AXObserver observer, const AXElement& element,
                                       std::string_view notification) const {
  auto found = state_->observers.find(observer.token);
  if (found == state_->observers.end()) return false;
  const auto& registrations = found->second.registrations;
  return std::any_of(registrations.begin(), registrations.end(), [&](const Registration& r) {
    return r.element == element && r.notification == notification;
  });
}

std::size_t SimObserverRegistry::observerCount() const { return state_->observers.size(); }

bool SimObserverRegistry::hears(const Observer& observer, const AXElement& source, std::string_view notification) {
  const AXElement application = SimElements::application(source.pid);
  return std::any_of(observer.registrations.begin(), observer.registrations.end(), [&](const Registration& r) {
    return r.notification == notification && (r.element == source || r.element == application);
  });
}

void SimObserverRegistry::post(const AXElement& source, std::string_view notification, const AXElement& subject,
                               double latency) {
  std::weak_ptr<State> weak = state_;
  for (const auto& [token, observer] : state_->observers) {
    if (observer.pid != source.pid || !hears(observer, source, notification)) continue;
    auto deliver = [weak, token = token, source, subject, name = std::string(notification)] {
      auto state = weak.lock();
      if (!state) return;
      auto found = state->observers.find(token);
      // Destroyed observers and removed registrations hear nothing, even
      // when the notification was already queued.
      if (found == state->observers.end() || !hears(found->second, source, name)) return;
      AXObserverCallback callback = found->second.callback;  // it may destroy its own observer
      callback(AXObserver{token}, subject, name);
    };
    if (latency > 0) {
      timers_.after(latency, std::move(deliver));
    } else {
      scheduler_->postToMainThread(std::move(deliver));
    }
  }
}

}  // namespace tessarapane
