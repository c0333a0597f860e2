#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/LayoutControl.h"
#include "app/StatusItem.h"
#include "app/StatusMenuEntry.h"
#include "layout/LayoutKind.h"
#include "platform/Platform.h"
#include "tasks/DelayedTask.h"

namespace tessarapane {

// The application's icon in the menu bar and its menu: starts each layout,
// leaves the running one, opens the hot-key settings and the accessibility
// settings, and quits. Shortly after creation it checks that the platform
// gave the icon a visible place, recreates it once if not, and offers the
// menu-bar settings at most once when it is still hidden. Main thread only.
class StatusItemController : public StatusMenuDelegate, public std::enable_shared_from_this<StatusItemController> {
 public:
  // Each wait of the presence watch, in seconds.
  static constexpr double kPresenceCheckDelay = 0.7;
  // An icon still without a tray host at the second look gets this long
  // (looked at every kPresenceCheckDelay) for a panel that starts after the
  // program at log-in, before the user is told.
  static constexpr double kTrayHostGrace = 10.0;

  struct Callbacks {
    std::function<void()> onOpenHotKeySettings;
    std::function<void()> onOpenPermissionGuide;
    // Ends the application (after the layout was left).
    std::function<void()> onTerminate;
  };

  // Takes a square item from the status bar, configures it and starts the
  // presence watch.
  static std::shared_ptr<StatusItemController> create(const Platform& platform,
                                                      std::shared_ptr<LayoutControl> coordinator,
                                                      std::shared_ptr<StatusBar> statusBar, Callbacks callbacks);

  StatusItemController(const StatusItemController&) = delete;
  StatusItemController& operator=(const StatusItemController&) = delete;

  // StatusMenuDelegate
  void menuWillOpen() override;
  void menuEntryChosen(std::size_t index) override;

  // The menu's actions.
  void startLayoutFromMenu(const std::optional<std::string>& representedObject);
  void startBento();
  void exitLayout();
  void openHotKeySettings();
  void openAccessibilitySettings();
  void quit();

  // The presence check (started by create()).
  void watchPresence();
  bool isParkedOffMenuBar() const;
  void recreateStatusItem();
  void offerMenuBarSettingsIfNeeded();
  void reportHelpNotOpened();

  const std::shared_ptr<StatusItem>& statusItem() const { return statusItem_; }
  // The entries as last handed to the menu.
  const std::vector<StatusMenuEntry>& entries() const { return entries_; }
  bool isWatchingPresence() const { return presenceWatchTask_.isPending(); }

 private:
  StatusItemController(const Platform& platform, std::shared_ptr<LayoutControl> coordinator,
                       std::shared_ptr<StatusBar> statusBar, Callbacks callbacks);

  void configureStatusItem();
  void applyMenu();
  // Makes the item entries on first use; they then keep their states.
  void makeItemsIfNeeded();
  std::vector<StatusMenuEntry> buildEntries() const;
  void sendEntries();

  std::shared_ptr<LayoutControl> coordinator_;
  Callbacks callbacks_;
  std::shared_ptr<StatusBar> statusBar_;
  std::shared_ptr<Accessibility> accessibility_;
  std::shared_ptr<Workspace> workspace_;
  std::shared_ptr<Screens> screens_;
  std::shared_ptr<Scheduler> scheduler_;
  std::shared_ptr<Alerts> alerts_;
  std::shared_ptr<Log> log_;

  std::shared_ptr<StatusItem> statusItem_;
  std::shared_ptr<StatusMenu> menu_;
  DelayedTask presenceWatchTask_;
  bool didOfferMenuBarSettings_ = false;
  std::vector<std::pair<LayoutKind, StatusMenuEntry>> layoutItems_;
  std::optional<StatusMenuEntry> bentoItem_;
  std::optional<StatusMenuEntry> exitLayoutItem_;
  std::optional<StatusMenuEntry> hotKeySettingsItem_;
  std::optional<StatusMenuEntry> permissionItem_;
  std::vector<StatusMenuEntry> entries_;
};

}  // namespace tessarapane
