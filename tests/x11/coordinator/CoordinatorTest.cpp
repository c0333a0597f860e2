// The coordinator on the real X server: openbox moves real xterms and test
// clients into panes and tiles, and xwininfo with the frame extents is the
// witness of where they land.
#include <signal.h>

#include <algorithm>
#include <map>
#include <set>

#include "X11Test.h"
#include "bento/BentoEngine.h"
#include "coordinator/LayoutCoordinator.h"
#include "layout/PaneFrameFit.h"
#include "sim/coordinator/RecordingChrome.h"
#include "windows/ScreenIdentity.h"

namespace tessarapane::x11test {
namespace {

// Generous bounds: a window manager under load takes its time.
constexpr double kLandTimeout = 10.0;
// A correctness bound against calls that block for seconds on a client that
// does not answer (start and exit together), not a measure of speed.
constexpr double kPromptly = 2.0;

using Frames = std::map<xcb_window_t, Rect>;

class CoordinatorX11Test : public X11Test {
 protected:
  void SetUp() override {
    X11Test::SetUp();
    if (HasFatalFailure()) return;
    coordinator = LayoutCoordinator::create(platform(), chrome);
  }

  void TearDown() override {
    coordinator.reset();
    X11Test::TearDown();
  }

  // Where the running layout puts each of its windows, in accessibility
  // space (root coordinates while the primary monitor is at the origin).
  Frames targets() {
    Frames result;
    const LayoutSnapshot running = coordinator->snapshot();
    for (const LayoutSnapshot::Pane& pane : running.panes) {
      for (const LayoutSnapshot::Window& window : pane.windows) result[window.id] = pane.windowFrame;
    }
    for (const LayoutSnapshot::Tile& tile : running.tiles) result[tile.window.id] = tile.frame;
    return result;
  }

  std::set<xcb_window_t> managed() {
    std::set<xcb_window_t> ids;
    for (const auto& [window, target] : targets()) ids.insert(window);
    return ids;
  }

  // Every managed window's outer frame, as the witness sees it, lands within
  // the frame-fit tolerance of its target.
  void expectLanded(const char* what) {
    const Frames wanted = targets();
    EXPECT_FALSE(wanted.empty()) << what;
    EXPECT_EQ(misfits(wanted, kLandTimeout, PaneFrameFit::matches), "") << what;
  }

  void expectBackAt(const Frames& originals) { EXPECT_EQ(misfits(originals, kLandTimeout), "") << "not back"; }

  std::shared_ptr<RecordingChromeFactory> chrome = std::make_shared<RecordingChromeFactory>();
  std::shared_ptr<LayoutCoordinator> coordinator;
};

TEST_F(CoordinatorX11Test, TabLayoutsAndTheGridOnRealWindowsAdoptANewXtermGoBackOnExitAndIgnoreAStoppedOne) {
  pid_t aPid = 0;
  const xcb_window_t a = xterm("80x24+40+40", &aPid);
  const xcb_window_t b = xterm("70x20+300+220");
  auto c = startClient({"--title", "Snapping", "--geometry", "500x340+700+100", "--increments", "9x17"});
  auto d = startClient({"--title", "Plain", "--geometry", "420x300+260+480"});
  ASSERT_TRUE(a && b && c && d);
  settle();
  const std::vector<xcb_window_t> windows{a, b, c->window, d->window};
  const Frames originals = witnessAll(windows);
  ASSERT_EQ(originals.size(), windows.size());

  coordinator->startLayout(LayoutKind::split2);
  ASSERT_EQ(coordinator->snapshot().family, LayoutSnapshot::Family::tabs);
  EXPECT_EQ(managed(), std::set<xcb_window_t>(windows.begin(), windows.end()));
  expectLanded("split2");
  ASSERT_EQ(chrome->tabBars.size(), 2U);
  for (const auto& bar : chrome->tabBars) EXPECT_TRUE(bar->isVisible && bar->tabs.size() == 2);

  coordinator->startLayout(LayoutKind::split4);
  ASSERT_EQ(coordinator->snapshot().family, LayoutSnapshot::Family::tabs);
  ASSERT_EQ(coordinator->snapshot().panes.size(), 4U);
  for (const LayoutSnapshot::Pane& pane : coordinator->snapshot().panes) EXPECT_EQ(pane.windows.size(), 1U);
  expectLanded("split4");
  // The strips of the left split2 are gone, split4 has one per pane.
  EXPECT_TRUE(chrome->tabBars[0]->isClosed && chrome->tabBars[1]->isClosed);
  EXPECT_EQ(chrome->tabBars.size(), 6U);

  // A new xterm joins the pane under its centre once it has settled, and is
  // enforced into that pane's frame.
  const xcb_window_t late = xterm("60x12+900+560");
  ASSERT_TRUE(late);
  const auto lateOriginal = witnessFrame(late);
  EXPECT_TRUE(waitUntil([&] { return managed().count(late) != 0; }, kLandTimeout));
  EXPECT_EQ(coordinator->snapshot().panes[3].windows.back().id, late);
  expectLanded("split4 with the adopted xterm");

  // The grid takes all five; leaving split4 first put each window back.
  coordinator->startBento();
  ASSERT_EQ(coordinator->snapshot().family, LayoutSnapshot::Family::grid);
  EXPECT_EQ(managed().size(), 5U);
  expectLanded("grid");
  ASSERT_EQ(chrome->dividerControllers.size(), 1U);
  EXPECT_EQ(chrome->dividerControllers[0]->dividers.size(), 4U);

  coordinator->exitLayout(false);
  EXPECT_FALSE(coordinator->snapshot().isRunning());
  EXPECT_TRUE(chrome->dividerControllers[0]->isTornDown);
  EXPECT_TRUE(chrome->previewPanels.at(0)->isClosed);
  Frames expected = originals;
  if (lateOriginal) expected[late] = *lateOriginal;
  expectBackAt(expected);

  // A stopped xterm delays neither start nor exit. The same start and exit
  // with every client answering give a bound that holds on a busy machine.
  const double running = timed([&] { coordinator->startLayout(LayoutKind::split4); }) +
                         timed([&] { coordinator->exitLayout(false); });
  expectBackAt(expected);
  const double bound = std::max(kPromptly, 2 * running + 1.0);
  ::kill(aPid, SIGSTOP);
  for (const bool grid : {false, true}) {
    double calls = timed([&] { grid ? coordinator->startBento() : coordinator->startLayout(LayoutKind::split4); });
    ASSERT_EQ(coordinator->snapshot().kindName(), grid ? "grid" : "split4");
    EXPECT_EQ(managed().size(), 5U);
    expectLanded(grid ? "grid with a stopped xterm" : "split4 with a stopped xterm");
    calls += timed([&] { coordinator->exitLayout(false); });
    EXPECT_LT(calls, bound) << "with every client answering: " << running << " s";
    expectBackAt(expected);
  }
  ::kill(aPid, SIGCONT);
}

TEST_F(CoordinatorX11Test, FullScreenWindowsAreLetGoAndTheLastOneEndsTheLayout) {
  auto p = startClient({"--title", "P", "--geometry", "500x340+60+60"});
  auto q = startClient({"--title", "Q", "--geometry", "500x340+700+300"});
  const xcb_window_t terminal = xterm("80x24+300+400");
  ASSERT_TRUE(p && q && terminal);
  settle();

  coordinator->startLayout(LayoutKind::split2);
  ASSERT_EQ(coordinator->snapshot().family, LayoutSnapshot::Family::tabs);
  expectLanded("split2");

  // Going full screen is a window state change the layout hears at once,
  // not at the next 15-second sweep.
  // With p already active, the active window does not change either.
  ASSERT_TRUE(xdotool({"windowactivate", std::to_string(p->window)}));
  ASSERT_TRUE(waitUntil([&] { return witnessActiveWindow() == p->window; }));
  settle();
  ASSERT_TRUE(p->command("fullscreen"));
  EXPECT_TRUE(waitUntil([&] { return managed().count(p->window) == 0; }, kLandTimeout));
  EXPECT_TRUE(coordinator->snapshot().isRunning());

  // A maximised window is an ordinary window on X11: the window manager's
  // full-screen state, not its size, decides. It stays in its pane and is
  // put back into it when the layout is fitted again.
  ASSERT_TRUE(succeeds({"wmctrl", "-i", "-r", std::to_string(terminal), "-b", "add,maximized_vert,maximized_horz"}));
  ASSERT_TRUE(waitUntil([&] { return witnessFrame(terminal) == Rect(0, 0, 1440, 900); }));
  coordinator->startLayout(LayoutKind::split2);
  EXPECT_EQ(managed().count(terminal), 1U);
  expectLanded("split2 after maximising the xterm");

  ASSERT_TRUE(q->command("fullscreen"));
  ASSERT_TRUE(succeeds({"wmctrl", "-i", "-r", std::to_string(terminal), "-b", "add,fullscreen"}));
  EXPECT_TRUE(waitUntil([&] { return !coordinator->snapshot().isRunning(); }, kLandTimeout));
  for (const auto& bar : chrome->tabBars) EXPECT_TRUE(bar->isClosed);
  // Released windows are not moved back: they stay full screen.
  EXPECT_EQ(witnessFrame(p->window), Rect(0, 0, 1440, 900));
  EXPECT_EQ(witnessFrame(q->window), Rect(0, 0, 1440, 900));

  // The grid lets go of them the same way.
  ASSERT_TRUE(p->command("unfullscreen") && q->command("unfullscreen"));
  ASSERT_TRUE(waitUntil([&] {
    const auto pf = witnessFrame(p->window), qf = witnessFrame(q->window);
    return pf && qf && pf->width() < 1440 && qf->width() < 1440;
  }));
  coordinator->startBento();
  ASSERT_EQ(coordinator->snapshot().family, LayoutSnapshot::Family::grid);
  EXPECT_EQ(managed(), (std::set<xcb_window_t>{p->window, q->window}));
  expectLanded("grid");
  ASSERT_TRUE(p->command("fullscreen"));
  EXPECT_TRUE(waitUntil([&] { return managed() == std::set<xcb_window_t>{q->window}; }, kLandTimeout));
  ASSERT_TRUE(q->command("fullscreen"));
  EXPECT_TRUE(waitUntil([&] { return !coordinator->snapshot().isRunning(); }, kLandTimeout));
}

// Two monitors (made by `xrandr --setmonitor`) with a dock each, as the
// backend reads them (toolkit space for screens, accessibility space for the
// window server), and a layout on the monitor of the active window.
TEST_F(CoordinatorX11Test, TwoMonitorsWithDocksAndALayoutOnTheChosenMonitorsVisibleFrame) {
  auto xrandr = [](std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "xrandr");
    return succeeds(arguments);
  };
  int changes = 0;
  Subscription subscription = platform().screens->subscribeScreenParametersChanged([&] { ++changes; });
  ASSERT_TRUE(xrandr({"--setmonitor", "Left", "720/190x900/238+0+0", "screen"}));
  ASSERT_TRUE(xrandr({"--setmonitor", "Right", "720/190x900/238+720+0", "none"}));
  ASSERT_TRUE(waitUntil([&] { return changes > 0 && platform().screens->screens().size() == 2; }));
  auto leftDock = startClient({"--type", "dock", "--geometry", "720x24+0+0", "--strut", "top:24"});
  auto rightDock = startClient({"--type", "dock", "--geometry", "720x30+720+870", "--strut", "bottom:30"});
  ASSERT_TRUE(leftDock && rightDock);

  const xcb_window_t onLeft = xterm("60x20+40+100");
  auto first = startClient({"--title", "First", "--geometry", "300x250+760+80"});
  // The last one opened is active, on the right monitor: that is the one
  // the layout takes.
  auto second = startClient({"--title", "Second", "--geometry", "300x250+1000+400"});
  ASSERT_TRUE(onLeft && first && second);
  ASSERT_TRUE(waitUntil([&] { return witnessActiveWindow() == second->window; }));
  settle();
  const Frames originals = witnessAll({onLeft, first->window, second->window});

  const std::vector<Screen> screens = platform().screens->screens();
  ASSERT_EQ(screens.size(), 2U);
  // The monitor holding the primary output comes first.
  EXPECT_EQ(screens[0].frame, Rect(0, 0, 720, 900));
  EXPECT_EQ(screens[0].visibleFrame, Rect(0, 0, 720, 876));
  EXPECT_EQ(screens[1].frame, Rect(720, 0, 720, 900));
  EXPECT_EQ(screens[1].visibleFrame, Rect(720, 30, 720, 870));
  EXPECT_NE(screens[0].displayID, 0U);
  EXPECT_NE(screens[1].displayID, 0U);
  EXPECT_NE(screens[0].displayID, screens[1].displayID);
  // The window server names the same displays, in accessibility space.
  WindowServer& server = *platform().windowServer;
  const auto listed = server.activeDisplayList(2);
  ASSERT_EQ(listed.displays.size(), 2U);
  EXPECT_EQ(listed.displays[0], screens[0].displayID);
  EXPECT_EQ(server.displayBounds(screens[1].displayID), Rect(720, 0, 720, 900));
  // The main screen is the one with the active window.
  EXPECT_TRUE(waitUntil([&] {
    const auto main = platform().screens->mainScreen();
    return main && main->displayID == screens[1].displayID;
  }));
  // The right monitor less the bottom dock, in accessibility space.
  const Rect visible(720, 0, 720, 870);

  for (const bool grid : {false, true}) {
    if (grid) {
      coordinator->startBento();
      ASSERT_EQ(coordinator->snapshot().family, LayoutSnapshot::Family::grid);
      EXPECT_EQ(coordinator->snapshot().displayID, screens[1].displayID);
    } else {
      coordinator->startLayout(LayoutKind::split2);
      ASSERT_EQ(coordinator->snapshot().family, LayoutSnapshot::Family::tabs);
      EXPECT_EQ(coordinator->snapshot().displayID, screens[1].displayID);
      // The panes fill exactly the visible frame.
      Rect panes = Rect::null();
      for (const LayoutSnapshot::Pane& pane : coordinator->snapshot().panes) {
        panes = panes.unionWith(pane.windowFrame).unionWith(ScreenIdentity::convertFrame(pane.stripFrame, screens));
      }
      EXPECT_EQ(panes, visible);
    }
    EXPECT_EQ(managed().size(), 3U);
    expectLanded(grid ? "grid on the right monitor" : "split2 on the right monitor");
    for (const auto& [window, frame] : witnessAll({onLeft, first->window, second->window})) {
      EXPECT_TRUE(frame.minX() >= visible.minX() && frame.maxX() <= visible.maxX() && frame.minY() >= visible.minY() &&
                  frame.maxY() <= visible.maxY())
          << window << " at " << frame;
    }
  }

  coordinator->exitLayout(false);
  expectBackAt(originals);
  xrandr({"--delmonitor", "Left"});
  xrandr({"--delmonitor", "Right"});
}

}  // namespace
}  // namespace tessarapane::x11test
