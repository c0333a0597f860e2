// How long listing the manageable windows takes on a busy desktop, and how
// the matching grows with the windows each application has.
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
#include "windows/WindowIndexer.h"

namespace tessarapane {
namespace {

using bench::CountingAccessibility;

struct Desktop {
  Desktop() {
    counting = std::make_shared<CountingAccessibility>(platform.accessibility);
    platform.accessibility = counting;
  }

  std::shared_ptr<SimScheduler> scheduler = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(scheduler);
  Platform platform = makeSimPlatform(desktop);
  std::shared_ptr<CountingAccessibility> counting;
};

// `windows` windows spread round-robin over `apps` applications, cascaded
// the way documents of one application open, so that each entry has several
// qualifying candidates and only the title tells them apart.
std::unique_ptr<Desktop> populate(int windows, int apps) {
  auto sim = std::make_unique<Desktop>();
  std::vector<ProcessID> pids;
  for (int i = 0; i < apps; ++i) {
    SimAppSpec desc;
    desc.bundleIdentifier = "org.example.app" + std::to_string(i);
    desc.localizedName = "App " + std::to_string(i);
    pids.push_back(sim->desktop->launchApplication(desc));
  }
  for (int i = 0; i < windows; ++i) {
    const int nth = i / apps;  // the how-manyth window of its application
    SimWindowSpec desc;
    desc.owner = pids[static_cast<std::size_t>(i % apps)];
    desc.title = "Document " + std::to_string(i);
    desc.frame = Rect(20.0 * (nth % 30) + 3.0 * (i % apps), 30.0 + 15.0 * (nth % 30), 700, 500);
    desc.focused = false;
    sim->desktop->createWindow(desc);
  }
  // Deliver the creation notifications now, outside the measurement.
  sim->scheduler->runUntilIdle();
  return sim;
}

void currentSpaceWindows(benchmark::State& state) {
  const int windows = static_cast<int>(state.range(0));
  const int apps = static_cast<int>(state.range(1));
  const auto sim = populate(windows, apps);
  WindowIndexer indexer(sim->platform);
  std::size_t listed = 0;
  for (auto _ : state) {
    auto result = indexer.currentSpaceWindows();
    listed = result.size();
    benchmark::DoNotOptimize(result);
  }
  if (listed != static_cast<std::size_t>(windows)) state.SkipWithError("not every window was listed");
  state.counters["windowsPerApp"] = static_cast<double>(windows) / apps;
  state.counters["axReadsPerWindow"] =
      static_cast<double>(sim->counting->reads) / static_cast<double>(state.iterations()) / windows;
}

// The window list and the record filter alone, without accessibility: what
// the simulated window server and workspace cost.
void onScreenWindowStack(benchmark::State& state) {
  const auto sim = populate(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  WindowIndexer indexer(sim->platform);
  for (auto _ : state) {
    auto stack = indexer.onScreenWindowStack();
    benchmark::DoNotOptimize(stack);
  }
}

BENCHMARK(currentSpaceWindows)
    ->ArgNames({"windows", "apps"})
    ->ArgsProduct({{50, 200, 500}, {10, 25, 50}})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK(onScreenWindowStack)
    ->ArgNames({"windows", "apps"})
    ->ArgsProduct({{50, 200, 500}, {10, 50}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tessarapane
