#pragma once

#include "platform/SystemEvents.h"

namespace tessarapane {

// Sleep, lock and session changes come from logind over D-Bus, which the
// program wires up itself; the X server alone reports none of them, so
// subscribers are kept and never called.
class X11SystemEvents final : public SystemEvents {
 public:
  Subscription subscribe(std::function<void(SystemEvent)> handler) override;
};

}  // namespace tessarapane
