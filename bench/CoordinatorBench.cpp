// How long the coordinator takes to start a layout over many windows, and
// one pass of its periodic sweep over a running layout, on the simulated
// desktop (its virtual clock does not move during a measurement).
//
// Timed regions:
//   startSplit4 / startGrid: the start call itself (listing the windows,
//     building the session, writing every frame, raising, restacking, the
//     strips or divider handles, starting observation and its first refresh)
//     plus SimScheduler::runPending(), i.e. the zero-delay work it leaves
//     behind (the first frame-enforcement step of every window, notification
//     delivery). Leaving the layout again and letting the desktop settle is
//     outside the timed region.
//   sweep: one reconcileAllWindows() call, what the 15-s timer runs, plus
//     runPending(), over a layout that has settled.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "CountingAccessibility.h"
#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"
#include "chrome/ChromeFactory.h"
#include "coordinator/LayoutCoordinator.h"
#include "platform/WindowServer.h"

namespace tessarapane {
namespace {

// How often the running layout sweeps every window.
constexpr double kSweepInterval = 15.0;

// Panels that draw nothing: only the coordinator's own cost is measured.
class QuietTabBar final : public PaneTabBarPanel {
 public:
  void updateTabs(const std::vector<PaneTabPresentation>&, int, const Rect&) override {}
  void orderFrontRegardless() override {}
  void orderOut() override {}
  void close() override {}
};

class QuietDividers final : public BentoDividerController {
 public:
  void update(const std::vector<BentoDividerLayout>&) override {}
  void tearDown() override {}
};

class QuietPreview final : public BentoPreviewPanel {
 public:
  void setFrame(const Rect&) override {}
  void setScreenFrame(const Rect&) override {}
  void setTiles(const std::vector<BentoTilePresentation>&) override {}
  void setNeedsDisplay() override {}
  void orderFrontRegardless() override {}
  void orderOut() override {}
  void close() override {}
};

class QuietChrome final : public ChromeFactory {
 public:
  std::shared_ptr<PaneTabBarPanel> makePaneTabBarPanel(const std::vector<PaneTabPresentation>&,
                                                       const std::vector<PaneMoveDirection>&, const Rect&,
                                                       PaneTabBarHandlers) override {
    return std::make_shared<QuietTabBar>();
  }
  std::shared_ptr<BentoDividerController> makeBentoDividerController(BentoDividerCallbacks) override {
    return std::make_shared<QuietDividers>();
  }
  std::shared_ptr<BentoPreviewPanel> makeBentoPreviewPanel(const Rect&) override {
    return std::make_shared<QuietPreview>();
  }
};

using bench::CountingAccessibility;

// Counts reads of the whole window list, each a full copy of the list on a
// real desktop too.
class CountingWindowServer final : public WindowServer {
 public:
  explicit CountingWindowServer(std::shared_ptr<WindowServer> inner) : inner_(std::move(inner)) {}

  std::uint64_t listReads = 0;

  std::optional<std::vector<WindowInfo>> onScreenWindowList() override {
    ++listReads;
    return inner_->onScreenWindowList();
  }
  ActiveDisplayList activeDisplayList(std::uint32_t maxDisplays) override {
    return inner_->activeDisplayList(maxDisplays);
  }
  Rect displayBounds(DisplayID display) override { return inner_->displayBounds(display); }

 private:
  std::shared_ptr<WindowServer> inner_;
};

// A desktop with `windows` windows, ten per application, cascaded the way
// documents open, and a coordinator over it.
struct Desktop {
  explicit Desktop(int windows) {
    counting = std::make_shared<CountingAccessibility>(platform.accessibility);
    platform.accessibility = counting;
    listing = std::make_shared<CountingWindowServer>(platform.windowServer);
    platform.windowServer = listing;
    const int apps = windows / 10 > 0 ? windows / 10 : 1;
    std::vector<ProcessID> pids;
    for (int i = 0; i < apps; ++i) {
      SimAppSpec desc;
      desc.bundleIdentifier = "org.example.app" + std::to_string(i);
      desc.localizedName = "App " + std::to_string(i);
      pids.push_back(desktop->launchApplication(desc));
    }
    for (int i = 0; i < windows; ++i) {
      const int nth = i / apps;
      SimWindowSpec desc;
      desc.owner = pids[static_cast<std::size_t>(i % apps)];
      desc.title = "Document " + std::to_string(i);
      desc.frame = Rect(20.0 * (nth % 30) + 3.0 * (i % apps), 30.0 + 15.0 * (nth % 30), 700, 500);
      desc.focused = false;
      desktop->createWindow(desc);
    }
    coordinator = LayoutCoordinator::create(platform, std::make_shared<QuietChrome>());
    scheduler->runUntilIdle();
  }

  // Back to no layout, every window where it was, nothing left to deliver;
  // the desktop's record of calls is emptied so that it does not grow from
  // one iteration to the next.
  void reset() {
    coordinator->exitLayout(false);
    scheduler->runUntilIdle();
    desktop->recorder().clear();
  }

  std::shared_ptr<SimScheduler> scheduler = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(scheduler);
  Platform platform = makeSimPlatform(desktop);
  std::shared_ptr<CountingAccessibility> counting;
  std::shared_ptr<CountingWindowServer> listing;
  std::shared_ptr<LayoutCoordinator> coordinator;
};

template <typename Start>
void measureStart(benchmark::State& state, Start start) {
  const int windows = static_cast<int>(state.range(0));
  Desktop sim(windows);
  std::uint64_t reads = 0;
  std::uint64_t writes = 0;
  std::uint64_t lists = 0;
  std::size_t managed = 0;
  for (auto _ : state) {
    const std::uint64_t readsBefore = sim.counting->reads;
    const std::uint64_t writesBefore = sim.counting->writes;
    const std::uint64_t listsBefore = sim.listing->listReads;
    start(*sim.coordinator);
    sim.scheduler->runPending();
    state.PauseTiming();
    reads += sim.counting->reads - readsBefore;
    writes += sim.counting->writes - writesBefore;
    lists += sim.listing->listReads - listsBefore;
    managed = sim.coordinator->snapshot().windowIDs().size();
    sim.reset();
    state.ResumeTiming();
  }
  if (managed != static_cast<std::size_t>(windows)) state.SkipWithError("not every window was managed");
  const double iterations = static_cast<double>(state.iterations());
  state.counters["axReads"] = static_cast<double>(reads) / iterations;
  state.counters["axWrites"] = static_cast<double>(writes) / iterations;
  state.counters["listReads"] = static_cast<double>(lists) / iterations;
}

void startSplit4(benchmark::State& state) {
  measureStart(state, [](LayoutCoordinator& coordinator) { coordinator.startLayout(LayoutKind::split4); });
}

void startGrid(benchmark::State& state) {
  measureStart(state, [](LayoutCoordinator& coordinator) { coordinator.startBento(); });
}

template <typename Start>
void measureSweep(benchmark::State& state, Start start) {
  const int windows = static_cast<int>(state.range(0));
  Desktop sim(windows);
  start(*sim.coordinator);
  // Let enforcement, the restack re-check and notifications finish first.
  sim.scheduler->advance(5.0);
  if (sim.coordinator->snapshot().windowIDs().size() != static_cast<std::size_t>(windows)) {
    state.SkipWithError("not every window was managed");
    return;
  }
  sim.desktop->recorder().clear();
  const std::uint64_t readsBefore = sim.counting->reads;
  const std::uint64_t writesBefore = sim.counting->writes;
  const std::uint64_t listsBefore = sim.listing->listReads;
  for (auto _ : state) {
    // One period of the sweep's timer: exactly one sweep.
    sim.scheduler->advance(kSweepInterval);
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["axReads"] = static_cast<double>(sim.counting->reads - readsBefore) / iterations;
  state.counters["axWrites"] = static_cast<double>(sim.counting->writes - writesBefore) / iterations;
  state.counters["listReads"] = static_cast<double>(sim.listing->listReads - listsBefore) / iterations;
}

void sweepSplit4(benchmark::State& state) {
  measureSweep(state, [](LayoutCoordinator& coordinator) { coordinator.startLayout(LayoutKind::split4); });
}

void sweepGrid(benchmark::State& state) {
  measureSweep(state, [](LayoutCoordinator& coordinator) { coordinator.startBento(); });
}

BENCHMARK(startSplit4)
    ->Name("CoordinatorStartSplit4")
    ->ArgName("windows")
    ->Arg(20)
    ->Arg(100)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(startGrid)
    ->Name("CoordinatorStartGrid")
    ->ArgName("windows")
    ->Arg(20)
    ->Arg(100)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(sweepSplit4)->Name("CoordinatorSweepSplit4")->ArgName("windows")->Arg(100)->Unit(benchmark::kMillisecond);

BENCHMARK(sweepGrid)->Name("CoordinatorSweepGrid")->ArgName("windows")->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessarapane
