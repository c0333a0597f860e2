// The whole program on the simulated desktop: launch, hot keys, the menu,
// the remembered layout and the two ways it ends.
#include <gtest/gtest.h>

#include "AppDelegateSim.h"
#include "hotkeys/HotKeySettingsStore.h"

namespace tessarapane {

using namespace testing_support;

const std::string kMissing =
    "设置 Tessarapane: 开启以下权限后即可使用 窗口管理器/没有检测到支持 EWMH 的窗口管理器。请启动一个窗口管理器"
    "（例如 openbox、xfwm4 或 KWin），Tessarapane 会自动继续。:重新检查 [稍后]";

TEST_F(AppDelegateSim, TheRememberedLayoutComesBackOneSecondAfterLaunchOnlyWithThePermission) {
  // Without the permission the guide comes first and nothing moves; a
  // layout asked for brings the guide forward again.
  desktop->setProcessTrusted(false);
  desktop->userDefaults()->setString("rememberedLayout", "tabs:split2");
  // The right window is front-most: dealt out in stacking order they would swap.
  const WindowID left = open("left", Rect(50, 100, 500, 500)), right = open("right", Rect(800, 100, 500, 500));
  launch();
  delegate->applicationDidFinishLaunching();  // a second notice makes nothing twice
  EXPECT_EQ(std::pair(desktop->hotKeys()->registrations().size(), bar->made.size()), std::pair(5ul, 1ul));
  clock->advance(5.0);
  press(kKeyReturn);
  choose("窗口管理器状态…");
  EXPECT_EQ(guideWindow->taken(), (Lines{kMissing, "center", "front", kMissing, "front", kMissing, "front"}));
  EXPECT_EQ(std::pair(writes({left, right}), desktop->recorder().openedAddresses().size()), std::pair(0ul, 0ul));

  // With it, the layout comes back by position a second after launch.
  desktop->setProcessTrusted(true);
  launch();
  clock->advance(0.99);
  EXPECT_EQ(writes({left, right}), 0u);
  clock->advance(0.02);
  EXPECT_EQ(panes(), (PaneIDs{{left}, {right}}));
  auto& menu = *bar->made.back()->menu;
  menu.open();
  EXPECT_TRUE(menu.entries[2].isOn && menu.entries[12].isEnabled);  // 左右二分 checked, leaving offered

  // Terminated within the first second, the next launch restores nothing
  // and keeps the layout remembered.
  delegate->applicationWillTerminate();
  desktop->recorder().clear();
  launch();
  clock->advance(0.5);
  delegate->applicationWillTerminate();
  clock->advance(5.0);
  EXPECT_EQ(writes({left, right}), 0u);
  EXPECT_EQ(remembered(), "tabs:split2");
}

// The guide from a desktop without a window manager, through one that lacks a feature, to one that has everything.
TEST_F(AppDelegateSim, TheGuideSaysWhatTheWindowManagerLacksAndComesForwardWhenItIsThere) {
  const std::string lacking =
      "设置 Tessarapane: 开启以下权限后即可使用 窗口管理器/窗口管理器「simwm」不支持 _NET_MOVERESIZE_WINDOW, "
      "_NET_CLIENT_LIST_STACKING。请换用支持 EWMH 的窗口管理器（例如 openbox、xfwm4 或 KWin）。:重新检查 [稍后]";
  const std::string ready = "设置 Tessarapane: 一切就绪 窗口管理器/窗口管理器「simwm」已就绪。:granted [开始使用 ↩]";
  desktop->setProcessTrusted(false);
  launch();
  const auto guide = delegate->permissionGuideWindowController();
  guideWindow->onClose = [weak = std::weak_ptr(guide)] {
    if (const auto live = weak.lock()) live->windowWillClose();
  };
  guide->show();  // an open guide is only brought forward
  EXPECT_EQ(guideWindow->taken(), (Lines{kMissing, "center", "front", kMissing, "front"}));
  EXPECT_EQ(desktop->recorder().activations(), (std::vector<ProcessID>(2, desktop->currentProcessID())));

  // A window manager without two of the requests: the next poll says which.
  desktop->setProcessTrusted(true);
  desktop->setMissingWindowManagerFeatures({"_NET_MOVERESIZE_WINDOW", "_NET_CLIENT_LIST_STACKING"});
  clock->advance(0.4);
  EXPECT_EQ(guideWindow->taken(), Lines{});
  clock->advance(0.2);
  EXPECT_EQ(guideWindow->taken(), Lines{lacking});
  // Checking again asks at once; a complete one brings the guide forward, and staying ready is no news.
  desktop->setMissingWindowManagerFeatures({});
  guide->authorize(AppPermission::accessibility);
  clock->advance(2.0);
  EXPECT_EQ(std::pair(guideWindow->taken(), desktop->permissionPrompts()), std::pair(Lines{ready, "front"}, 1));
  // Closing stops the polling: the window manager going away is not drawn until the guide is shown again.
  guide->close();
  desktop->setProcessTrusted(false);
  clock->advance(2.0);
  EXPECT_EQ(guideWindow->taken(), Lines{"close"});
  guide->show();
  EXPECT_EQ(guideWindow->taken(), (Lines{kMissing, kMissing, "center", "front"}));
}

TEST_F(AppDelegateSim, TheMenuRunsLayoutsAndBothWaysOfEndingKeepOrForgetThem) {
  const WindowID a = open("a", Rect(10, 40, 500, 400)), b = open("b", Rect(600, 80, 700, 500));
  launch();
  choose("左右二分（2 格）");
  EXPECT_EQ(panes(), (PaneIDs{{b}, {a}}));
  choose("网格");
  EXPECT_EQ(panes(), PaneIDs{});
  EXPECT_EQ(delegate->layoutCoordinator()->snapshot().kindName(), "grid");
  choose("退出当前布局");
  EXPECT_FALSE(delegate->layoutCoordinator()->snapshot().isRunning());
  EXPECT_EQ(remembered(), std::nullopt);
  // The menu's quit forgets the layout and puts the windows back before the
  // loop is asked to end; the loop's end delivers the notice.
  choose("左右二分（2 格）");
  choose("退出 Tessarapane");
  EXPECT_EQ(quitSawRemembered, std::nullopt);
  EXPECT_TRUE(delegate->isTerminated() && hotKeysGivenBack());
  EXPECT_EQ(frameOf(a), Rect(10, 40, 500, 400));
  EXPECT_EQ(frameOf(b), Rect(600, 80, 700, 500));

  // The termination notice keeps the layout remembered and the windows
  // where it put them.
  launch();
  choose("左右二分（2 格）");
  const Rect laidOutA = frameOf(a), laidOutB = frameOf(b);
  desktop->recorder().clear();
  delegate->applicationWillTerminate();
  delegate->applicationWillTerminate();
  EXPECT_TRUE(delegate->isTerminated() && hotKeysGivenBack());
  EXPECT_EQ(panes(), PaneIDs{});
  EXPECT_EQ(remembered(), "tabs:split2");
  clock->advance(5.0);
  EXPECT_EQ(writes({a, b}), 0u);
  EXPECT_EQ(frameOf(a), laidOutA);
  EXPECT_EQ(frameOf(b), laidOutB);

  // Dropping the delegate frees every service (nothing holds another
  // strongly) and cancels the restore.
  launch();
  const std::weak_ptr<LayoutCoordinator> coordinator = delegate->layoutCoordinator();
  delegate.reset();
  EXPECT_TRUE(coordinator.expired() && hotKeysGivenBack());
  bar->made.back()->menu->choose("网格");
  clock->advance(5.0);
  EXPECT_EQ(writes({a, b}), 0u);
}

}  // namespace tessarapane
