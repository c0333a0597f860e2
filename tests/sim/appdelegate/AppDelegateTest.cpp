// The whole program on the simulated desktop: launch, hot keys, the menu,
// the remembered layout and the two ways it ends.
#include <gtest/gtest.h>

#include "AppDelegateSim.h"
#include "hotkeys/HotKeySettingsStore.h"
#include "windows/ScreenIdentity.h"

namespace tessarapane {
namespace {

using testing_support::AppDelegateSim;
using testing_support::kKeyDown;
using testing_support::kKeyL;
using testing_support::kKeyLeft;
using testing_support::kKeyReturn;
using testing_support::kKeyRight;
using testing_support::kKeyUp;
using testing_support::PaneIDs;
using Log = std::vector<std::string>;

const std::string kMissing = "设置 Tessarapane: 开启以下权限后即可使用 辅助功能/移动和调整其他 App 的窗口:授权 [稍后]";

TEST_F(AppDelegateSim, WithoutThePermissionTheGuideComesFirstAndNothingMoves) {
  desktop->setProcessTrusted(false);
  desktop->userDefaults()->setString("rememberedLayout", "tabs:split2");
  const WindowID only = open("only", Rect(100, 100, 400, 300));
  launch();
  EXPECT_EQ(guideWindow->taken(), (Log{kMissing, "center", "front"}));
  EXPECT_EQ(desktop->recorder().activations(), std::vector<ProcessID>{desktop->currentProcessID()});
  EXPECT_EQ(keys().registrations().size(), 5u);
  EXPECT_EQ(keys().localMonitorCount() + keys().globalMonitorCount(), 2u);
  EXPECT_EQ(bar->made.size(), 1u);
  EXPECT_TRUE(delegate->isRestorePending());
  delegate->applicationDidFinishLaunching();  // a second notice makes nothing twice
  EXPECT_EQ(bar->made.size(), 1u);
  EXPECT_EQ(keys().registrations().size(), 5u);

  // The silent restore neither moves anything nor shows the guide again;
  // a layout asked for brings the guide forward.
  clock->advance(5.0);
  EXPECT_EQ(guideWindow->taken(), Log{});
  press(kKeyReturn);
  choose("左右三等分（3 格）");
  choose("打开辅助功能权限设置…");
  EXPECT_EQ(guideWindow->taken(), (Log{kMissing, "front", kMissing, "front", kMissing, "front"}));
  EXPECT_EQ(panes(), PaneIDs{});
  EXPECT_EQ(frameWrites({only}), 0u);
  EXPECT_EQ(remembered(), "tabs:split2");
  EXPECT_TRUE(desktop->recorder().openedAddresses().empty());
}

TEST_F(AppDelegateSim, HotKeysMoveTheFocusedTabAndANewChordWorksAtOnce) {
  {
    // An earlier run saved its own chord for moving up.
    HotKeySettingsStore earlier(desktop->userDefaults());
    ASSERT_EQ(earlier.setChord(KeyChord{kKeyUp, KeyChord::kControl}, HotKeyAction::moveUp), std::nullopt);
  }
  const WindowID d = open("d", Rect(700, 500, 400, 300)), c = open("c", Rect(100, 500, 400, 300)),
                 b = open("b", Rect(700, 100, 400, 300)), a = open("a", Rect(100, 100, 400, 300));
  launch();
  clock->advance(5.0);
  EXPECT_EQ(press(kKeyLeft), std::optional<bool>(true));  // nothing runs: nothing moves
  EXPECT_EQ(frameWrites({a, b, c, d}), 0u);
  choose("四等分（4 格）");
  ASSERT_EQ(panes(), (PaneIDs{{a}, {b}, {c}, {d}}));
  EXPECT_FALSE(delegate->hotKeyCenter()->isSuspended());

  PaneIDs seen;
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
  EXPECT_EQ(seen, (PaneIDs{{}, {b, a}, {c}, {d}, {}, {b}, {c}, {d, a}, {}, {b}, {c, a}, {d}, {a}, {b}, {c}, {d}}));

  // The user records Control+Option+L for moving left in the settings.
  choose("快捷键设置…");
  EXPECT_EQ(settingsWindow->shows, 1);
  delegate->hotKeySettingsWindowController()->record(HotKeyAction::moveLeft);
  EXPECT_TRUE(keys().registrations().empty());
  EXPECT_TRUE(keys().sendLocalKeyDown(KeyEvent{KeyEvent::Type::keyDown, kKeyL, KeyEvent::kControl | KeyEvent::kOption}));
  EXPECT_EQ(keys().registrations().size(), 5u);
  EXPECT_EQ(press(kKeyLeft), std::nullopt);
  seen.clear();
  pressIn(b, kKeyL);
  EXPECT_EQ(seen, (PaneIDs{{a, b}, {}, {c}, {d}}));

  // Return starts the full-screen layout with every window.
  pressIn(c, kKeyReturn);
  EXPECT_EQ(panes().size(), 1u);
  EXPECT_EQ(panes()[0].size(), 4u);
  EXPECT_EQ(remembered(), "tabs:fullScreen");
}

TEST_F(AppDelegateSim, TheRememberedLayoutComesBackOneSecondAfterLaunchByPosition) {
  // Opened left first, so the right window is front-most: dealing out in
  // stacking order would swap them.
  const WindowID left = open("left", Rect(50, 100, 500, 500));
  const WindowID right = open("right", Rect(800, 100, 500, 500));
  desktop->userDefaults()->setString("rememberedLayout", "tabs:split2");
  launch();
  clock->advance(0.99);
  EXPECT_EQ(frameWrites({left, right}), 0u);
  clock->advance(0.02);
  EXPECT_FALSE(delegate->isRestorePending());
  ASSERT_EQ(panes(), (PaneIDs{{left}, {right}}));
  EXPECT_NEAR(desktop->recorder().calls().at(0).time - SimScheduler::kDefaultStart, 1.0, 1e-9);
  clock->advance(5.0);
  const auto& session = delegate->layoutCoordinator()->session;
  EXPECT_EQ(frameOf(left), ScreenIdentity::convertFrame(session->panes[0].geometry.windowFrame, *platform.screens));
  EXPECT_EQ(frameOf(right), ScreenIdentity::convertFrame(session->panes[1].geometry.windowFrame, *platform.screens));
  EXPECT_EQ(remembered(), "tabs:split2");
  auto& menu = *bar->made.back()->menu;
  menu.open();
  EXPECT_TRUE(menu.entries[2].isOn);       // 左右二分
  EXPECT_TRUE(menu.entries[12].isEnabled);  // 退出当前布局

  // Terminated within the first second, the next launch restores nothing
  // and keeps the layout remembered.
  delegate->applicationWillTerminate();
  desktop->recorder().clear();
  launch();
  clock->advance(0.5);
  delegate->applicationWillTerminate();
  EXPECT_FALSE(delegate->isRestorePending());
  clock->advance(5.0);
  EXPECT_EQ(panes(), PaneIDs{});
  EXPECT_EQ(frameWrites({left, right}), 0u);
  EXPECT_EQ(remembered(), "tabs:split2");
}

TEST_F(AppDelegateSim, TheMenuRunsLayoutsAndBothWaysOfEndingKeepOrForgetThem) {
  const WindowID a = open("a", Rect(10, 40, 500, 400)), b = open("b", Rect(600, 80, 700, 500));
  launch();
  clock->advance(5.0);
  choose("左右二分（2 格）");
  EXPECT_EQ(panes(), (PaneIDs{{b}, {a}}));
  choose("网格");
  EXPECT_EQ(panes(), PaneIDs{});
  EXPECT_NE(delegate->layoutCoordinator()->bentoSession, nullptr);
  choose("退出当前布局");
  EXPECT_EQ(delegate->layoutCoordinator()->bentoSession, nullptr);
  EXPECT_EQ(remembered(), std::nullopt);
  EXPECT_EQ(frameOf(a), Rect(10, 40, 500, 400));
  EXPECT_EQ(frameOf(b), Rect(600, 80, 700, 500));

  // The menu's quit forgets the layout and puts the windows back before the
  // loop is asked to end; the loop's end delivers the notice.
  choose("左右二分（2 格）");
  choose("退出 Tessarapane");
  EXPECT_EQ(quitSawRemembered, std::nullopt);
  EXPECT_TRUE(delegate->isTerminated());
  EXPECT_TRUE(hotKeysGivenBack());
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
  EXPECT_TRUE(delegate->isTerminated());
  EXPECT_EQ(panes(), PaneIDs{});
  EXPECT_EQ(remembered(), "tabs:split2");
  EXPECT_TRUE(hotKeysGivenBack());
  clock->advance(5.0);
  EXPECT_EQ(frameWrites({a, b}), 0u);
  EXPECT_EQ(frameOf(a), laidOutA);
  EXPECT_EQ(frameOf(b), laidOutB);
}

TEST_F(AppDelegateSim, DroppingTheDelegateFreesEveryServiceAndCancelsTheRestore) {
  const WindowID a = open("a", Rect(10, 40, 500, 400)), b = open("b", Rect(600, 80, 700, 500));
  desktop->userDefaults()->setString("rememberedLayout", "tabs:split2");
  launch();
  const std::vector<std::weak_ptr<void>> services = {
      delegate->statusItemController(), delegate->layoutCoordinator(), delegate->hotKeyCenter(),
      delegate->hotKeySettingsStore(), delegate->hotKeySettingsWindowController(),
      delegate->permissionGuideWindowController()};
  delegate.reset();
  for (const auto& service : services) EXPECT_TRUE(service.expired());
  EXPECT_TRUE(hotKeysGivenBack());
  bar->made.back()->menu->choose("网格");
  clock->advance(5.0);
  EXPECT_EQ(frameWrites({a, b}), 0u);
  EXPECT_EQ(remembered(), "tabs:split2");
}

}  // namespace
}  // namespace tessarapane
