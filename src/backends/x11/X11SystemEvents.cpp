#include "backends/x11/X11SystemEvents.h"

namespace tessarapane {

Subscription X11SystemEvents::subscribe(std::function<void(SystemEvent)> handler) {
  if (!handler) return {};
  return Subscription([] {});
}

}  // namespace tessarapane
