// The status menu's commands and the two ways the application ends.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "AppDelegateSimFixture.h"

namespace tessarapane {
namespace {

using testing_support::AppDelegateSim;
using testing_support::kKeyReturn;
using testing_support::PaneIDs;

class MenuAndTermination : public AppDelegateSim {
 protected:
  void SetUp() override {
    const ProcessID app = startApp("Editor");
    a = open(app, "a", Rect(10, 40, 500, 400));
    b = open(app, "b", Rect(600, 80, 700, 500));
    launch();
    settle();
  }

  void startSplit2() {
    choose("左右二分（2 格）");
    settle();
    ASSERT_NE(session(), nullptr);
    laidOutA = frameOf(a);
    laidOutB = frameOf(b);
    ASSERT_NE(laidOutA, Rect(10, 40, 500, 400));
    ASSERT_NE(laidOutB, Rect(600, 80, 700, 500));
  }

  void expectHotKeysGivenBack() {
    EXPECT_TRUE(keys().registrations().empty());
    EXPECT_EQ(keys().localMonitorCount(), 0U);
    EXPECT_EQ(keys().globalMonitorCount(), 0U);
    EXPECT_FALSE(keys().hasPressedHandler());
  }

  WindowID a = 0;
  WindowID b = 0;
  Rect laidOutA;
  Rect laidOutB;
};

TEST_F(MenuAndTermination, MenuCommandsReachTheCoordinatorAndItsStateShowsInTheMenu) {
  menu().open();
  EXPECT_FALSE(menu().entry("退出当前布局").isEnabled);

  startSplit2();
  EXPECT_EQ(paneIDs(), (PaneIDs{{b}, {a}}));
  menu().open();
  EXPECT_TRUE(menu().entry("左右二分（2 格）").isOn);
  EXPECT_FALSE(menu().entry("网格").isOn);

  choose("网格");
  settle();
  EXPECT_EQ(session(), nullptr);
  ASSERT_NE(coordinator().bentoSession, nullptr);
  menu().open();
  EXPECT_TRUE(menu().entry("网格").isOn);
  EXPECT_FALSE(menu().entry("左右二分（2 格）").isOn);
  EXPECT_TRUE(menu().entry("退出当前布局").isEnabled);

  choose("退出当前布局");
  settle();
  EXPECT_EQ(coordinator().bentoSession, nullptr);
  EXPECT_FALSE(remembered().has_value());
  EXPECT_EQ(frameOf(a), Rect(10, 40, 500, 400));
  EXPECT_EQ(frameOf(b), Rect(600, 80, 700, 500));
  EXPECT_EQ(quitRequests, 0);
}

TEST_F(MenuAndTermination, MenuOpensTheSettingsWindowAndWithoutPermissionTheGuide) {
  choose("快捷键设置…");
  EXPECT_EQ(settingsWindow->shows, 1);
  EXPECT_TRUE(settingsWindow->visible);
  EXPECT_EQ(guideWindow->frontings, 0);

  desktop->setProcessTrusted(false);
  choose("打开辅助功能权限设置…");
  EXPECT_EQ(guideWindow->frontings, 1);
  EXPECT_TRUE(desktop->recorder().openedAddresses().empty());

  // A layout asked for without the permission brings the guide forward too.
  choose("左右三等分（3 格）");
  EXPECT_EQ(guideWindow->frontings, 2);
  EXPECT_EQ(session(), nullptr);
}

TEST_F(MenuAndTermination, TheTerminationNoticeKeepsTheLayoutRememberedAndTheWindowsInPlace) {
  startSplit2();
  desktop->recorder().clear();

  delegate->applicationWillTerminate();
  EXPECT_TRUE(delegate->isTerminated());
  EXPECT_EQ(session(), nullptr);
  EXPECT_EQ(remembered(), "tabs:split2");
  for (const auto& bar : chrome->tabBars) EXPECT_TRUE(bar->isClosed);
  expectHotKeysGivenBack();
  EXPECT_EQ(press(kKeyReturn), std::nullopt);

  settle();
  EXPECT_EQ(frameOf(a), laidOutA);
  EXPECT_EQ(frameOf(b), laidOutB);
  EXPECT_EQ(desktop->recorder().frameWrites(a) + desktop->recorder().frameWrites(b), 0U);
  EXPECT_EQ(quitRequests, 0);
}

TEST_F(MenuAndTermination, TheMenusQuitForgetsTheLayoutAndPutsTheWindowsBackBeforeQuitting) {
  startSplit2();
  choose("退出 Tessarapane");

  EXPECT_EQ(quitRequests, 1);
  // When the loop was asked to end the layout was already left and forgotten.
  EXPECT_EQ(quitSawRemembered, std::nullopt);
  EXPECT_EQ(session(), nullptr);
  EXPECT_FALSE(remembered().has_value());
  settle();
  EXPECT_EQ(frameOf(a), Rect(10, 40, 500, 400));
  EXPECT_EQ(frameOf(b), Rect(600, 80, 700, 500));
  // The loop's end delivered the termination notice.
  EXPECT_TRUE(delegate->isTerminated());
  expectHotKeysGivenBack();
}

TEST_F(MenuAndTermination, TerminationInTheFirstSecondCancelsTheRestore) {
  // A fresh launch with a remembered layout, ended before the restore.
  delegate.reset();
  desktop->userDefaults()->setString("rememberedLayout", "tabs:split2");
  launch();
  clock->advance(0.5);
  delegate->applicationWillTerminate();
  EXPECT_FALSE(delegate->isRestorePending());
  desktop->recorder().clear();
  settle();
  EXPECT_EQ(session(), nullptr);
  EXPECT_EQ(desktop->recorder().frameWrites(a) + desktop->recorder().frameWrites(b), 0U);
  EXPECT_EQ(remembered(), "tabs:split2");
}

}  // namespace
}  // namespace tessarapane
