// The remembered layout comes back one second after launch.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "AppDelegateSimFixture.h"

namespace tessarapane {
namespace {

using testing_support::AppDelegateSim;
using testing_support::IDs;
using testing_support::PaneIDs;

class Restore : public AppDelegateSim {
 protected:
  // Opened left first, so the right-hand window is front-most: dealing the
  // windows out in stacking order would swap them; only placement by
  // position puts each into the pane it mostly lies in.
  void SetUp() override {
    const ProcessID app = startApp("Editor");
    left = open(app, "left", Rect(50, 100, 500, 500));
    right = open(app, "right", Rect(800, 100, 500, 500));
    settle();
    desktop->userDefaults()->setString("rememberedLayout", "tabs:split2");
    desktop->recorder().clear();
  }

  std::size_t frameWrites() const {
    return desktop->recorder().frameWrites(left) + desktop->recorder().frameWrites(right);
  }

  std::optional<double> firstFrameWriteTime() const {
    for (const SimCall& call : desktop->recorder().calls()) {
      if (call.kind == SimCall::Kind::setAttribute && (call.name == "AXPosition" || call.name == "AXSize")) {
        return call.time;
      }
    }
    return std::nullopt;
  }

  WindowID left = 0;
  WindowID right = 0;
};

TEST_F(Restore, BringsBackTheRememberedSplitByPositionExactlyOneSecondAfterLaunch) {
  launch();
  clock->advance(0.99);
  EXPECT_EQ(session(), nullptr);
  EXPECT_EQ(frameWrites(), 0U);
  EXPECT_TRUE(delegate->isRestorePending());

  clock->advance(0.02);
  ASSERT_NE(session(), nullptr);
  EXPECT_EQ(session()->kind, LayoutKind::split2);
  EXPECT_EQ(paneIDs(), (PaneIDs{{left}, {right}}));
  ASSERT_TRUE(firstFrameWriteTime().has_value());
  EXPECT_DOUBLE_EQ(*firstFrameWriteTime() - launchTime, 1.0);
  EXPECT_FALSE(delegate->isRestorePending());

  settle();
  const auto pane = [&](std::size_t index) {
    return ScreenIdentity::convertFrame(session()->panes[index].geometry.windowFrame, *platform.screens);
  };
  EXPECT_EQ(frameOf(left), pane(0));
  EXPECT_EQ(frameOf(right), pane(1));
  EXPECT_EQ(remembered(), "tabs:split2");
  // The tab strips came with it, and the menu shows the layout running.
  EXPECT_EQ(chrome->tabBars.size(), 2U);
  menu().open();
  EXPECT_TRUE(menu().entry("左右二分（2 格）").isOn);
  EXPECT_TRUE(menu().entry("退出当前布局").isEnabled);
}

TEST_F(Restore, WithoutThePermissionNothingIsRestoredAndTheLayoutStaysRemembered) {
  desktop->setProcessTrusted(false);
  launch();
  settle();
  EXPECT_EQ(session(), nullptr);
  EXPECT_EQ(frameWrites(), 0U);
  EXPECT_EQ(remembered(), "tabs:split2");
  // Only the launch showed the guide; the silent restore did not.
  EXPECT_EQ(guideWindow->frontings, 1);
  EXPECT_TRUE(desktop->alerts()->shown().empty());
}

}  // namespace
}  // namespace tessarapane
