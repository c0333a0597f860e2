// The coordinator as a mover of the settle benchmark: the real X11 backend on
// the poll loop, recording chrome, and the time from the request to start a
// layout until every window has settled.
//
//   tessarapane_settle_driver plan KIND        print the plan (targets, and which window goes where)
//   tessarapane_settle_driver start KIND PLAN  start KIND; ms until every window fits a target
//
// KIND is a tab layout kind ("split4" ...). The plan is made the way the
// coordinator starts a layout (main screen, manageable windows, windows
// distributed over the panes), in a process of its own so that the timed
// start finds the backend as cold as a first request would.
#include <atomic>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "SettleCheck.h"
#include "backends/x11/PollLoopScheduler.h"
#include "backends/x11/X11Platform.h"
#include "coordinator/LayoutCoordinator.h"
#include "layout/LayoutEngine.h"
#include "layout/LayoutKind.h"
#include "sim/coordinator/RecordingChrome.h"
#include "windows/ScreenIdentity.h"
#include "windows/WindowIndexer.h"

using namespace tessarapane;
using namespace tessarapane::settlebench;

namespace {

constexpr double kTimeoutSeconds = 20.0;
constexpr double kTurnSeconds = 0.005;
// Between the witness's rounds when no configure event wakes it.
constexpr int kPollMs = 5;
constexpr double kTabBarHeight = 32.0;

int usage() {
  std::fprintf(stderr, "usage: tessarapane_settle_driver plan KIND | start KIND PLAN\n");
  return 64;
}

int plan(Platform& platform, LayoutKind kind) {
  // The coordinator's choice: the main screen, else the first one.
  std::optional<Screen> screen = platform.screens->mainScreen();
  if (!screen && !platform.screens->screens().empty()) screen = platform.screens->screens().front();
  const std::vector<ManagedWindow> windows = WindowIndexer(platform).currentSpaceWindows();
  if (!screen || windows.empty()) {
    std::fprintf(stderr, "no screen or no manageable windows\n");
    return 1;
  }
  const auto geometries = LayoutEngine::geometries(kind, screen->visibleFrame, kTabBarHeight);
  const auto byPane = LayoutEngine::assign(windows, paneCount(kind));
  Plan result;
  for (std::size_t pane = 0; pane < geometries.size(); ++pane) {
    const Rect target = ScreenIdentity::convertFrame(geometries[pane].windowFrame, *platform.screens);
    result.targets.push_back(target);
    if (pane >= byPane.size()) continue;
    for (const ManagedWindow& window : byPane[pane]) result.moves.push_back(Move{window.windowID, target});
  }
  std::fputs(result.text().c_str(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string mode = argv[1];
  const auto kind = fromRawValue<LayoutKind>(argv[2]);
  if (!kind || (mode != "plan" && mode != "start") || (mode == "start" && argc < 4)) return usage();

  auto scheduler = std::make_shared<PollLoopScheduler>();
  std::string error;
  auto backend = makeX11Backend(std::nullopt, scheduler, &error);
  if (!backend) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 69;
  }
  auto chrome = std::make_shared<RecordingChromeFactory>();
  auto coordinator = LayoutCoordinator::create(backend->platform, chrome);
  if (mode == "plan") return plan(backend->platform, *kind);

  const auto planned = Plan::read(argv[3]);
  if (!planned) {
    std::fprintf(stderr, "cannot read %s\n", argv[3]);
    return 65;
  }
  // The witness watches on a thread and a connection of its own, so the time
  // is when the windows have settled, not when the loop next looks.
  std::atomic<double> start{0};
  std::atomic<double> settledAt{-1};
  std::atomic<bool> ready{false};
  std::thread witnessThread([&] {
    XClient witness;
    if (!witness.ok()) {
      ready = true;
      ready.notify_one();
      return;
    }
    witness.watch(planned->windows());
    const auto extents = witness.extents(planned->windows());
    ready = true;
    ready.notify_one();
    start.wait(0);
    while (!settled(witness, *planned, extents, false)) {
      if (nowMs() - start.load() > kTimeoutSeconds * 1000) return;
      witness.waitForEvents(kPollMs);
    }
    settledAt = nowMs();
  });
  ready.wait(false);

  start = nowMs();
  start.notify_one();
  coordinator->startLayout(*kind);
  const double returned = nowMs();
  // The loop keeps turning (frame enforcement) until the witness is done.
  while (settledAt.load() < 0 && nowMs() - start.load() < kTimeoutSeconds * 1000) scheduler->runOnce(kTurnSeconds);
  witnessThread.join();
  if (settledAt.load() < 0) {
    std::fprintf(stderr, "windows did not settle within %.0f s\n", kTimeoutSeconds);
    return 1;
  }
  std::printf("%.2f\n", settledAt.load() - start.load());
  std::fprintf(stderr, "startLayout returned after %.2f ms\n", returned - start.load());
  return 0;
}
