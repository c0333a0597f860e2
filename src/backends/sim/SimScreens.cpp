#include "backends/sim/SimScreens.h"

#include <utility>

namespace tessarapane {

namespace {

Screen toScreen(const SimDisplay& display) { return Screen{display.displayID, display.frame, display.visibleFrame}; }

}  // namespace

SimScreens::SimScreens(std::shared_ptr<SimDesktop> desktop) : desktop_(std::move(desktop)) {}

std::vector<Screen> SimScreens::screens() {
  std::vector<Screen> all;
  for (const SimDisplay& display : desktop_->displays()) all.push_back(toScreen(display));
  return all;
}

std::optional<Screen> SimScreens::mainScreen() {
  const auto display = desktop_->mainDisplay();
  if (!display) return std::nullopt;
  return toScreen(*display);
}

Subscription SimScreens::subscribeScreenParametersChanged(std::function<void()> handler) {
  return desktop_->subscribeScreenParameters(std::move(handler));
}

}  // namespace tessarapane
