#pragma once

#include <memory>

#include "backends/sim/SimDesktop.h"
#include "platform/Input.h"

namespace tessarapane {

// The mouse buttons the test holds down (SimDesktop::setPressedMouseButtons).
class SimInput final : public Input {
 public:
  explicit SimInput(std::shared_ptr<SimDesktop> desktop);

  std::uint32_t pressedMouseButtons() override;

 private:
  std::shared_ptr<SimDesktop> desktop_;
};

}  // namespace tessarapane
