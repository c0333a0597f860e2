#include "permission/AppPermission.h"

#include "platform/Localizer.h"

namespace tessarapane {

namespace {

constexpr int kRenamedInMajorVersion = 27;

constexpr std::array<std::string_view, 2> kAccessibilitySettingsAddresses = {
    "x-apple.systempreferences:com.apple.settings.PrivacySecurity.extension?Privacy_Accessibility",
    "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility",
};

constexpr std::array<std::string_view, 3> kMenuBarSettingsAddresses = {
    "x-apple.systempreferences:com.apple.MenuBarSettings",
    "x-apple.systempreferences:com.apple.ControlCenter-Settings.extension",
    "x-apple.systempreferences:com.apple.ControlCenter-Settings",
};

}  // namespace

std::string settingsName(AppPermission permission, int osMajorVersion) {
  switch (permission) {
    case AppPermission::accessibility:
      return osMajorVersion < kRenamedInMajorVersion ? localized("辅助功能") : localized("设备控制和数据访问");
  }
  return {};
}

std::span<const std::string_view> settingsAddresses(AppPermission permission) {
  switch (permission) {
    case AppPermission::accessibility: return kAccessibilitySettingsAddresses;
  }
  return {};
}

std::span<const std::string_view> menuBarSettingsAddresses() { return kMenuBarSettingsAddresses; }

}  // namespace tessarapane
