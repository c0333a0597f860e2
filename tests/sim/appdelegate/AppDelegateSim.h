#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppDelegate.h"
#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimHotKeys.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"
#include "backends/sim/SimUserDefaults.h"
#include "hotkeys/KeyChord.h"
#include "sim/app/StatusItemDoubles.h"
#include "sim/permission/PermissionSim.h"

namespace tessarapane::testing_support {

// Panels the tests do not look at: the coordinator goes on without them.
class NoChrome final : public ChromeFactory {
 public:
  std::shared_ptr<PaneTabBarPanel> makePaneTabBarPanel(const std::vector<PaneTabPresentation>&,
                                                       const std::vector<PaneMoveDirection>&, const Rect&,
                                                       PaneTabBarHandlers) override {
    return nullptr;
  }
  std::shared_ptr<BentoDividerController> makeBentoDividerController(BentoDividerCallbacks) override { return nullptr; }
  std::shared_ptr<BentoPreviewPanel> makeBentoPreviewPanel(const Rect&) override { return nullptr; }
};

class RecordingSettingsWindow final : public HotKeySettingsWindow {
 public:
  void show() override { ++shows; }
  void close() override {}
  bool isVisible() const override { return shows > 0; }
  void refreshRows(const std::vector<HotKeySettingsGroup>&) override {}
  void showConflict(const std::optional<std::string>&) override {}
  int shows = 0;
};

inline constexpr std::uint32_t kKeyL = 37, kKeyReturn = 36, kKeyLeft = 123, kKeyRight = 124, kKeyDown = 125,
                               kKeyUp = 126;

using PaneIDs = std::vector<std::vector<WindowID>>;

// A 1440 x 900 desktop on virtual time, recording views, and a delegate
// wired as the program wires it, not yet launched.
class AppDelegateSim : public ::testing::Test {
 protected:
  AppDelegateSim() {
    views.chromeFactory = std::make_shared<NoChrome>();
    views.statusBar = bar;
    views.hotKeySettingsWindow = settingsWindow;
    views.permissionGuideWindow = guideWindow;
    views.permissionHelperPanel = std::make_shared<RecordingHelperPanel>();
    // As the toolkit does: the loop's end delivers the termination notice.
    views.quitEventLoop = [this] {
      quitSawRemembered = remembered();
      if (delegate) delegate->applicationWillTerminate();
    };
  }

  void launch() {
    delegate = AppDelegate::create(platform, views);
    delegate->applicationDidFinishLaunching();
  }
  WindowID open(const std::string& title, Rect frame) {
    if (!app) {
      SimAppSpec editor;
      editor.bundleIdentifier = "org.example.Editor";
      editor.localizedName = "Editor";
      app = desktop->launchApplication(editor);
    }
    SimWindowSpec wanted;
    wanted.owner = app;
    wanted.title = title;
    wanted.frame = frame;
    return desktop->createWindow(std::move(wanted));
  }
  // The user presses a chord; what the platform answered.
  std::optional<bool> press(std::uint32_t keyCode, std::uint32_t modifiers = KeyChord::kDefaultModifiers) {
    const auto answer = desktop->hotKeys()->pressHotKey(keyCode, modifiers);
    clock->advance(5.0);
    return answer;
  }
  void choose(const std::string& title) {
    bar->made.back()->menu->choose(title);
    clock->advance(5.0);
  }
  PaneIDs panes() {
    PaneIDs result;
    if (const auto& session = delegate->layoutCoordinator()->session) {
      for (const PaneState& pane : session->panes) result.push_back(pane.windowIDs());
    }
    return result;
  }
  std::optional<std::string> remembered() const { return desktop->userDefaults()->stringValue("rememberedLayout"); }
  Rect frameOf(WindowID window) const { return desktop->frame(window).value_or(Rect::null()); }
  std::size_t frameWrites(const std::vector<WindowID>& windows) const {
    std::size_t writes = 0;
    for (WindowID window : windows) writes += desktop->recorder().frameWrites(window);
    return writes;
  }
  SimHotKeys& keys() { return *desktop->hotKeys(); }
  bool hotKeysGivenBack() {
    return keys().registrations().empty() && keys().localMonitorCount() + keys().globalMonitorCount() == 0 &&
           !keys().hasPressedHandler();
  }

  std::shared_ptr<SimScheduler> clock = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(clock);
  Platform platform = makeSimPlatform(desktop);
  std::shared_ptr<RecordingStatusBar> bar = std::make_shared<RecordingStatusBar>();
  std::shared_ptr<RecordingSettingsWindow> settingsWindow = std::make_shared<RecordingSettingsWindow>();
  std::shared_ptr<RecordingGuideWindow> guideWindow = std::make_shared<RecordingGuideWindow>();
  AppDelegate::Views views;
  std::shared_ptr<AppDelegate> delegate;
  ProcessID app = 0;
  std::optional<std::string> quitSawRemembered = "not asked";
};

}  // namespace tessarapane::testing_support
