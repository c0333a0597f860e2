#include "permission/Permissions.h"

#include <gtest/gtest.h>

#include "PermissionSimFixture.h"

namespace tessarapane {
namespace {

using testing_support::kFirstAccessibilityAddress;
using testing_support::kSecondAccessibilityAddress;

class PermissionsTest : public ::testing::Test {
 protected:
  std::vector<std::string> opened() const { return desktop->recorder().openedAddresses(); }

  std::shared_ptr<SimScheduler> clock = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(clock);
  Platform platform = makeSimPlatform(desktop);
};

TEST_F(PermissionsTest, SettingsAddressesAreTriedInOrderUntilOneOpens) {
  EXPECT_TRUE(Permissions::openSettings(AppPermission::accessibility, *platform.workspace));
  EXPECT_EQ(opened(), std::vector<std::string>{kFirstAccessibilityAddress});

  desktop->recorder().clear();
  desktop->refuseAddress(kFirstAccessibilityAddress);
  EXPECT_TRUE(Permissions::openSettings(AppPermission::accessibility, *platform.workspace));
  EXPECT_EQ(opened(), (std::vector<std::string>{kFirstAccessibilityAddress, kSecondAccessibilityAddress}));

  desktop->recorder().clear();
  desktop->refuseAddress(kSecondAccessibilityAddress);
  EXPECT_FALSE(Permissions::openSettings(AppPermission::accessibility, *platform.workspace));
  EXPECT_EQ(opened().size(), 2u);

  const std::vector<std::string> menuBar = {"x-apple.systempreferences:com.apple.MenuBarSettings",
                                            "x-apple.systempreferences:com.apple.ControlCenter-Settings.extension",
                                            "x-apple.systempreferences:com.apple.ControlCenter-Settings"};
  desktop->recorder().clear();
  desktop->refuseAddress(menuBar[0]);
  desktop->refuseAddress(menuBar[1]);
  EXPECT_TRUE(Permissions::openMenuBarSettings(*platform.workspace));
  EXPECT_EQ(opened(), menuBar);
}

}  // namespace
}  // namespace tessarapane
