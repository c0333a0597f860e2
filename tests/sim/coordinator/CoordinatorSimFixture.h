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
#include "sim/desktop/SimDesktopTest.h"
#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimElements.h"
#include "backends/sim/SimLog.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"
#include "backends/sim/SimUserDefaults.h"
#include "coordinator/LayoutCoordinator.h"
#include "platform/Platform.h"

namespace tessarapane {

using IDs = std::vector<WindowID>;
using PaneIDs = std::vector<IDs>;

// A simulated desktop with one 1440 x 900 display (visible frame 1440 x 875)
// on virtual time, and a coordinator with recording panels.
class CoordinatorSim : public testing_support::SimDesktopTest {
 protected:
  CoordinatorSim() {
    chrome->log->clock = [scheduler = scheduler] { return scheduler->now(); };
    chrome->log->stamp = [desktop = desktop] { return desktop->recorder().calls().size(); };
    coordinator = LayoutCoordinator::create(platform, chrome);
    coordinator->onAccessibilityMissing = [this] { ++accessibilityMissingCalls; };
  }

  using SimDesktopTest::open;
  WindowID open(ProcessID pid, const std::string& title) { return open(pid, title, Rect(100, 100, 800, 600)); }

  void advance(double seconds) { scheduler->advance(seconds); }
  // Lets every notification and short task of the moment run.
  void settle() { scheduler->advance(5.0); }

  LayoutSnapshot now() const { return coordinator->snapshot(); }

  PaneIDs paneIDs() const {
    PaneIDs result;
    for (const LayoutSnapshot::Pane& pane : now().panes) {
      result.emplace_back();
      for (const LayoutSnapshot::Window& window : pane.windows) result.back().push_back(window.id);
    }
    return result;
  }

  // The open strip drawn where the pane's strip belongs, or null.
  std::shared_ptr<RecordingTabBarPanel> tabBar(int pane) const {
    const LayoutSnapshot shown = now();
    if (pane < 0 || static_cast<std::size_t>(pane) >= shown.panes.size()) return nullptr;
    for (const auto& bar : chrome->tabBars) {
      if (!bar->isClosed && bar->frame == shown.panes[static_cast<std::size_t>(pane)].stripFrame) return bar;
    }
    return nullptr;
  }

  // Where the layout puts the windows of a pane, in accessibility space.
  Rect paneWindowFrame(int pane) const { return now().panes[static_cast<std::size_t>(pane)].windowFrame; }

  Rect frameOf(WindowID window) const { return desktop->frame(window).value_or(Rect::null()); }

  std::optional<std::string> remembered() const { return desktop->userDefaults()->stringValue("rememberedLayout"); }

  std::vector<std::string> alertTitles() const {
    std::vector<std::string> titles;
    for (const auto& shown : desktop->alerts()->shown()) titles.push_back(shown.title);
    return titles;
  }

  std::shared_ptr<SimScheduler>& scheduler = clock;
  std::shared_ptr<RecordingChromeFactory> chrome = std::make_shared<RecordingChromeFactory>();
  std::shared_ptr<LayoutCoordinator> coordinator;
  int accessibilityMissingCalls = 0;
};

}  // namespace tessarapane
