#pragma once

#include <memory>

#include "backends/x11/X11Connection.h"
#include "platform/Input.h"

namespace tessarapane {

// The pointer's buttons from QueryPointer.
class X11Input final : public Input {
 public:
  explicit X11Input(std::shared_ptr<X11Connection> connection);
  std::uint32_t pressedMouseButtons() override;

 private:
  std::shared_ptr<X11Connection> connection_;
};

}  // namespace tessarapane
