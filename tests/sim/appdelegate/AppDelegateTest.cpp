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

TEST_F(AppDelegateSim, HotKeysMoveTheFocusedTabAndANewChordWorksAtOnce) {
  {
    // An earlier run saved its own chord for moving up.
    HotKeySettingsStore earlier(desktop->userDefaults());
    earlier.setChord(KeyChord{kKeyUp, KeyChord::kControl}, HotKeyAction::moveUp);
  }
  const WindowID d = open("d", Rect(700, 500, 400, 300)), c = open("c", Rect(100, 500, 400, 300)),
                 b = open("b", Rect(700, 100, 400, 300)), a = open("a", Rect(100, 100, 400, 300));
  launch();
  choose("四等分（4 格）");
  PaneIDs seen = panes();
  auto pressIn = [&](WindowID window, std::uint32_t key, std::uint32_t modifiers = KeyChord::kDefaultModifiers) {
    desktop->focusWindow(window);
    clock->advance(5.0);
    EXPECT_EQ(press(key, modifiers), std::optional<bool>(true));
    for (const auto& pane : panes()) seen.push_back(pane);
  };
  pressIn(a, kKeyRight);
  pressIn(a, kKeyDown);
  pressIn(a, kKeyLeft);
  pressIn(a, kKeyUp, KeyChord::kControl);
  EXPECT_EQ(press(kKeyUp), std::nullopt);
  // A chord the user changes in the settings is registered at once.
  choose("快捷键设置…");
  EXPECT_EQ(settingsWindow->shows, 1);
  delegate->hotKeySettingsStore()->setChord(KeyChord{kKeyL, KeyChord::kDefaultModifiers}, HotKeyAction::moveLeft);
  pressIn(b, kKeyL);
  EXPECT_EQ(seen, (PaneIDs{{a}, {b}, {c}, {d}, {}, {b, a}, {c}, {d}, {}, {b}, {c}, {d, a}, {}, {b}, {c, a}, {d},
                           {a}, {b}, {c}, {d}, {a, b}, {}, {c}, {d}}));
  // Return starts the full-screen layout with every window.
  pressIn(c, kKeyReturn);
  EXPECT_EQ(std::pair(panes().size(), panes().at(0).size()), std::pair(1ul, 4ul));
  EXPECT_EQ(remembered(), "tabs:fullScreen");
}

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
