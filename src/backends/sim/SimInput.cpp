#include "backends/sim/SimInput.h"

#include <utility>

namespace tessarapane {

SimInput::SimInput(std::shared_ptr<SimDesktop> desktop) : desktop_(std::move(desktop)) {}

std::uint32_t SimInput::pressedMouseButtons() { return desktop_->pressedMouseButtons(); }

}  // namespace tessarapane
