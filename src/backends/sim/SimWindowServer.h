#pragma once

#include <memory>

#include "backends/sim/SimDesktop.h"
#include "platform/WindowServer.h"

namespace tessarapane {

// The window server's view of the simulated desktop: the on-screen list,
// front-most first, and the displays in accessibility space.
class SimWindowServer final : public WindowServer {
 public:
  explicit SimWindowServer(std::shared_ptr<SimDesktop> desktop);

  std::optional<std::vector<WindowInfo>> onScreenWindowList() override;
  ActiveDisplayList activeDisplayList(std::uint32_t maxDisplays) override;
  Rect displayBounds(DisplayID display) override;
  std::optional<std::uint64_t> changeCount() override { return desktop_->changeCount(); }

 private:
  std::shared_ptr<SimDesktop> desktop_;
};

}  // namespace tessarapane
