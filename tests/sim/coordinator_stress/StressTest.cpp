// Seeded random runs of users, applications and the system against the
// coordinator. After every step the layout must be coherent; every few
// steps the desktop is left alone and everything must have settled. Each
// window has its own application, so that the window list names it plainly.
#include <random>

#include "sim/coordinator/StorySim.h"

namespace tessarapane {
namespace {

constexpr int kSteps = 600;

class Stress : public StorySim, public ::testing::WithParamInterface<std::uint32_t> {
 protected:
  int below(int bound) { return static_cast<int>(rng() % static_cast<std::uint32_t>(bound)); }
  Rect someFrame() { return Rect(below(1200), 30 + below(500), 200 + below(700), 150 + below(400)); }

  std::string step() {
    std::erase_if(windows, [&](WindowID window) { return !desktop->windowExists(window); });
    const WindowID window = windows.empty() ? 0 : windows[static_cast<std::size_t>(below(int(windows.size())))];
    const int pane = below(4), tab = below(3);
    const auto direction = static_cast<PaneMoveDirection>(below(4));
    const auto bar = tabBar(pane);
    switch (below(18)) {
      case 0: coordinator->startLayout(kAllLayoutKinds[static_cast<std::size_t>(below(7))]); return "start tabs";
      case 1: coordinator->startBento(); return "start grid";
      case 2: coordinator->exitLayout(below(2) == 0); return "exit";
      case 3: coordinator->restoreRememberedLayout(); return "restore";
      case 4: case 5: {
        const std::string name = "w" + std::to_string(++opened);
        const int quirks = below(4), ignored = 1 + below(4);
        windows.push_back(open(launch(name), name, someFrame(), [&](SimWindowSpec& d) {
          d.behavior.ignoredFrameWrites = quirks == 1 ? ignored : 0;
          d.behavior.frameApplyDelay = quirks == 2 ? 0.1 : 0.0;
        }));
        return "open";
      }
      case 6: if (window) desktop->closeWindow(window); return "close";
      case 7: if (window) desktop->moveWindow(window, someFrame()); return "move";
      case 8: if (window) desktop->setMinimized(window, !desktop->window(window)->desc.minimized); return "minimise";
      case 9: if (window) desktop->setFullScreen(window, !desktop->window(window)->desc.fullScreen); return "full screen";
      case 10: if (window) desktop->focusWindow(window); return "focus";
      case 11: if (bar) bar->clickTab(tab); return "click tab";
      case 12: if (bar) bar->clickClose(tab); return "click close";
      case 13: if (bar) bar->clickMove(tab, direction); return "click move";
      case 14: coordinator->moveFocusedTab(direction); return "hot key move";
      case 15: {
        if (now().kindName() != "grid") return "no drag";
        const auto& callbacks = chrome->dividerControllers.back()->callbacks;
        const BentoPath path = below(2) ? BentoPath{} : BentoPath{BentoChildSlot::second};
        callbacks.onDragBegan(path);
        callbacks.onDragChanged(path, Point{double(below(1440)), double(below(900))});
        if (below(3)) callbacks.onDragEnded();
        return "drag";
      }
      case 16: desktop->setDisplays(displaySets[static_cast<std::size_t>(below(3))]); return "displays";
      default: {
        const SystemEvent events[] = {SystemEvent::screensDidSleep, SystemEvent::screensDidWake, SystemEvent::screenLocked,
                                      SystemEvent::screenUnlocked, SystemEvent::systemWillSleep, SystemEvent::systemDidWake};
        if (below(2)) desktop->postSystemEvent(events[below(6)]);
        advance(below(3) * 0.07 + below(2) * 1.5);
        return "wait";
      }
    }
  }

  // What holds after any step.
  std::string incoherence() {
    const std::string shown = layout();
    if (shown.find("!strip") != std::string::npos || shown.find("+open") != std::string::npos) return shown;
    std::set<WindowID> seen;
    for (WindowID window : now().windowIDs()) {
      if (!seen.insert(window).second) return "held twice: " + shown;
    }
    return "";
  }

  // Left alone after the displays were announced again, every window the
  // layout holds sits at its place and every ordinary window has joined.
  std::string unsettled() {
    if (now().kindName() == "grid") chrome->dividerControllers.back()->callbacks.onDragEnded();
    desktop->postSystemEvent(SystemEvent::screenUnlocked);
    desktop->setDisplays(desktop->displays());
    advance(25);
    const LayoutSnapshot shown = now();
    if (!shown.isRunning()) return "";
    std::map<WindowID, Rect> places;
    for (const LayoutSnapshot::Pane& pane : shown.panes) {
      for (const LayoutSnapshot::Window& window : pane.windows) places[window.id] = pane.windowFrame;
    }
    for (const LayoutSnapshot::Tile& tile : shown.tiles) places[tile.window.id] = tile.frame;
    for (WindowID window : windows) {
      const SimWindowState* state = desktop->window(window);
      if (!state || state->desc.minimized || state->desc.fullScreen) continue;
      const Rect frame = state->desc.frame;
      // Windows under 120 x 80 points are never managed.
      if (!places.count(window) && frame.width() >= 120 && frame.height() >= 80) return "not adopted: " + titleOf(window);
      if (places.count(window) && frame != places[window]) return titleOf(window) + " at " + text(frame) + " in " + layout();
    }
    return "";
  }

  std::mt19937 rng;
  std::vector<WindowID> windows;
  int opened = 0;
  const std::vector<std::vector<SimDisplay>> displaySets = {
      {SimDisplay{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875)}},
      {SimDisplay{1, Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1055)}},
      {SimDisplay{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875)},
       SimDisplay{2, Rect(1440, 0, 1280, 800), Rect(1440, 0, 1280, 775)}}};
};

TEST_P(Stress, TheLayoutStaysCoherentAndSettles) {
  rng.seed(GetParam());
  std::string trace;
  int withLayout = 0;
  for (int index = 0; index < kSteps; ++index) {
    trace += step() + "; ";
    scheduler->runPending();
    std::string found = incoherence();
    if (found.empty() && index % 30 == 29) found = unsettled();
    withLayout += now().isRunning() ? 1 : 0;
    ASSERT_EQ(found, "") << "seed " << GetParam() << ", step " << index << " after "
                         << trace.substr(trace.size() > 200 ? trace.size() - 200 : 0);
  }
  EXPECT_GT(withLayout, kSteps / 3);
}

INSTANTIATE_TEST_SUITE_P(Seeds, Stress, ::testing::Values(1U, 2U, 3U, 5U, 8U, 13U));

}  // namespace
}  // namespace tessarapane
