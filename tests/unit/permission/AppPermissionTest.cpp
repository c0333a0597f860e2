#include "permission/AppPermission.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Localizer.h"

namespace tessarapane {
namespace {

TEST(AppPermissionTest, SettingsNameChangesWithMajorVersion27) {
  ASSERT_EQ(kAllAppPermissions.size(), 1u);
  EXPECT_EQ(kAllAppPermissions[0], AppPermission::accessibility);
  for (int version : {0, 14, 26}) EXPECT_EQ(settingsName(AppPermission::accessibility, version), "辅助功能");
  for (int version : {27, 28, 100}) {
    EXPECT_EQ(settingsName(AppPermission::accessibility, version), "设备控制和数据访问");
  }
}

class PrefixLocalizer final : public Localizer {
 public:
  std::string localized(std::string_view key) const override { return "T:" + std::string(key); }
};

TEST(AppPermissionTest, SettingsNameIsLocalized) {
  localization::install(std::make_shared<PrefixLocalizer>());
  EXPECT_EQ(settingsName(AppPermission::accessibility, 26), "T:辅助功能");
  EXPECT_EQ(settingsName(AppPermission::accessibility, 27), "T:设备控制和数据访问");
  localization::install(nullptr);
}

TEST(AppPermissionTest, SettingsAddressesInTheOrderTried) {
  const auto accessibility = settingsAddresses(AppPermission::accessibility);
  EXPECT_EQ(std::vector<std::string_view>(accessibility.begin(), accessibility.end()),
            (std::vector<std::string_view>{
                "x-apple.systempreferences:com.apple.settings.PrivacySecurity.extension?Privacy_Accessibility",
                "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility",
            }));
  const auto menuBar = menuBarSettingsAddresses();
  EXPECT_EQ(std::vector<std::string_view>(menuBar.begin(), menuBar.end()),
            (std::vector<std::string_view>{
                "x-apple.systempreferences:com.apple.MenuBarSettings",
                "x-apple.systempreferences:com.apple.ControlCenter-Settings.extension",
                "x-apple.systempreferences:com.apple.ControlCenter-Settings",
            }));
}

}  // namespace
}  // namespace tessarapane
