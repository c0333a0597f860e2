#pragma once

#include <functional>
#include <memory>

#include "app/LayoutControl.h"
#include "app/StatusItem.h"
#include "app/StatusItemController.h"
#include "chrome/ChromeFactory.h"
#include "coordinator/LayoutCoordinator.h"
#include "hotkeys/HotKeyAction.h"
#include "hotkeys/HotKeyCenter.h"
#include "hotkeys/HotKeySettingsStore.h"
#include "hotkeys/HotKeySettingsWindow.h"
#include "hotkeys/HotKeySettingsWindowController.h"
#include "permission/PermissionGuideWindow.h"
#include "permission/PermissionGuideWindowController.h"
#include "platform/Platform.h"
#include "tasks/DelayedTask.h"

namespace tessarapane {

// Owns every long-lived service of the process, creates them in a fixed
// order at launch, wires the callbacks between them (each holding its target
// weakly, so no cycle forms), brings the last layout back one second after
// launch and tears down at termination. Main thread only.
//
// A toolkit main() makes the views, then:
//   auto delegate = AppDelegate::create(platform, views);   // views.quitEventLoop = quit the loop
//   delegate->applicationDidFinishLaunching();               // once the loop is about to run
//   on the loop's end / SIGTERM / session end: delegate->applicationWillTerminate();
//   run the loop
// and routes the windows' buttons to permissionGuideWindowController() and
// hotKeySettingsWindowController(). The status menu's quit leaves the layout
// without keeping it and then calls views.quitEventLoop; the loop's end is
// expected to deliver applicationWillTerminate as for any other termination.
class AppDelegate : public std::enable_shared_from_this<AppDelegate> {
 public:
  // Seconds from the end of launching to the remembered-layout restore, and
  // to the notice about hot keys the window manager holds (which comes after
  // the restore, so its modal loop holds nothing up).
  static constexpr double kRestoreDelay = 1.0;

  // What the toolkit supplies.
  struct Views {
    std::shared_ptr<ChromeFactory> chromeFactory;
    std::shared_ptr<StatusBar> statusBar;
    std::shared_ptr<HotKeySettingsWindow> hotKeySettingsWindow;
    std::shared_ptr<PermissionGuideWindow> permissionGuideWindow;
    // Ends the application's event loop.
    std::function<void()> quitEventLoop;
  };

  static std::shared_ptr<AppDelegate> create(const Platform& platform, Views views);

  AppDelegate(const AppDelegate&) = delete;
  AppDelegate& operator=(const AppDelegate&) = delete;

  // The launch sequence; a second call does nothing.
  void applicationDidFinishLaunching();
  // The termination notice: leaves the layout keeping it remembered (the
  // windows stay where the layout put them) and gives back the hot keys.
  void applicationWillTerminate();

  bool isLaunched() const { return launched_; }
  bool isTerminated() const { return terminated_; }

  // The services, empty until launch finishes.
  const std::shared_ptr<StatusItemController>& statusItemController() const { return statusItemController_; }
  const std::shared_ptr<LayoutCoordinator>& layoutCoordinator() const { return layoutCoordinator_; }
  const std::shared_ptr<HotKeyCenter>& hotKeyCenter() const { return hotKeyCenter_; }
  const std::shared_ptr<HotKeySettingsStore>& hotKeySettingsStore() const { return hotKeySettingsStore_; }
  const std::shared_ptr<HotKeySettingsWindowController>& hotKeySettingsWindowController() const {
    return hotKeySettingsWindowController_;
  }
  const std::shared_ptr<PermissionGuideWindowController>& permissionGuideWindowController() const {
    return permissionGuideWindowController_;
  }
  // Whether the one-second restore is still to come.
  bool isRestorePending() const { return restoreTask_.isPending(); }

 private:
  AppDelegate(const Platform& platform, Views views);

  // Ordinals 0 to 3 move the focused tab in the direction of the same
  // ordinal; anything above starts the full-screen layout.
  static void dispatch(HotKeyAction action, LayoutCoordinator& coordinator);
  void requestTermination();
  // Once per process: names the bindings the window manager held at launch
  // and offers the hot-key settings.
  void tellAboutHeldHotKeys();

  Platform platform_;
  Views views_;
  bool launched_ = false;
  bool terminated_ = false;

  std::shared_ptr<StatusItemController> statusItemController_;
  std::shared_ptr<LayoutCoordinator> layoutCoordinator_;
  std::shared_ptr<HotKeyCenter> hotKeyCenter_;
  std::shared_ptr<HotKeySettingsStore> hotKeySettingsStore_;
  std::shared_ptr<HotKeySettingsWindowController> hotKeySettingsWindowController_;
  std::shared_ptr<PermissionGuideWindowController> permissionGuideWindowController_;
  // Last, so it is cancelled before any service goes.
  DelayedTask restoreTask_;
};

}  // namespace tessarapane
