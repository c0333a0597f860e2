#pragma once

#include <array>
#include <string>

namespace tessarapane {

// What the application needs before it can act on other applications'
// windows. On X11 the one requirement is a window manager that supports the
// requests the layouts send.
enum class AppPermission {
  accessibility,
};

inline constexpr std::array<AppPermission, 1> kAllAppPermissions = {AppPermission::accessibility};

// The name the guide lists the requirement under. Localized.
std::string permissionName(AppPermission permission);

}  // namespace tessarapane
