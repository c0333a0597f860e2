#pragma once

#include <memory>

#include "backends/sim/SimDesktop.h"
#include "platform/Platform.h"

namespace tessarapane {

// Every platform service over one simulated desktop, with its scheduler and
// the identity localizer.
Platform makeSimPlatform(const std::shared_ptr<SimDesktop>& desktop);

}  // namespace tessarapane
