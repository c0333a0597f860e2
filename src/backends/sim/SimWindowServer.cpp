#include "backends/sim/SimWindowServer.h"

#include <utility>

namespace tessarapane {

SimWindowServer::SimWindowServer(std::shared_ptr<SimDesktop> desktop) : desktop_(std::move(desktop)) {}

std::optional<std::vector<WindowInfo>> SimWindowServer::onScreenWindowList() { return desktop_->readWindowList(); }

ActiveDisplayList SimWindowServer::activeDisplayList(std::uint32_t maxDisplays) {
  ActiveDisplayList list;
  list.error = desktop_->displayListError();
  if (list.error != 0) return list;
  const auto& displays = desktop_->displays();
  list.count = static_cast<std::uint32_t>(displays.size());
  for (const SimDisplay& display : displays) {
    if (list.displays.size() >= maxDisplays) break;
    list.displays.push_back(display.displayID);
  }
  // Asked for fewer than exist, the platform reports how many it returned.
  if (maxDisplays != 0) list.count = static_cast<std::uint32_t>(list.displays.size());
  return list;
}

Rect SimWindowServer::displayBounds(DisplayID display) { return desktop_->accessibilityBounds(display); }

}  // namespace tessarapane
