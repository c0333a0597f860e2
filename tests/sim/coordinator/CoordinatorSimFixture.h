#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "RecordingChrome.h"
#include "backends/sim/SimAlerts.h"
#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimElements.h"
#include "backends/sim/SimLog.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"
#include "backends/sim/SimUserDefaults.h"
#include "coordinator/LayoutCoordinator.h"
#include "platform/Platform.h"
#include "windows/ScreenIdentity.h"

namespace tessarapane {

// Accessibility of the simulated desktop, except for actions a test scripts
// (a close press that fails with an unusual code).
class ScriptableAccessibility final : public Accessibility {
 public:
  explicit ScriptableAccessibility(std::shared_ptr<Accessibility> inner) : inner_(std::move(inner)) {}

  std::function<std::optional<AXError>(const AXElement&, std::string_view)> scriptAction;

  bool isProcessTrusted() override { return inner_->isProcessTrusted(); }
  bool isProcessTrustedWithPrompt() override { return inner_->isProcessTrustedWithPrompt(); }
  AXElement createApplication(ProcessID pid) override { return inner_->createApplication(pid); }
  AXCopyResult copyAttributeValue(const AXElement& element, std::string_view attribute) override {
    return inner_->copyAttributeValue(element, attribute);
  }
  AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                            const AXAttributeValue& value) override {
    return inner_->setAttributeValue(element, attribute, value);
  }
  AXSettableResult isAttributeSettable(const AXElement& element, std::string_view attribute) override {
    return inner_->isAttributeSettable(element, attribute);
  }
  AXError performAction(const AXElement& element, std::string_view action) override {
    if (scriptAction) {
      if (auto scripted = scriptAction(element, action)) return *scripted;
    }
    return inner_->performAction(element, action);
  }
  AXObserverCreateResult createObserver(ProcessID pid, AXObserverCallback callback) override {
    return inner_->createObserver(pid, std::move(callback));
  }
  AXError addNotification(AXObserver observer, const AXElement& element, std::string_view notification) override {
    return inner_->addNotification(observer, element, notification);
  }
  AXError removeNotification(AXObserver observer, const AXElement& element,
                             std::string_view notification) override {
    return inner_->removeNotification(observer, element, notification);
  }
  void destroyObserver(AXObserver observer) override { inner_->destroyObserver(observer); }

 private:
  std::shared_ptr<Accessibility> inner_;
};

using IDs = std::vector<WindowID>;
using PaneIDs = std::vector<IDs>;

// A simulated desktop with one 1440 x 900 display (visible frame 1440 x 875)
// on virtual time, and a coordinator with recording panels.
class CoordinatorSim : public ::testing::Test {
 protected:
  CoordinatorSim() {
    accessibility = std::make_shared<ScriptableAccessibility>(platform.accessibility);
    platform.accessibility = accessibility;
    chrome->log->clock = [scheduler = scheduler] { return scheduler->now(); };
    chrome->log->stamp = [desktop = desktop] { return desktop->recorder().calls().size(); };
    coordinator = LayoutCoordinator::create(platform, chrome);
    coordinator->onAccessibilityMissing = [this] { ++accessibilityMissingCalls; };
  }

  ProcessID launch(const std::string& name) {
    SimAppSpec desc;
    desc.bundleIdentifier = "org.example." + name;
    desc.localizedName = name;
    return desktop->launchApplication(std::move(desc));
  }

  WindowID open(ProcessID pid, const std::string& title, Rect frame = Rect(100, 100, 800, 600),
                const std::function<void(SimWindowSpec&)>& tweak = {}) {
    SimWindowSpec desc;
    desc.owner = pid;
    desc.title = title;
    desc.frame = frame;
    if (tweak) tweak(desc);
    return desktop->createWindow(std::move(desc));
  }

  void advance(double seconds) { scheduler->advance(seconds); }
  // Lets every notification and short task of the moment run.
  void settle() { scheduler->advance(5.0); }

  const std::shared_ptr<LayoutSession>& session() const { return coordinator->session; }

  PaneIDs paneIDs() const {
    PaneIDs result;
    if (!session()) return result;
    for (const PaneState& pane : session()->panes) result.push_back(pane.windowIDs());
    return result;
  }

  std::vector<int> selections() const {
    std::vector<int> result;
    if (!session()) return result;
    for (const PaneState& pane : session()->panes) result.push_back(pane.selectedIndex);
    return result;
  }

  // The pane's tab strip, or null when the pane has none.
  std::shared_ptr<RecordingTabBarPanel> tabBar(int pane) const {
    if (!session() || pane < 0 || static_cast<std::size_t>(pane) >= session()->panels.size()) return nullptr;
    return std::dynamic_pointer_cast<RecordingTabBarPanel>(session()->panels[static_cast<std::size_t>(pane)]);
  }

  // Where the layout puts the windows of a pane, in accessibility space.
  Rect paneWindowFrame(int pane) const {
    return ScreenIdentity::convertFrame(session()->panes[static_cast<std::size_t>(pane)].geometry.windowFrame,
                                        *platform.screens);
  }

  Rect frameOf(WindowID window) const { return desktop->frame(window).value_or(Rect::null()); }

  std::optional<std::string> remembered() const { return desktop->userDefaults()->stringValue("rememberedLayout"); }

  AXElement elementOf(WindowID window) const {
    const auto* state = desktop->window(window);
    return SimElements::window(state ? state->owner() : 0, window);
  }

  std::vector<std::string> alertTitles() const {
    std::vector<std::string> titles;
    for (const auto& shown : desktop->alerts()->shown()) titles.push_back(shown.title);
    return titles;
  }

  std::shared_ptr<SimScheduler> scheduler = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(scheduler);
  Platform platform = makeSimPlatform(desktop);
  std::shared_ptr<ScriptableAccessibility> accessibility;
  std::shared_ptr<RecordingChromeFactory> chrome = std::make_shared<RecordingChromeFactory>();
  std::shared_ptr<LayoutCoordinator> coordinator;
  int accessibilityMissingCalls = 0;
};

}  // namespace tessarapane
