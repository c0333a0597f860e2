#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/AppDelegate.h"
#include "backends/sim/SimAlerts.h"
#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimHotKeys.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"
#include "backends/sim/SimUserDefaults.h"
#include "hotkeys/KeyChord.h"
#include "sim/app/StatusItemDoubles.h"
#include "sim/coordinator/RecordingChrome.h"
#include "sim/permission/PermissionSimFixture.h"
#include "windows/ScreenIdentity.h"

namespace tessarapane::testing_support {

// Every call the launch makes of the platform and the views that tells one
// step from another, in the order made.
using CallLog = std::shared_ptr<std::vector<std::string>>;

class LoggingHotKeys final : public HotKeys {
 public:
  LoggingHotKeys(std::shared_ptr<HotKeys> inner, CallLog log) : inner_(std::move(inner)), log_(std::move(log)) {}

  HotKeyRegistration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyID id) override {
    log_->push_back("hotKeys.register " + std::to_string(id.id));
    return inner_->registerHotKey(keyCode, modifiers, id);
  }
  void unregisterHotKey(HotKeyRef ref) override { inner_->unregisterHotKey(ref); }
  Subscription installHotKeyPressedHandler(std::function<bool(HotKeyID)> handler) override {
    log_->push_back("hotKeys.installHandler");
    return inner_->installHotKeyPressedHandler(std::move(handler));
  }
  Subscription addLocalKeyDownMonitor(std::function<bool(const KeyEvent&)> monitor) override {
    log_->push_back("hotKeys.localMonitor");
    return inner_->addLocalKeyDownMonitor(std::move(monitor));
  }
  Subscription addGlobalKeyDownMonitor(std::function<void(const KeyEvent&)> monitor) override {
    log_->push_back("hotKeys.globalMonitor");
    return inner_->addGlobalKeyDownMonitor(std::move(monitor));
  }

 private:
  std::shared_ptr<HotKeys> inner_;
  CallLog log_;
};

class LoggingScreens final : public Screens {
 public:
  LoggingScreens(std::shared_ptr<Screens> inner, CallLog log) : inner_(std::move(inner)), log_(std::move(log)) {}

  std::vector<Screen> screens() override { return inner_->screens(); }
  std::optional<Screen> mainScreen() override { return inner_->mainScreen(); }
  Subscription subscribeScreenParametersChanged(std::function<void()> handler) override {
    log_->push_back("screens.subscribe");
    return inner_->subscribeScreenParametersChanged(std::move(handler));
  }

 private:
  std::shared_ptr<Screens> inner_;
  CallLog log_;
};

// Logs reads only: writes are what the tests look at in the store itself.
class LoggingUserDefaults final : public UserDefaults {
 public:
  LoggingUserDefaults(std::shared_ptr<UserDefaults> inner, CallLog log)
      : inner_(std::move(inner)), log_(std::move(log)) {}

  std::optional<std::string> stringValue(std::string_view key) override {
    log_->push_back("defaults.read " + std::string(key));
    return inner_->stringValue(key);
  }
  std::optional<bool> boolValue(std::string_view key) override {
    log_->push_back("defaults.read " + std::string(key));
    return inner_->boolValue(key);
  }
  std::optional<std::vector<std::uint8_t>> dataValue(std::string_view key) override {
    log_->push_back("defaults.read " + std::string(key));
    return inner_->dataValue(key);
  }
  void setString(std::string_view key, std::string_view value) override { inner_->setString(key, value); }
  void setBool(std::string_view key, bool value) override { inner_->setBool(key, value); }
  void setData(std::string_view key, const std::vector<std::uint8_t>& value) override { inner_->setData(key, value); }
  void removeValue(std::string_view key) override { inner_->removeValue(key); }

 private:
  std::shared_ptr<UserDefaults> inner_;
  CallLog log_;
};

// Logs one-shot timers with their delay, so the restore shows up.
class LoggingScheduler final : public Scheduler {
 public:
  LoggingScheduler(std::shared_ptr<Scheduler> inner, CallLog log) : inner_(std::move(inner)), log_(std::move(log)) {}

  double now() override { return inner_->now(); }
  double wallClock() override { return inner_->wallClock(); }
  Subscription scheduleOnce(double delay, std::function<void()> action) override {
    std::ostringstream entry;
    entry << "scheduler.once " << delay;
    log_->push_back(entry.str());
    return inner_->scheduleOnce(delay, std::move(action));
  }
  Subscription scheduleRepeating(double interval, std::function<void()> action) override {
    return inner_->scheduleRepeating(interval, std::move(action));
  }
  void postToMainThread(std::function<void()> action) override { inner_->postToMainThread(std::move(action)); }

 private:
  std::shared_ptr<Scheduler> inner_;
  CallLog log_;
};

class LoggingStatusBar final : public StatusBar {
 public:
  LoggingStatusBar(std::shared_ptr<RecordingStatusBar> inner, CallLog log)
      : inner_(std::move(inner)), log_(std::move(log)) {}

  std::shared_ptr<StatusItem> makeSquareItem() override {
    log_->push_back("statusBar.makeSquareItem");
    return inner_->makeSquareItem();
  }
  void removeItem(const std::shared_ptr<StatusItem>& item) override { inner_->removeItem(item); }
  std::shared_ptr<StatusMenu> makeMenu() override { return inner_->makeMenu(); }

 private:
  std::shared_ptr<RecordingStatusBar> inner_;
  CallLog log_;
};

class LoggingGuideWindow final : public PermissionGuideWindow {
 public:
  LoggingGuideWindow(std::shared_ptr<RecordingGuideWindow> inner, CallLog log)
      : inner_(std::move(inner)), log_(std::move(log)) {}

  bool isVisible() const override { return inner_->isVisible(); }
  void center() override {
    log_->push_back("guideWindow.center");
    inner_->center();
  }
  void makeKeyAndOrderFront() override {
    log_->push_back("guideWindow.makeKeyAndOrderFront");
    inner_->makeKeyAndOrderFront();
  }
  void close() override { inner_->close(); }
  void refresh(const PermissionGuideContent& content) override { inner_->refresh(content); }

 private:
  std::shared_ptr<RecordingGuideWindow> inner_;
  CallLog log_;
};

class LoggingHelperPanel final : public PermissionHelperPanel {
 public:
  LoggingHelperPanel(std::shared_ptr<RecordingHelperPanel> inner, CallLog log)
      : inner_(std::move(inner)), log_(std::move(log)) {}

  std::string text() const override { return inner_->text(); }
  void setText(const std::string& value) override {
    log_->push_back("helperPanel.setText");
    inner_->setText(value);
  }
  double fittingWidth() const override { return inner_->fittingWidth(); }
  Rect frame() const override { return inner_->frame(); }
  void setFrame(const Rect& value) override { inner_->setFrame(value); }
  bool isVisible() const override { return inner_->isVisible(); }
  void orderFrontRegardless() override { inner_->orderFrontRegardless(); }
  void hide() override { inner_->hide(); }

 private:
  std::shared_ptr<RecordingHelperPanel> inner_;
  CallLog log_;
};

class RecordingSettingsWindow final : public HotKeySettingsWindow {
 public:
  void show() override {
    ++shows;
    visible = true;
  }
  void close() override { visible = false; }
  bool isVisible() const override { return visible; }
  void refreshRows(const std::vector<HotKeySettingsGroup>& shown) override { groups = shown; }
  void showConflict(const std::optional<std::string>& message) override { conflict = message; }

  int shows = 0;
  bool visible = false;
  std::vector<HotKeySettingsGroup> groups;
  std::optional<std::string> conflict;
};

// ANSI key codes of the default chords (Control+Option with each).
inline constexpr std::uint32_t kKeyLeft = 123;
inline constexpr std::uint32_t kKeyRight = 124;
inline constexpr std::uint32_t kKeyDown = 125;
inline constexpr std::uint32_t kKeyUp = 126;
inline constexpr std::uint32_t kKeyReturn = 36;
inline constexpr std::uint32_t kKeyL = 37;

using IDs = std::vector<WindowID>;
using PaneIDs = std::vector<IDs>;

// A simulated 1440 x 900 desktop on virtual time, the platform seen through
// logging wrappers, recording views, and a delegate not yet launched.
class AppDelegateSim : public ::testing::Test {
 protected:
  AppDelegateSim() {
    platform.hotKeys = std::make_shared<LoggingHotKeys>(platform.hotKeys, log);
    platform.screens = std::make_shared<LoggingScreens>(platform.screens, log);
    platform.userDefaults = std::make_shared<LoggingUserDefaults>(platform.userDefaults, log);
    platform.scheduler = std::make_shared<LoggingScheduler>(platform.scheduler, log);

    views.chromeFactory = chrome;
    views.statusBar = std::make_shared<LoggingStatusBar>(bar, log);
    views.hotKeySettingsWindow = settingsWindow;
    views.permissionGuideWindow = std::make_shared<LoggingGuideWindow>(guideWindow, log);
    views.permissionHelperPanel = std::make_shared<LoggingHelperPanel>(helperPanel, log);
    // As the toolkit does: the loop's end delivers the termination notice.
    views.quitEventLoop = [this] {
      ++quitRequests;
      quitSawRemembered = remembered();
      if (delegate) delegate->applicationWillTerminate();
    };
  }

  void launch() {
    delegate = AppDelegate::create(platform, views);
    launchTime = clock->now();
    delegate->applicationDidFinishLaunching();
  }

  ProcessID startApp(const std::string& name) {
    SimAppSpec wanted;
    wanted.bundleIdentifier = "org.example." + name;
    wanted.localizedName = name;
    return desktop->launchApplication(std::move(wanted));
  }

  WindowID open(ProcessID pid, const std::string& title, Rect frame) {
    SimWindowSpec wanted;
    wanted.owner = pid;
    wanted.title = title;
    wanted.frame = frame;
    return desktop->createWindow(std::move(wanted));
  }

  // The user presses a registered chord; what the platform answered.
  std::optional<bool> press(std::uint32_t keyCode, std::uint32_t modifiers = KeyChord::kDefaultModifiers) {
    const auto answer = desktop->hotKeys()->pressHotKey(keyCode, modifiers);
    clock->runPending();
    return answer;
  }

  void settle() { clock->advance(5.0); }

  LayoutCoordinator& coordinator() { return *delegate->layoutCoordinator(); }
  const std::shared_ptr<LayoutSession>& session() { return coordinator().session; }

  PaneIDs paneIDs() {
    PaneIDs result;
    if (!session()) return result;
    for (const PaneState& pane : session()->panes) result.push_back(pane.windowIDs());
    return result;
  }

  // The status menu as the user sees it; choosing an entry by its title.
  RecordingStatusMenu& menu() { return *bar->made.back()->menu; }
  void choose(const std::string& title) {
    menu().open();
    const std::optional<std::size_t> index = menu().indexOf(title);
    ASSERT_TRUE(index.has_value()) << title;
    menu().choose(*index);
  }

  Rect frameOf(WindowID window) const { return desktop->frame(window).value_or(Rect::null()); }
  std::optional<std::string> remembered() const { return desktop->userDefaults()->stringValue("rememberedLayout"); }
  SimHotKeys& keys() { return *desktop->hotKeys(); }

  // The first position of each entry in the log, in the order the entries
  // first appeared; entries never made are left out.
  std::vector<std::string> firstAppearances(const std::vector<std::string>& entries) const {
    std::vector<std::pair<std::size_t, std::string>> found;
    for (const std::string& entry : entries) {
      const auto at = std::find(log->begin(), log->end(), entry);
      if (at != log->end()) found.emplace_back(static_cast<std::size_t>(at - log->begin()), entry);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> ordered;
    for (const auto& item : found) ordered.push_back(item.second);
    return ordered;
  }

  CallLog log = std::make_shared<std::vector<std::string>>();
  std::shared_ptr<SimScheduler> clock = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(clock);
  Platform platform = makeSimPlatform(desktop);

  std::shared_ptr<RecordingChromeFactory> chrome = std::make_shared<RecordingChromeFactory>();
  std::shared_ptr<RecordingStatusBar> bar = std::make_shared<RecordingStatusBar>();
  std::shared_ptr<RecordingSettingsWindow> settingsWindow = std::make_shared<RecordingSettingsWindow>();
  std::shared_ptr<RecordingGuideWindow> guideWindow = std::make_shared<RecordingGuideWindow>();
  std::shared_ptr<RecordingHelperPanel> helperPanel = std::make_shared<RecordingHelperPanel>();
  AppDelegate::Views views;

  std::shared_ptr<AppDelegate> delegate;
  double launchTime = 0.0;
  int quitRequests = 0;
  std::optional<std::string> quitSawRemembered;
};

}  // namespace tessarapane::testing_support
