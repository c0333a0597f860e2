// The floor of the settle benchmark, and its helpers: one xcb connection
// sends every _NET_MOVERESIZE_WINDOW request at once and waits until each
// window's outer frame has settled.
//
//   tessarapane_raw_mover move PLAN     move every window to its target; ms until settled
//   tessarapane_raw_mover wait PLAN     ms until every window fits a target (after another mover)
//   tessarapane_raw_mover scatter PLAN  move every window exactly to its frame (the common start)
//   tessarapane_raw_mover watch PLAN    print "ready", then on a line from stdin start the clock;
//                                       ms until every window fits a target (times another mover)
//   tessarapane_raw_mover wmctrl PLAN   print "ID X,Y,W,H" with the client size wmctrl -e wants
//   tessarapane_raw_mover frames ID...  print the windows' outer frames as move lines
#include <cstdio>
#include <cstring>

#include "SettleCheck.h"

using namespace tessarapane;
using namespace tessarapane::settlebench;

namespace {

constexpr double kTimeoutMs = 20000;
// Between rounds when no configure event wakes the wait.
constexpr int kPollMs = 5;

int usage() {
  std::fprintf(stderr, "usage: tessarapane_raw_mover move|wait|scatter PLAN | frames ID...\n");
  return 64;
}

// Waits until the plan's windows have settled; the milliseconds since `start`,
// or a negative number at the timeout.
double waitSettled(XClient& x, const Plan& plan, const std::vector<std::array<std::int32_t, 4>>& extents, bool exact,
                   double start) {
  while (!settled(x, plan, extents, exact)) {
    if (nowMs() - start > kTimeoutMs) return -1;
    x.waitForEvents(kPollMs);
  }
  return nowMs() - start;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string mode = argv[1];
  XClient x;
  if (!x.ok()) {
    std::fprintf(stderr, "cannot connect to the X server\n");
    return 69;
  }

  if (mode == "frames") {
    Plan plan;
    for (int i = 2; i < argc; ++i) plan.moves.push_back(Move{static_cast<xcb_window_t>(std::strtoul(argv[i], nullptr, 0)), {}});
    const auto frames = x.outerFrames(plan.windows(), x.extents(plan.windows()));
    for (std::size_t i = 0; i < frames.size(); ++i) {
      if (!frames[i]) {
        std::fprintf(stderr, "window %u is gone\n", plan.moves[i].window);
        return 1;
      }
      plan.moves[i].frame = *frames[i];
    }
    std::fputs(plan.text().c_str(), stdout);
    return 0;
  }

  const auto plan = Plan::read(argv[2]);
  if (!plan || plan->moves.empty()) {
    std::fprintf(stderr, "no moves in %s\n", argv[2]);
    return 65;
  }
  const std::vector<xcb_window_t> windows = plan->windows();
  x.watch(windows);
  const auto extents = x.extents(windows);

  double ms = 0;
  if (mode == "move" || mode == "scatter") {
    const double start = nowMs();
    for (std::size_t i = 0; i < windows.size(); ++i) x.moveResize(windows[i], plan->moves[i].frame, extents[i]);
    ms = waitSettled(x, *plan, extents, mode == "scatter", start);
  } else if (mode == "wait") {
    ms = waitSettled(x, *plan, extents, false, nowMs());
  } else if (mode == "watch") {
    std::printf("ready\n");
    std::fflush(stdout);
    char line[64];
    if (!std::fgets(line, sizeof line, stdin)) return 1;
    ms = waitSettled(x, *plan, extents, false, nowMs());
  } else if (mode == "wmctrl") {
    for (std::size_t i = 0; i < windows.size(); ++i) {
      const Rect& f = plan->moves[i].frame;
      const auto& e = extents[i];
      std::printf("0x%08x %d,%d,%d,%d\n", windows[i], static_cast<int>(f.x()), static_cast<int>(f.y()),
                  static_cast<int>(f.width()) - e[0] - e[1], static_cast<int>(f.height()) - e[2] - e[3]);
    }
    return 0;
  } else {
    return usage();
  }
  if (ms < 0) {
    std::fprintf(stderr, "%s: windows did not settle within %.0f ms\n", mode.c_str(), kTimeoutMs);
    return 1;
  }
  std::printf("%.2f\n", ms);
  return 0;
}
