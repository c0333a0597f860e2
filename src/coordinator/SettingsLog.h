#pragma once

#include <string_view>

namespace tessarapane {

// The log category of stored settings that were left out or cannot be kept
// (the subsystem is LayoutCoordinator::kLogSubsystem).
inline constexpr std::string_view kSettingsLogCategory = "Settings";

}  // namespace tessarapane
