#include "app/StatusItemController.h"

#include <utility>

#include "app/StatusItemPresence.h"
#include "app/StatusMenuTexts.h"
#include "chrome/LayoutKindIcon.h"
#include "permission/Permissions.h"
#include "platform/Localizer.h"
#include "tasks/TaskSteps.h"
#include "text/TextFormat.h"

namespace tessarapane {

namespace {

constexpr const char* kApplicationName = "Tessarapane";
// Shown instead of the icon when the button took no image.
constexpr const char* kApplicationInitials = "TP";

StatusMenuEntry sectionHeader(std::string title) {
  StatusMenuEntry entry;
  entry.kind = StatusMenuEntry::Kind::sectionHeader;
  entry.title = std::move(title);
  entry.isEnabled = false;
  return entry;
}

StatusMenuEntry separator() {
  StatusMenuEntry entry;
  entry.kind = StatusMenuEntry::Kind::separator;
  entry.isEnabled = false;
  return entry;
}

StatusMenuEntry item(std::string title, StatusMenuAction action) {
  StatusMenuEntry entry;
  entry.title = std::move(title);
  entry.action = action;
  return entry;
}

}  // namespace

std::shared_ptr<StatusItemController> StatusItemController::create(const Platform& platform,
                                                                   std::shared_ptr<LayoutControl> coordinator,
                                                                   std::shared_ptr<StatusBar> statusBar,
                                                                   Callbacks callbacks) {
  std::shared_ptr<StatusItemController> controller(
      new StatusItemController(platform, std::move(coordinator), std::move(statusBar), std::move(callbacks)));
  if (controller->statusBar_) controller->statusItem_ = controller->statusBar_->makeSquareItem();
  controller->configureStatusItem();
  controller->watchPresence();
  return controller;
}

StatusItemController::StatusItemController(const Platform& platform, std::shared_ptr<LayoutControl> coordinator,
                                           std::shared_ptr<StatusBar> statusBar, Callbacks callbacks)
    : coordinator_(std::move(coordinator)),
      callbacks_(std::move(callbacks)),
      statusBar_(std::move(statusBar)),
      accessibility_(platform.accessibility),
      workspace_(platform.workspace),
      screens_(platform.screens),
      scheduler_(platform.scheduler),
      alerts_(platform.alerts),
      log_(platform.log) {}

// --- The item and its menu -------------------------------------------------

void StatusItemController::configureStatusItem() {
  if (!statusItem_) return;
  statusItem_->setVisible(true);
  if (statusItem_->hasButton()) {
    LayoutKindIcon::Image image = LayoutKindIcon::statusBarImage();
    image.isTemplate = true;  // the menu bar tints it for light and dark
    statusItem_->setButtonImage(image);
    statusItem_->setButtonToolTip(localized(kApplicationName));
    if (!statusItem_->buttonHasImage()) statusItem_->setButtonTitle(kApplicationInitials);
  }
  applyMenu();
}

void StatusItemController::makeItemsIfNeeded() {
  if (layoutItems_.empty()) {
    for (LayoutKind kind : kAllLayoutKinds) {
      StatusMenuEntry entry = item(StatusMenuTexts::layoutItemTitle(kind), StatusMenuAction::startLayoutFromMenu);
      entry.representedObject = std::string(rawValue(kind));
      entry.image = LayoutKindIcon::image(kind);
      layoutItems_.emplace_back(kind, std::move(entry));
    }
  }
  if (!bentoItem_) {
    bentoItem_ = item(localized("网格"), StatusMenuAction::startBento);
    bentoItem_->image = LayoutKindIcon::bentoImage();
  }
  if (!exitLayoutItem_) exitLayoutItem_ = item(localized("退出当前布局"), StatusMenuAction::exitLayout);
  if (!hotKeySettingsItem_) {
    hotKeySettingsItem_ = item(localized("快捷键设置…"), StatusMenuAction::openHotKeySettings);
  }
  if (!permissionItem_) {
    permissionItem_ = item(localized("窗口管理器状态…"), StatusMenuAction::openAccessibilitySettings);
  }
}

std::vector<StatusMenuEntry> StatusItemController::buildEntries() const {
  std::vector<StatusMenuEntry> entries;
  // The section headers are deliberately not localised.
  entries.push_back(sectionHeader("Tab Mode"));
  for (const auto& layoutItem : layoutItems_) entries.push_back(layoutItem.second);
  entries.push_back(separator());
  entries.push_back(sectionHeader("Grid Mode"));
  entries.push_back(*bentoItem_);
  entries.push_back(separator());
  entries.push_back(*exitLayoutItem_);
  entries.push_back(*hotKeySettingsItem_);
  entries.push_back(separator());
  entries.push_back(*permissionItem_);
  entries.push_back(separator());
  StatusMenuEntry quitItem = item(localized("退出 Tessarapane"), StatusMenuAction::quit);
  quitItem.keyEquivalent = "q";
  entries.push_back(std::move(quitItem));
  return entries;
}

void StatusItemController::sendEntries() {
  entries_ = buildEntries();
  if (menu_) menu_->setEntries(entries_);
}

void StatusItemController::applyMenu() {
  makeItemsIfNeeded();
  menu_ = statusBar_ ? statusBar_->makeMenu() : nullptr;
  if (menu_) menu_->setDelegate(weak_from_this());
  sendEntries();
  if (statusItem_) statusItem_->setMenu(menu_);
}

void StatusItemController::menuWillOpen() {
  makeItemsIfNeeded();
  const std::optional<LayoutKind> running = coordinator_ ? coordinator_->runningLayoutKind() : std::nullopt;
  const bool bentoRuns = coordinator_ && coordinator_->runningBentoTileCount().has_value();
  for (auto& [kind, entry] : layoutItems_) entry.isOn = running == kind;
  bentoItem_->isOn = bentoRuns;
  exitLayoutItem_->isEnabled = running.has_value() || bentoRuns;
  permissionItem_->isOn = accessibility_ && Permissions::isTrusted(*accessibility_);
  sendEntries();
}

void StatusItemController::menuEntryChosen(std::size_t index) {
  if (index >= entries_.size()) return;
  const StatusMenuEntry entry = entries_[index];  // an action may rebuild the entries
  if (entry.kind != StatusMenuEntry::Kind::item || !entry.isEnabled) return;
  switch (entry.action) {
    case StatusMenuAction::none: break;
    case StatusMenuAction::startLayoutFromMenu: startLayoutFromMenu(entry.representedObject); break;
    case StatusMenuAction::startBento: startBento(); break;
    case StatusMenuAction::exitLayout: exitLayout(); break;
    case StatusMenuAction::openHotKeySettings: openHotKeySettings(); break;
    case StatusMenuAction::openAccessibilitySettings: openAccessibilitySettings(); break;
    case StatusMenuAction::quit: quit(); break;
  }
}

// --- Actions -----------------------------------------------------------------

void StatusItemController::startLayoutFromMenu(const std::optional<std::string>& representedObject) {
  if (!representedObject || !coordinator_) return;
  if (const auto kind = fromRawValue<LayoutKind>(*representedObject)) coordinator_->startLayout(*kind);
}

void StatusItemController::startBento() {
  if (coordinator_) coordinator_->startBento();
}

void StatusItemController::exitLayout() {
  if (coordinator_) coordinator_->exitLayout(false);
}

void StatusItemController::openHotKeySettings() {
  if (callbacks_.onOpenHotKeySettings) callbacks_.onOpenHotKeySettings();
}

// There is no settings pane to open for a window manager: the guide says
// which one runs and what it lacks, granted or not.
void StatusItemController::openAccessibilitySettings() {
  if (callbacks_.onOpenPermissionGuide) callbacks_.onOpenPermissionGuide();
}

void StatusItemController::quit() {
  // Leaving without keeping it: the next launch restores nothing.
  if (coordinator_) coordinator_->exitLayout(false);
  if (callbacks_.onTerminate) callbacks_.onTerminate();
}

// --- Presence ----------------------------------------------------------------

void StatusItemController::watchPresence() {
  presenceWatchTask_.cancel();
  Steps<StatusItemController> steps;
  steps.firstDelay = kPresenceCheckDelay;
  steps.step = [recreated = false, waited = 0.0](StatusItemController& self) mutable {
    if (!recreated) {
      if (!self.isParkedOffMenuBar()) return NextWait::end(TaskEnd::finished);
      recreated = true;
      self.recreateStatusItem();
      return NextWait::after(kPresenceCheckDelay);
    }
    if (!self.isParkedOffMenuBar()) return NextWait::end(TaskEnd::finished);
    const bool noTrayHost = self.statusItem_ && !self.statusItem_->isVisible();
    if (noTrayHost && waited + kPresenceCheckDelay <= kTrayHostGrace) {
      waited += kPresenceCheckDelay;
      return NextWait::after(kPresenceCheckDelay);
    }
    self.offerMenuBarSettingsIfNeeded();
    return NextWait::end(TaskEnd::finished);
  };
  presenceWatchTask_ = runSteps(scheduler_, weak_from_this(), std::move(steps));
}

bool StatusItemController::isParkedOffMenuBar() const {
  if (!statusItem_ || !statusItem_->isVisible()) return true;
  if (!statusItem_->hasButton()) return false;
  const std::optional<Rect> windowFrame = statusItem_->buttonWindowFrame();
  if (!windowFrame) return false;
  std::optional<Screen> screen = statusItem_->buttonWindowScreen();
  if (!screen && screens_) screen = screens_->mainScreen();
  if (!screen) return StatusItemPresence::isParkedOffMenuBar(*windowFrame, std::nullopt, 0);
  const double menuBarHeight = screen->frame.maxY() - screen->visibleFrame.maxY();
  return StatusItemPresence::isParkedOffMenuBar(*windowFrame, screen->frame, menuBarHeight);
}

void StatusItemController::recreateStatusItem() {
  if (!statusBar_) return;
  if (statusItem_) statusBar_->removeItem(statusItem_);
  statusItem_ = statusBar_->makeSquareItem();
  configureStatusItem();
}

void StatusItemController::offerMenuBarSettingsIfNeeded() {
  if (didOfferMenuBarSettings_) return;
  didOfferMenuBarSettings_ = true;
  if (log_) log_->write(kLogSubsystem, "Tray", "no system tray shows the icon; telling the user");
  if (workspace_) workspace_->activate(workspace_->currentProcessID());
  if (!alerts_) return;
  const std::vector<std::string> buttons = {localized("打开帮助"), localized("稍后")};
  const std::size_t chosen =
      alerts_->runNotice(localized("找不到系统托盘"), StatusMenuTexts::missingTrayMessage(), buttons);
  if (chosen != 0 || !workspace_) return;
  const std::weak_ptr<StatusItemController> weak = weak_from_this();
  Permissions::openFirst(Permissions::trayHelpAddresses(), *workspace_, [weak](const std::string& opened) {
    const auto self = weak.lock();
    if (!self) return;
    if (self->log_) self->log_->write(kLogSubsystem, "Tray", opened.empty() ? "no help address opened" : "opened " + opened);
    if (opened.empty()) self->reportHelpNotOpened();
  });
}

// Every help address failed: say where the help is, so it can be opened by hand.
void StatusItemController::reportHelpNotOpened() {
  if (!alerts_) return;
  const std::span<const std::string> addresses = Permissions::trayHelpAddresses();
  alerts_->runNotice(localized("无法打开帮助"),
                    TextFormat::format(localized("请在浏览器中打开：%@"), {addresses.back()}), {});
}

}  // namespace tessarapane
