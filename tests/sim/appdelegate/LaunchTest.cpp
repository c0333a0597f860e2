// The launch sequence: what is made, in which order, and the guide at launch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppDelegateSimFixture.h"
#include "hotkeys/HotKeySettingsStore.h"

namespace tessarapane {
namespace {

using testing_support::AppDelegateSim;
using testing_support::kKeyL;
using testing_support::kKeyLeft;

using Launch = AppDelegateSim;

TEST_F(Launch, MakesTheServicesInOrderAndScheduleTheRestoreLast) {
  desktop->setProcessTrusted(false);
  launch();

  // One marker per step that the platform or a view can see: the guide's
  // drag helper labels its pill (1); the coordinator subscribes to display
  // changes (2); the store reads the bindings (3); the center installs its
  // handler (4), then registers the keys and monitors (5); the status item
  // (8); the guide for the missing permission (9); the one-second restore
  // (10).
  const std::vector<std::string> steps = {
      "helperPanel.setText",
      "screens.subscribe",
      "defaults.read hotKeyBindingsSaved",
      "hotKeys.installHandler",
      "hotKeys.register 1",
      "hotKeys.register 5",
      "hotKeys.localMonitor",
      "hotKeys.globalMonitor",
      "statusBar.makeSquareItem",
      "guideWindow.center",
      "guideWindow.makeKeyAndOrderFront",
      "scheduler.once 1",
  };
  EXPECT_EQ(firstAppearances(steps), steps);
  // Nothing was scheduled for one second before the last step.
  EXPECT_EQ(log->back(), "scheduler.once 1");

  EXPECT_NE(delegate->permissionGuideWindowController(), nullptr);
  EXPECT_NE(delegate->layoutCoordinator(), nullptr);
  EXPECT_NE(delegate->hotKeySettingsStore(), nullptr);
  EXPECT_NE(delegate->hotKeyCenter(), nullptr);
  EXPECT_NE(delegate->hotKeySettingsWindowController(), nullptr);
  EXPECT_NE(delegate->statusItemController(), nullptr);
  EXPECT_TRUE(delegate->isRestorePending());

  // Live hot keys: every default chord, both monitors, the one handler.
  EXPECT_EQ(keys().registrations().size(), 5U);
  EXPECT_EQ(keys().localMonitorCount(), 1U);
  EXPECT_EQ(keys().globalMonitorCount(), 1U);
  EXPECT_TRUE(keys().hasPressedHandler());
  EXPECT_FALSE(delegate->hotKeyCenter()->isSuspended());

  // A second notice makes nothing twice.
  const std::size_t calls = log->size();
  delegate->applicationDidFinishLaunching();
  EXPECT_EQ(log->size(), calls);
  EXPECT_EQ(bar->made.size(), 1U);
}

TEST_F(Launch, ShowsTheGuideOnceWhenThePermissionIsMissing) {
  desktop->setProcessTrusted(false);
  launch();
  EXPECT_EQ(guideWindow->centerings, 1);
  EXPECT_EQ(guideWindow->frontings, 1);
  EXPECT_TRUE(guideWindow->visible);
  ASSERT_FALSE(guideWindow->shown.empty());
  EXPECT_EQ(guideWindow->shown.back().subtitle, "开启以下权限后即可使用");
  // The guide brings the application forward with it.
  EXPECT_EQ(desktop->recorder().activations(), (std::vector<ProcessID>{desktop->currentProcessID()}));
}

TEST_F(Launch, ShowsNoGuideWhenThePermissionIsGranted) {
  launch();
  settle();
  EXPECT_EQ(guideWindow->frontings, 0);
  EXPECT_EQ(guideWindow->centerings, 0);
  EXPECT_FALSE(guideWindow->visible);
  EXPECT_TRUE(desktop->recorder().activations().empty());
}

TEST_F(Launch, RegistersTheBindingsSavedInTheUserDefaults) {
  {
    // An earlier run saved its own chord for moving left.
    HotKeySettingsStore earlier(desktop->userDefaults());
    ASSERT_FALSE(earlier.setChord(KeyChord{kKeyL, KeyChord::kDefaultModifiers}, HotKeyAction::moveLeft).has_value());
  }
  launch();
  EXPECT_TRUE(keys().isRegistered(kKeyL, KeyChord::kDefaultModifiers));
  EXPECT_FALSE(keys().isRegistered(kKeyLeft, KeyChord::kDefaultModifiers));
  EXPECT_EQ(delegate->hotKeyCenter()->bindings(), delegate->hotKeySettingsStore()->bindings());
}

}  // namespace
}  // namespace tessarapane
