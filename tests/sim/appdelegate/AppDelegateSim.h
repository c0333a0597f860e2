#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppDelegate.h"
#include "backends/sim/SimHotKeys.h"
#include "backends/sim/SimUserDefaults.h"
#include "hotkeys/KeyChord.h"
#include "sim/app/StatusItemDoubles.h"
#include "sim/desktop/SimDesktopTest.h"
#include "RecordingGuideWindow.h"

namespace tessarapane::testing_support {

// Panels the tests do not look at: the coordinator goes on without them.
struct NoChrome final : ChromeFactory {
  std::shared_ptr<PaneTabBarPanel> makePaneTabBarPanel(const std::vector<PaneTabPresentation>&,
                                                       const std::vector<PaneMoveDirection>&, const Rect&,
                                                       PaneTabBarHandlers) override {
    return nullptr;
  }
  std::shared_ptr<BentoDividerController> makeBentoDividerController(BentoDividerCallbacks) override { return nullptr; }
  std::shared_ptr<BentoPreviewPanel> makeBentoPreviewPanel(const Rect&) override { return nullptr; }
};

struct CountingSettingsWindow final : HotKeySettingsWindow {
  void show() override { ++shows; }
  void close() override {}
  bool isVisible() const override { return shows > 0; }
  void refreshRows(const std::vector<HotKeySettingsGroup>& groups) override { drawn = groups; }
  void showConflict(const std::optional<std::string>&) override {}
  int shows = 0;
  std::vector<HotKeySettingsGroup> drawn;
};

inline constexpr std::uint16_t kKeyL = 37, kKeyReturn = 36, kKeyLeft = 123, kKeyRight = 124, kKeyDown = 125,
                               kKeyUp = 126;

using PaneIDs = std::vector<std::vector<WindowID>>;

// A 1440 x 900 desktop with an editor on virtual time, recording views, and
// a delegate wired as the program wires it once launched.
struct AppDelegateSim : SimDesktopTest {
  AppDelegateSim() {
    views = {std::make_shared<NoChrome>(), bar, settingsWindow, guideWindow,
             // As the toolkit does: the loop's end delivers the termination notice.
             [this] {
               quitSawRemembered = remembered();
               if (delegate) delegate->applicationWillTerminate();
             }};
    app = SimDesktopTest::launch("Editor");
  }

  void launch() {
    delegate = AppDelegate::create(platform, views);
    delegate->applicationDidFinishLaunching();
  }
  WindowID open(const std::string& title, Rect frame) { return SimDesktopTest::open(app, title, frame); }
  // The user presses a chord, or chooses a menu entry; then time passes.
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
    for (const LayoutSnapshot::Pane& pane : delegate->layoutCoordinator()->snapshot().panes) {
      result.emplace_back();
      for (const LayoutSnapshot::Window& window : pane.windows) result.back().push_back(window.id);
    }
    return result;
  }
  std::optional<std::string> remembered() const { return desktop->userDefaults()->stringValue("rememberedLayout"); }
  Rect frameOf(WindowID window) const { return *desktop->frame(window); }
  std::size_t writes(const std::vector<WindowID>& windows) const {
    std::size_t count = 0;
    for (WindowID window : windows) count += desktop->recorder().frameWrites(window);
    return count;
  }
  bool hotKeysGivenBack() {
    SimHotKeys& keys = *desktop->hotKeys();
    return keys.registrations().empty() && keys.localMonitorCount() + keys.globalMonitorCount() == 0 &&
           !keys.hasPressedHandler();
  }

  std::shared_ptr<RecordingStatusBar> bar = std::make_shared<RecordingStatusBar>();
  std::shared_ptr<CountingSettingsWindow> settingsWindow = std::make_shared<CountingSettingsWindow>();
  std::shared_ptr<RecordingGuideWindow> guideWindow = std::make_shared<RecordingGuideWindow>();
  AppDelegate::Views views;
  std::shared_ptr<AppDelegate> delegate;
  ProcessID app = 0;
  std::optional<std::string> quitSawRemembered = "not asked";
};

}  // namespace tessarapane::testing_support
