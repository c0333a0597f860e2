// What the permission guide names and opens, and where the helper pill sits over the settings window.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "permission/AppPermission.h"
#include "permission/PermissionHelperPlacement.h"
#include "platform/Localizer.h"

namespace tessarapane {
namespace {

TEST(PermissionGuideRules, SettingsNamesAndAddressesInTheOrderTried) {
  ASSERT_EQ(std::vector(kAllAppPermissions.begin(), kAllAppPermissions.end()), std::vector{AppPermission::accessibility});
  for (int version : {0, 26}) EXPECT_EQ(settingsName(AppPermission::accessibility, version), "辅助功能");
  for (int version : {27, 100}) EXPECT_EQ(settingsName(AppPermission::accessibility, version), "设备控制和数据访问");
  const auto addresses = settingsAddresses(AppPermission::accessibility);
  EXPECT_EQ(std::vector<std::string_view>(addresses.begin(), addresses.end()),
            (std::vector<std::string_view>{
                "x-apple.systempreferences:com.apple.settings.PrivacySecurity.extension?Privacy_Accessibility",
                "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility"}));
  const auto menuBar = menuBarSettingsAddresses();
  EXPECT_EQ(std::vector<std::string_view>(menuBar.begin(), menuBar.end()),
            (std::vector<std::string_view>{"x-apple.systempreferences:com.apple.MenuBarSettings",
                                           "x-apple.systempreferences:com.apple.ControlCenter-Settings.extension",
                                           "x-apple.systempreferences:com.apple.ControlCenter-Settings"}));
}

TEST(PermissionGuideRules, ThePillCentresOverTheContentAndStaysOnScreen) {
  const Rect visible(0, 0, 1440, 875);
  const std::vector<std::tuple<Size, Rect, Rect, Rect>> cases = {
      // Sidebar of 232 (or a third when wider), pill centred over the rest, 8 below the window's top... here y + 8.
      {{300, 36}, Rect(100, 200, 800, 600), visible, Rect(466, 208, 300, 36)},
      {{300, 36}, Rect(100, 200, 600, 500), visible, Rect(350, 208, 300, 36)},
      // Narrowed to the content less margins, never negative.
      {{500, 36}, Rect(100, 200, 600, 500), visible, Rect(312, 208, 376, 36)},
      {{300, 36}, Rect(100, 200, 30, 30), visible, Rect(120, 208, 0, 36)},
      // Kept inside the visible frame, the right edge winning when it is too narrow.
      {{300, 36}, Rect(100, -300, 800, 600), visible, Rect(466, 0, 300, 36)},
      {{300, 36}, Rect(1400, 200, 800, 600), visible, Rect(1140, 208, 300, 36)},
      {{300, 36}, Rect(100, 860, 800, 600), visible, Rect(466, 839, 300, 36)},
      {{300, 36}, Rect(100, 200, 800, 600), Rect(1440, 100, 1920, 1080), Rect(1440, 208, 300, 36)},
      {{300, 36}, Rect(0, 0, 800, 600), Rect(0, 0, 200, 875), Rect(-100, 8, 300, 36)},
  };
  for (const auto& [pill, window, screen, expected] : cases) {
    EXPECT_EQ(PermissionHelperPlacement::frame(pill, window, screen), expected) << window << " on " << screen;
  }
}

}  // namespace
}  // namespace tessarapane
