// Every callback between the services holds its target weakly: once the
// delegate is gone, whatever survives it reaches nothing.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "AppDelegateSimFixture.h"

namespace tessarapane {
namespace {

using testing_support::AppDelegateSim;
using testing_support::kKeyL;
using testing_support::kKeyReturn;

class WeakWiring : public AppDelegateSim {
 protected:
  void SetUp() override {
    const ProcessID app = startApp("Editor");
    a = open(app, "a", Rect(10, 40, 500, 400));
    b = open(app, "b", Rect(600, 80, 700, 500));
    settle();
    // A restore would move the windows one second after launch.
    desktop->userDefaults()->setString("rememberedLayout", "tabs:split2");
    launch();
    desktop->recorder().clear();
  }

  std::size_t frameWrites() const {
    return desktop->recorder().frameWrites(a) + desktop->recorder().frameWrites(b);
  }

  WindowID a = 0;
  WindowID b = 0;
};

TEST_F(WeakWiring, DroppingTheDelegateFreesEveryServiceAndCancelsTheRestore) {
  const std::weak_ptr<StatusItemController> statusItem = delegate->statusItemController();
  const std::weak_ptr<LayoutCoordinator> coordinator = delegate->layoutCoordinator();
  const std::weak_ptr<HotKeyCenter> center = delegate->hotKeyCenter();
  const std::weak_ptr<HotKeySettingsStore> store = delegate->hotKeySettingsStore();
  const std::weak_ptr<HotKeySettingsWindowController> settings = delegate->hotKeySettingsWindowController();
  const std::weak_ptr<PermissionGuideWindowController> guide = delegate->permissionGuideWindowController();

  delegate.reset();
  EXPECT_TRUE(statusItem.expired());
  EXPECT_TRUE(coordinator.expired());
  EXPECT_TRUE(center.expired());
  EXPECT_TRUE(store.expired());
  EXPECT_TRUE(settings.expired());
  EXPECT_TRUE(guide.expired());

  settle();
  EXPECT_EQ(frameWrites(), 0U);
  EXPECT_TRUE(chrome->tabBars.empty());
  EXPECT_TRUE(keys().registrations().empty());
  EXPECT_EQ(press(kKeyReturn), std::nullopt);
  // The toolkit's menu outlives its delegate; using it does nothing.
  menu().open();
  menu().choose(menu().indexOf("左右二分（2 格）").value());
  menu().choose(menu().indexOf("退出 Tessarapane").value());
  settle();
  EXPECT_EQ(frameWrites(), 0U);
  EXPECT_EQ(quitRequests, 0);
}

TEST_F(WeakWiring, AHotKeyCenterThatOutlivesTheCoordinatorDeliversNowhere) {
  const std::shared_ptr<HotKeyCenter> center = delegate->hotKeyCenter();
  delegate.reset();
  // The registrations live on with the center: the press arrives.
  EXPECT_EQ(press(kKeyReturn), std::optional<bool>(true));
  center->deliver(HotKeyAction::moveLeft);
  settle();
  EXPECT_EQ(frameWrites(), 0U);
  EXPECT_TRUE(chrome->tabBars.empty());
}

TEST_F(WeakWiring, AStatusItemThatOutlivesTheDelegateCommandsNothing) {
  const std::shared_ptr<StatusItemController> statusItem = delegate->statusItemController();
  desktop->setProcessTrusted(false);
  delegate.reset();

  choose("左右二分（2 格）");
  choose("网格");
  choose("打开辅助功能权限设置…");
  choose("快捷键设置…");
  choose("退出 Tessarapane");
  settle();
  EXPECT_EQ(frameWrites(), 0U);
  EXPECT_TRUE(chrome->tabBars.empty());
  EXPECT_TRUE(chrome->dividerControllers.empty());
  EXPECT_EQ(guideWindow->frontings, 0);
  EXPECT_EQ(settingsWindow->shows, 0);
  EXPECT_EQ(quitRequests, 0);
  // Nothing changed what the next launch restores.
  EXPECT_EQ(remembered(), "tabs:split2");
}

TEST_F(WeakWiring, ACoordinatorThatOutlivesTheGuideOpensNothing) {
  const std::shared_ptr<LayoutCoordinator> coordinator = delegate->layoutCoordinator();
  delegate.reset();
  desktop->setProcessTrusted(false);
  coordinator->startLayout(LayoutKind::split2);
  settle();
  EXPECT_EQ(guideWindow->frontings, 0);
  EXPECT_FALSE(guideWindow->visible);
}

TEST_F(WeakWiring, AStoreThatOutlivesTheCenterRegistersNothing) {
  // The settings window controller keeps the store.
  const std::shared_ptr<HotKeySettingsWindowController> settings = delegate->hotKeySettingsWindowController();
  const std::shared_ptr<HotKeySettingsStore> store = delegate->hotKeySettingsStore();
  delegate.reset();
  ASSERT_TRUE(keys().registrations().empty());

  EXPECT_FALSE(store->setChord(KeyChord{kKeyL, KeyChord::kDefaultModifiers}, HotKeyAction::moveLeft).has_value());
  settings->record(HotKeyAction::moveRight);
  settings->windowWillClose();
  EXPECT_TRUE(keys().registrations().empty());
  EXPECT_EQ(keys().localMonitorCount(), 0U);
  EXPECT_EQ(keys().globalMonitorCount(), 0U);
}

}  // namespace
}  // namespace tessarapane
