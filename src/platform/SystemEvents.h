#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "platform/Subscription.h"

namespace tessarapane {

// The system changes during which window maintenance pauses.
enum class SystemEvent : std::uint8_t {
  screensDidSleep,
  screensDidWake,
  systemWillSleep,
  systemDidWake,
  sessionDidResignActive,  // the user switched to another session
  sessionDidBecomeActive,
  screenLocked,
  screenUnlocked,
};

inline constexpr std::array<SystemEvent, 8> kAllSystemEvents = {
    SystemEvent::screensDidSleep,        SystemEvent::screensDidWake, SystemEvent::systemWillSleep,
    SystemEvent::systemDidWake,          SystemEvent::sessionDidResignActive,
    SystemEvent::sessionDidBecomeActive, SystemEvent::screenLocked,   SystemEvent::screenUnlocked,
};

// Sleep, wake, lock and session notifications.
class SystemEvents {
 public:
  virtual ~SystemEvents() = default;

  // Delivers each event on the main thread, in the order the system sent
  // them (which need not pair up), until the handle is cancelled.
  virtual Subscription subscribe(std::function<void(SystemEvent)> handler) = 0;
};

}  // namespace tessarapane
