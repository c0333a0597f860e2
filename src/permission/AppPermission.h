#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace tessarapane {

// The permissions the application asks for.
enum class AppPermission {
  accessibility,
};

inline constexpr std::array<AppPermission, 1> kAllAppPermissions = {AppPermission::accessibility};

// The name the system settings list the permission under, which changed with
// major version 27. Localized.
std::string settingsName(AppPermission permission, int osMajorVersion);

// Settings addresses for the permission's pane, to be tried in order until
// one opens.
std::span<const std::string_view> settingsAddresses(AppPermission permission);

// Settings addresses for the menu-bar pane, to be tried in order.
std::span<const std::string_view> menuBarSettingsAddresses();

}  // namespace tessarapane
