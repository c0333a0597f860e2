#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "backends/sim/SimTimers.h"
#include "platform/Accessibility.h"

namespace tessarapane {

// The accessibility observers of the simulated desktop: which observer
// listens for which notification on which element, and the queued delivery of
// notifications on the main loop.
class SimObserverRegistry {
 public:
  explicit SimObserverRegistry(std::shared_ptr<Scheduler> scheduler);

  AXObserver create(ProcessID pid, AXObserverCallback callback);
  std::optional<ProcessID> processOf(AXObserver observer) const;

  // The element's liveness and process are checked by the caller.
  AXError add(AXObserver observer, const AXElement& element, std::string_view notification);
  AXError remove(AXObserver observer, const AXElement& element, std::string_view notification);
  void destroy(AXObserver observer);

  bool isRegistered(AXObserver observer, const AXElement& element, std::string_view notification) const;
  std::size_t observerCount() const;

  // Queues `notification` about `source` for every observer of the source's
  // process that registered it on the source itself or on the process's
  // application element (which, as on the real platform, hears about every
  // element of the application). `subject` is the element handed to the
  // callback: the new window for "AXWindowCreated", else the source.
  // Delivery happens `latency` seconds later (0: the next turn of the main
  // loop) and is dropped when the observer was destroyed or the registration
  // removed in the meantime.
  void post(const AXElement& source, std::string_view notification, const AXElement& subject, double latency);

 private:
  struct Registration {
    AXElement element;
    std::string notification;
  };
  struct Observer {
    ProcessID pid = 0;
    AXObserverCallback callback;
    std::vector<Registration> registrations;
  };
  struct State {
    std::map<std::uint64_t, Observer> observers;
    std::uint64_t nextToken = 1;
  };

  static bool hears(const Observer& observer, const AXElement& source, std::string_view notification);

  std::shared_ptr<Scheduler> scheduler_;
  SimTimers timers_;
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace tessarapane
