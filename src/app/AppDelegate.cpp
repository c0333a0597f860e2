#include "app/AppDelegate.h"

#include <utility>

#include "app/CoordinatorLayoutControl.h"
#include "app/HeldHotKeysNotice.h"
#include "coordinator/SettingsLog.h"
#include "layout/LayoutKind.h"
#include "layout/PaneMoveDirection.h"
#include "permission/Permissions.h"
#include "platform/Localizer.h"
#include "tasks/DelayedAction.h"

namespace tessarapane {

std::shared_ptr<AppDelegate> AppDelegate::create(const Platform& platform, Views views) {
  return std::shared_ptr<AppDelegate>(new AppDelegate(platform, std::move(views)));
}

AppDelegate::AppDelegate(const Platform& platform, Views views) : platform_(platform), views_(std::move(views)) {}

void AppDelegate::applicationDidFinishLaunching() {
  if (launched_) return;
  launched_ = true;

  // 1. The permission guide.
  permissionGuideWindowController_ = PermissionGuideWindowController::create(platform_, views_.permissionGuideWindow);
  const std::weak_ptr<PermissionGuideWindowController> guide = permissionGuideWindowController_;

  // 2. The coordinator; a layout requested without the permission opens the
  // guide.
  layoutCoordinator_ = LayoutCoordinator::create(platform_, views_.chromeFactory);
  layoutCoordinator_->onAccessibilityMissing = [guide] {
    if (const auto live = guide.lock()) live->show();
  };
  const std::weak_ptr<LayoutCoordinator> coordinator = layoutCoordinator_;

  // 3. The bindings, loaded from the user defaults.
  hotKeySettingsStore_ =
      std::make_shared<HotKeySettingsStore>(platform_.userDefaults, [log = platform_.log](std::string_view text) {
        if (log) log->write(LayoutCoordinator::kLogSubsystem, kSettingsLogCategory, text);
      });

  // 4. The hot keys, delivering to the coordinator.
  hotKeyCenter_ = HotKeyCenter::create(platform_);
  hotKeyCenter_->handler = [coordinator](HotKeyAction action) {
    if (const auto live = coordinator.lock()) dispatch(action, *live);
  };

  // 5. Registration and monitors (the center is not suspended at launch).
  hotKeyCenter_->updateBindings(hotKeySettingsStore_->bindings());

  // 6. Every accepted change re-registers all hot keys at once.
  const std::weak_ptr<HotKeyCenter> center = hotKeyCenter_;
  hotKeySettingsStore_->onChange = [center](const HotKeyBindings& bindings) {
    if (const auto live = center.lock()) live->updateBindings(bindings);
  };

  // 7. The settings window.
  hotKeySettingsWindowController_ = HotKeySettingsWindowController::create(
      hotKeySettingsStore_, hotKeyCenter_, platform_.hotKeys, views_.hotKeySettingsWindow);
  const std::weak_ptr<HotKeySettingsWindowController> settings = hotKeySettingsWindowController_;

  // 8. The status item and its menu.
  StatusItemController::Callbacks callbacks;
  // The window's show() activates the application, centres the panel and
  // makes it key and front.
  callbacks.onOpenHotKeySettings = [settings] {
    if (const auto live = settings.lock()) live->showWindow();
  };
  callbacks.onOpenPermissionGuide = [guide] {
    if (const auto live = guide.lock()) live->show();
  };
  callbacks.onTerminate = [self = weak_from_this()] {
    if (const auto live = self.lock()) live->requestTermination();
  };
  statusItemController_ = StatusItemController::create(
      platform_, std::make_shared<CoordinatorLayoutControl>(coordinator), views_.statusBar, std::move(callbacks));

  // 9. Without the permission nothing can work: say so at once.
  if (!platform_.accessibility || !Permissions::isTrusted(*platform_.accessibility)) {
    permissionGuideWindowController_->show();
  }

  // 10. The last layout comes back a second later, once the desktop has
  // settled around the newly started process; then the user hears of hot
  // keys the window manager keeps for itself.
  DelayedAction<AppDelegate> restore;
  restore.delay = kRestoreDelay;
  restore.action = [](AppDelegate& self) {
    self.layoutCoordinator_->restoreRememberedLayout();
    self.tellAboutHeldHotKeys();
  };
  restoreTask_ = runAfter(platform_.scheduler, shared_from_this(), std::move(restore));
}

void AppDelegate::tellAboutHeldHotKeys() {
  const HotKeyBindings held = hotKeyCenter_->heldBindings();
  if (held.empty() || !platform_.alerts) return;
  if (platform_.workspace) platform_.workspace->activate(platform_.workspace->currentProcessID());
  const std::vector<std::string> buttons = {localized("快捷键设置…"), localized("稍后")};
  const std::size_t chosen =
      platform_.alerts->runNotice(HeldHotKeysNotice::title(), HeldHotKeysNotice::message(held), buttons);
  if (chosen == 0 && !terminated_) hotKeySettingsWindowController_->showWindow();
}

void AppDelegate::dispatch(HotKeyAction action, LayoutCoordinator& coordinator) {
  const int index = ordinal(action);
  if (index >= 0 && index < static_cast<int>(kAllPaneMoveDirections.size())) {
    coordinator.moveFocusedTab(kAllPaneMoveDirections[static_cast<std::size_t>(index)]);
    return;
  }
  coordinator.startLayout(LayoutKind::fullScreen);
}

void AppDelegate::requestTermination() {
  if (views_.quitEventLoop) views_.quitEventLoop();
}

void AppDelegate::applicationWillTerminate() {
  if (terminated_) return;
  terminated_ = true;
  // The loop may still turn after the notice: no layout may start now.
  restoreTask_.cancel();
  // Windows stay where the layout put them and the layout stays remembered,
  // so the next launch finds them in their panes again.
  if (layoutCoordinator_) layoutCoordinator_->exitLayout(true);
  if (hotKeyCenter_) hotKeyCenter_->terminate();
}

}  // namespace tessarapane
