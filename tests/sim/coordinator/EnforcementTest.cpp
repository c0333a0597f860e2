// Frame enforcement, restacking covered windows, following the focus, and
// laying the layout out again after the displays changed.
#include <gtest/gtest.h>

#include "CoordinatorSimFixture.h"
#include "backends/sim/SimLog.h"

namespace tessarapane {
namespace {

class Enforcement : public CoordinatorSim {
 protected:
  // split2 over {left} {right}, of two applications.
  void startSplit2() {
    editor = launch("Editor");
    terminal = launch("Terminal");
    right = open(terminal, "right");
    left = open(editor, "left");
    settle();
    coordinator->startLayout(LayoutKind::split2);
    settle();
    ASSERT_EQ(paneIDs(), (PaneIDs{{left}, {right}}));
  }

  // When the window's position was written, relative to `since`.
  std::vector<double> positionWrites(WindowID window, double since) const {
    std::vector<double> times;
    for (const SimCall& call : desktop->recorder().calls()) {
      if (call.window == window && call.name == "AXPosition") times.push_back(call.time - since);
    }
    return times;
  }

  static void expectTimes(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size()) << ::testing::PrintToString(actual);
    for (std::size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-9) << "write " << i;
  }

  ProcessID editor = 0;
  ProcessID terminal = 0;
  WindowID left = 0;
  WindowID right = 0;
};

TEST_F(Enforcement, AWindowThatIgnoresItsFirstWritesIsPutBackOnSchedule) {
  startSplit2();
  desktop->moveWindow(left, Rect(300, 300, 500, 400));
  // Busy restoring its own state: the first two rounds change nothing.
  desktop->window(left)->desc.behavior.ignoredFrameWrites = 4;
  desktop->recorder().clear();
  const double start = scheduler->now();

  coordinator->scheduleFrameEnforcement(left);
  advance(5.0);

  expectTimes(positionWrites(left, start), {0.0, 0.05, 0.17});
  EXPECT_EQ(frameOf(left), paneWindowFrame(0));
  EXPECT_FALSE(coordinator->frameEnforcementTasks.contains(left));
}

TEST_F(Enforcement, AWindowThatNeverCompliesIsGivenUpSilentlyAfterTheLastDelay) {
  startSplit2();
  desktop->window(left)->desc.behavior.refusesMove = true;
  desktop->moveWindow(left, Rect(300, 300, 500, 400));
  desktop->recorder().clear();
  const double start = scheduler->now();

  coordinator->scheduleFrameEnforcement(left);
  advance(8.0);

  expectTimes(positionWrites(left, start), {0.0, 0.05, 0.17, 0.42, 0.87, 1.62, 2.82});
  EXPECT_FALSE(coordinator->frameEnforcementTasks.contains(left));
  EXPECT_TRUE(desktop->alerts()->shown().empty());
  EXPECT_EQ(paneIDs(), (PaneIDs{{left}, {right}}));
}

TEST_F(Enforcement, ASecondRequestRestartsTheScheduleAndFullScreenWindowsAreLeftAlone) {
  startSplit2();
  desktop->window(left)->desc.behavior.refusesMove = true;
  desktop->moveWindow(left, Rect(300, 300, 500, 400));
  desktop->recorder().clear();
  const double start = scheduler->now();

  coordinator->scheduleFrameEnforcement(left);
  advance(0.1);
  coordinator->scheduleFrameEnforcement(left);
  advance(8.0);
  expectTimes(positionWrites(left, start), {0.0, 0.05, 0.1, 0.15, 0.27, 0.52, 0.97, 1.72, 2.92});

  desktop->setFullScreen(right, true);
  desktop->recorder().clear();
  coordinator->scheduleFrameEnforcement(right);
  advance(3.0);
  EXPECT_EQ(desktop->recorder().frameWrites(right), 0U);
}

class Restacking : public Enforcement {
 protected:
  // The editor's palette over the terminal's window: the terminal's window
  // counts as covered by the editor's application.
  void openPalette() {
    palette = open(editor, "palette", Rect(800, 200, 400, 400),
                   [](SimWindowSpec& desc) { desc.subrole = "AXFloatingWindow"; });
    settle();
    desktop->raise(palette);
    desktop->recorder().clear();
  }

  std::vector<WindowID> raised() const { return desktop->recorder().raisedWindows(); }

  WindowID palette = 0;
};

TEST_F(Restacking, CoveredWindowsAreRaisedThenTheFrontWindowAndUnforcedRestacksWaitTheQuietPeriod) {
  startSplit2();
  openPalette();
  const ManagedWindow front = session()->panes[0].windows[0];

  coordinator->restackVisibleWindows(front, false, true);
  EXPECT_EQ(raised(), (IDs{right, left}));
  EXPECT_EQ(desktop->recorder().attributeWrites(right, "AXMain"), 1U);
  ASSERT_TRUE(coordinator->stackRestackSuppressedUntil.has_value());
  EXPECT_NEAR(*coordinator->stackRestackSuppressedUntil - scheduler->now(), 0.4, 1e-9);
  EXPECT_FALSE(coordinator->isPreservingWindowStack);

  // Within 0.4 s an unforced restack does nothing; a forced one does.
  desktop->raise(palette);
  advance(0.1);
  desktop->recorder().clear();
  coordinator->restackVisibleWindows(front, false, true);
  EXPECT_TRUE(raised().empty());
  EXPECT_FALSE(coordinator->stackRecheckTask.has_value());
  coordinator->restackVisibleWindows(front, true, false);
  EXPECT_EQ(raised(), (IDs{right, left}));

  desktop->raise(palette);
  advance(0.41);
  desktop->recorder().clear();
  coordinator->restackVisibleWindows(front, false, true);
  EXPECT_EQ(raised(), (IDs{right, left}));
}

TEST_F(Restacking, NothingToRaiseLooksAgainOnceAfterAFifthOfASecond) {
  startSplit2();
  openPalette();
  const ManagedWindow front = session()->panes[0].windows[0];
  coordinator->restackVisibleWindows(front, true, false);
  advance(0.5);
  desktop->recorder().clear();

  // Nothing covered now; the palette comes up again 0.05 s later.
  coordinator->restackVisibleWindows(front, false, true);
  EXPECT_TRUE(raised().empty());
  EXPECT_TRUE(coordinator->stackRecheckTask.has_value());
  advance(0.05);
  desktop->raise(palette);
  advance(0.06);
  EXPECT_TRUE(raised().empty());
  advance(0.02);
  EXPECT_EQ(raised(), (IDs{right, left}));
  EXPECT_FALSE(coordinator->stackRecheckTask.has_value());

  // A re-check that finds nothing schedules no further one.
  advance(0.5);
  desktop->recorder().clear();
  coordinator->restackVisibleWindows(front, false, true);
  advance(0.13);
  EXPECT_FALSE(coordinator->stackRecheckTask.has_value());
  desktop->raise(palette);
  advance(1.0);
  EXPECT_TRUE(raised().empty());
}

TEST_F(Restacking, AFullScreenWindowIsNeverRaisedAndBringingToFrontKeepsTheFocusedWindowInFront) {
  startSplit2();
  openPalette();
  desktop->focusWindow(right);
  settle();
  desktop->raise(palette);
  desktop->recorder().clear();

  coordinator->bringLayoutToFront();
  ASSERT_FALSE(raised().empty());
  EXPECT_EQ(raised().back(), right);

  advance(1.0);
  desktop->setFullScreen(right, true);
  desktop->recorder().clear();
  coordinator->restackVisibleWindows(session()->panes[0].windows[0], true, false);
  EXPECT_EQ(raised(), (IDs{left}));
}

TEST_F(Enforcement, FocusingATabsWindowSelectsItInItsStrip) {
  startSplit2();
  const WindowID second = open(editor, "second", Rect(100, 200, 400, 300));
  settle();
  ASSERT_EQ(paneIDs(), (PaneIDs{{left, second}, {right}}));
  desktop->focusWindow(right);
  settle();
  EXPECT_EQ(session()->lastFocusedPaneIndex, 1);

  desktop->focusWindow(left);
  settle();
  EXPECT_EQ(selections(), (std::vector<int>{0, 0}));
  EXPECT_EQ(tabBar(0)->selectedIndex, 0);
  EXPECT_EQ(session()->lastFocusedPaneIndex, 0);
  EXPECT_EQ(session()->panes[0].activationHistory.front(), left);
}

TEST_F(Enforcement, ADisplayChangeLaysTheLayoutOutFourTimes) {
  startSplit2();
  const auto bar = tabBar(0);
  chrome->log->clear();
  const double start = scheduler->now();

  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1055)}});
  advance(3.0);

  std::vector<double> relayouts;
  for (const ChromeCall& call : chrome->log->callsOf(bar->name)) {
    if (call.name == "updateTabs") relayouts.push_back(call.time - start);
  }
  expectTimes(relayouts, {0.0, 0.08, 0.33, 1.03});
  EXPECT_EQ(session()->panes[1].geometry.windowFrame, Rect(960, 0, 960, 1023));
  EXPECT_EQ(frameOf(right), Rect(960, 57, 960, 1023));
  EXPECT_EQ(bar->frame, Rect(0, 1023, 960, 32));
}

TEST_F(Enforcement, ADisplayChangeWhilePausedIsOnlyLogged) {
  startSplit2();
  const auto bar = tabBar(0);
  chrome->log->clear();
  coordinator->pause.reasons.insert(LayoutPause::Reason::screensAsleep);

  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1055)}});
  advance(3.0);

  EXPECT_EQ(chrome->log->count("updateTabs"), 0U);
  EXPECT_FALSE(coordinator->screenRelayoutTask.has_value());
  EXPECT_EQ(desktop->log()->count("Pause", "screen parameters changed while paused"), 1U);
  EXPECT_EQ(desktop->log()->lines().back().subsystem, std::string(LayoutCoordinator::kLogSubsystem));
}

}  // namespace
}  // namespace tessarapane
