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

using IDs = std::vector<WindowID>;
using PaneIDs = std::vector<IDs>;

// A simulated desktop with one 1440 x 900 display (visible frame 1440 x 875)
// on virtual time, and a coordinator with recording panels.
class CoordinatorSim : public ::testing::Test {
 protected:
  CoordinatorSim() {
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

  std::vector<std::string> alertTitles() const {
    std::vector<std::string> titles;
    for (const auto& shown : desktop->alerts()->shown()) titles.push_back(shown.title);
    return titles;
  }

  std::shared_ptr<SimScheduler> scheduler = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(scheduler);
  Platform platform = makeSimPlatform(desktop);
  std::shared_ptr<RecordingChromeFactory> chrome = std::make_shared<RecordingChromeFactory>();
  std::shared_ptr<LayoutCoordinator> coordinator;
  int accessibilityMissingCalls = 0;
};

}  // namespace tessarapane
