#pragma once

#include <memory>

#include "backends/sim/SimDesktop.h"
#include "platform/Screens.h"

namespace tessarapane {

// The displays of the simulated desktop in toolkit space, primary first.
class SimScreens final : public Screens {
 public:
  explicit SimScreens(std::shared_ptr<SimDesktop> desktop);

  std::vector<Screen> screens() override;
  std::optional<Screen> mainScreen() override;
  Subscription subscribeScreenParametersChanged(std::function<void()> handler) override;

 private:
  std::shared_ptr<SimDesktop> desktop_;
};

}  // namespace tessarapane
