// Starting, switching, leaving and restoring tab layouts.
#include <gtest/gtest.h>

#include "CoordinatorSimFixture.h"

namespace tessarapane {
namespace {

class LayoutLifecycle : public CoordinatorSim {};

TEST_F(LayoutLifecycle, Split4WithFiveWindowsFillsPanesTwoOneOneOneFrontMostFirst) {
  const ProcessID editor = launch("Editor");
  const ProcessID browser = launch("Browser");
  const WindowID w1 = open(editor, "one");
  const WindowID w2 = open(browser, "two");
  const WindowID w3 = open(editor, "three");
  const WindowID w4 = open(browser, "four");
  const WindowID w5 = open(editor, "five");  // front-most
  settle();

  coordinator->startLayout(LayoutKind::split4);
  settle();

  ASSERT_NE(session(), nullptr);
  EXPECT_EQ(session()->kind, LayoutKind::split4);
  EXPECT_EQ(paneIDs(), (PaneIDs{{w5, w4}, {w3}, {w2}, {w1}}));
  EXPECT_EQ(remembered(), "tabs:split4");
  // Every tab of a pane lies at the pane's window frame.
  const PaneIDs panes = paneIDs();
  for (int pane = 0; pane < 4; ++pane) {
    for (WindowID window : panes[static_cast<std::size_t>(pane)]) {
      EXPECT_EQ(frameOf(window), paneWindowFrame(pane)) << "window " << window;
    }
  }
  // The last pane with a selection is where the user's focus was left.
  EXPECT_EQ(session()->lastFocusedPaneIndex, 3);
  // Each pane has its strip over its tab-bar frame, with the pane's tabs.
  for (int pane = 0; pane < 4; ++pane) {
    const auto bar = tabBar(pane);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible);
    EXPECT_EQ(bar->frame, session()->panes[static_cast<std::size_t>(pane)].geometry.tabBarFrame);
  }
  EXPECT_EQ(tabBar(0)->titles(), (std::vector<std::string>{"five", "four"}));
  EXPECT_EQ(tabBar(0)->moveDirections, (std::vector<PaneMoveDirection>{PaneMoveDirection::right,
                                                                       PaneMoveDirection::down}));
  EXPECT_EQ(session()->originalFrames.at(w1), Rect(100, 100, 800, 600));
}

TEST_F(LayoutLifecycle, EmptyPanesGetNoTabBarAndAWindowAtItsFrameIsNotWrittenAgain) {
  const ProcessID app = launch("Editor");
  settle();
  // Already exactly where split2's left pane puts it (toolkit (0,0,720,843)).
  const WindowID placed = open(app, "placed", Rect(0, 57, 720, 843));
  settle();
  desktop->recorder().clear();

  coordinator->startLayout(LayoutKind::split2);
  settle();

  EXPECT_EQ(paneIDs(), (PaneIDs{{placed}, {}}));
  EXPECT_EQ(desktop->recorder().frameWrites(placed), 0U);
  EXPECT_NE(tabBar(0), nullptr);
  EXPECT_EQ(tabBar(1), nullptr);
  EXPECT_EQ(chrome->tabBars.size(), 1U);
}

TEST_F(LayoutLifecycle, StartingTheRunningKindReconcilesInsteadOfRebuilding) {
  const ProcessID app = launch("Editor");
  const WindowID a = open(app, "a");
  const WindowID b = open(app, "b");
  const WindowID c = open(app, "c");
  settle();
  coordinator->startLayout(LayoutKind::split2);
  settle();
  ASSERT_EQ(paneIDs(), (PaneIDs{{c, b}, {a}}));
  tabBar(0)->clickTab(1);
  settle();
  ASSERT_EQ(selections(), (std::vector<int>{1, 0}));
  const auto running = session();
  const std::size_t panelsMade = chrome->tabBars.size();
  // The user drags a tab's window a little; the re-fit puts it back.
  desktop->moveWindow(b, Rect(300, 300, 500, 400));

  coordinator->startLayout(LayoutKind::split2);
  settle();

  EXPECT_EQ(session(), running);
  EXPECT_EQ(paneIDs(), (PaneIDs{{c, b}, {a}}));
  EXPECT_EQ(selections(), (std::vector<int>{1, 0}));
  EXPECT_EQ(chrome->tabBars.size(), panelsMade);
  EXPECT_EQ(frameOf(b), paneWindowFrame(0));
}

TEST_F(LayoutLifecycle, SwitchingKindsPutsWindowsBackAndClosesStripsBeforeLayingOutAgain) {
  const ProcessID app = launch("Editor");
  const WindowID a = open(app, "a", Rect(10, 40, 500, 400));
  const WindowID b = open(app, "b", Rect(600, 80, 700, 500));
  settle();
  coordinator->startLayout(LayoutKind::split2);
  settle();
  const auto oldBars = chrome->tabBars;
  ASSERT_EQ(oldBars.size(), 2U);
  desktop->recorder().clear();
  chrome->log->clear();

  coordinator->startLayout(LayoutKind::split3);
  settle();

  ASSERT_NE(session(), nullptr);
  EXPECT_EQ(session()->kind, LayoutKind::split3);
  EXPECT_EQ(remembered(), "tabs:split3");
  for (const auto& bar : oldBars) EXPECT_TRUE(bar->isClosed);
  // The first writes of each window put it back to its frame from before
  // split2, and both old strips were closed before any window moved.
  const auto& calls = desktop->recorder().calls();
  std::vector<Point> firstPositions;
  for (WindowID window : {b, a}) {
    for (const SimCall& call : calls) {
      if (call.window == window && call.name == "AXPosition") {
        firstPositions.push_back(std::get<Point>(*call.value));
        break;
      }
    }
  }
  EXPECT_EQ(firstPositions, (std::vector<Point>{Point{600, 80}, Point{10, 40}}));
  for (const ChromeCall& call : chrome->log->calls()) {
    if (call.name == "close") {
      EXPECT_EQ(call.stamp, 0U) << call.panel;
    }
  }
  // The raises of split2 left its last pane's window front-most.
  EXPECT_EQ(paneIDs(), (PaneIDs{{a}, {b}, {}}));
  // The new session remembers the frames from before any layout, so that
  // leaving it puts the windows where they were before split2.
  EXPECT_EQ(session()->originalFrames.at(a), Rect(10, 40, 500, 400));
  coordinator->exitLayout(false);
  settle();
  EXPECT_EQ(frameOf(a), Rect(10, 40, 500, 400));
  EXPECT_EQ(frameOf(b), Rect(600, 80, 700, 500));
}

TEST_F(LayoutLifecycle, ExitRestoresFramesAndForgetsTheLayoutWhileTerminationKeepsBoth) {
  const ProcessID app = launch("Editor");
  const WindowID a = open(app, "a", Rect(10, 40, 500, 400));
  const WindowID b = open(app, "b", Rect(600, 80, 700, 500));
  settle();
  coordinator->startLayout(LayoutKind::split2);
  settle();
  const Rect laidOutA = frameOf(a);
  const Rect laidOutB = frameOf(b);
  ASSERT_NE(laidOutA, Rect(10, 40, 500, 400));

  // The termination notice: windows stay, the layout comes back next launch.
  coordinator->exitLayout(true);
  settle();
  EXPECT_EQ(session(), nullptr);
  EXPECT_EQ(frameOf(a), laidOutA);
  EXPECT_EQ(remembered(), "tabs:split2");
  for (const auto& bar : chrome->tabBars) EXPECT_TRUE(bar->isClosed);

  coordinator->startLayout(LayoutKind::split2);
  settle();
  coordinator->exitLayout(false);
  settle();
  EXPECT_EQ(session(), nullptr);
  EXPECT_FALSE(remembered().has_value());
  // The second layout recorded the frames the first one had left.
  EXPECT_EQ(frameOf(a), laidOutA);
  EXPECT_EQ(frameOf(b), laidOutB);
  EXPECT_FALSE(coordinator->windowObservationService->isRunning());
}

TEST_F(LayoutLifecycle, ExitPutsWindowsBackButLeavesClosedAndFullScreenWindowsAlone) {
  const ProcessID app = launch("Editor");
  const WindowID a = open(app, "a", Rect(10, 40, 500, 400));
  const WindowID b = open(app, "b", Rect(600, 80, 700, 500));
  const WindowID c = open(app, "c", Rect(300, 200, 600, 450));
  settle();
  coordinator->startLayout(LayoutKind::split3);
  settle();
  desktop->closeWindow(c);
  desktop->recorder().clear();

  coordinator->exitLayout(false);
  settle();

  EXPECT_EQ(frameOf(a), Rect(10, 40, 500, 400));
  EXPECT_EQ(frameOf(b), Rect(600, 80, 700, 500));
  EXPECT_EQ(desktop->recorder().frameWrites(c), 0U);
}

TEST_F(LayoutLifecycle, NoWindowsShowsItsMessageAndLeavesTheRunningLayoutAlone) {
  coordinator->startLayout(LayoutKind::split2);
  settle();
  ASSERT_EQ(desktop->alerts()->shown().size(), 1U);
  const auto& shown = desktop->alerts()->shown().front();
  EXPECT_EQ(shown.title, "没有可管理窗口");
  EXPECT_EQ(shown.message, "请先打开至少一个普通 App 窗口；最小化、全屏和不可缩放窗口会被跳过。");
  EXPECT_EQ(shown.buttons, (std::vector<std::string>{"好"}));
  EXPECT_EQ(session(), nullptr);
  EXPECT_FALSE(remembered().has_value());

  // With a layout running, a failed start changes nothing of it.
  const ProcessID app = launch("Editor");
  const WindowID a = open(app, "a");
  settle();
  coordinator->startLayout(LayoutKind::split2);
  settle();
  desktop->setMinimized(a, true);
  settle();
  const auto running = session();
  coordinator->startLayout(LayoutKind::split3);
  settle();
  EXPECT_EQ(session(), running);
  EXPECT_EQ(session()->kind, LayoutKind::split2);
  EXPECT_EQ(desktop->alerts()->shown().size(), 2U);
}

TEST_F(LayoutLifecycle, NoScreenShowsItsMessage) {
  const ProcessID app = launch("Editor");
  open(app, "a");
  settle();
  desktop->setDisplays({});
  settle();
  coordinator->startLayout(LayoutKind::split2);
  settle();
  EXPECT_EQ(session(), nullptr);
  ASSERT_EQ(desktop->alerts()->shown().size(), 1U);
  EXPECT_EQ(desktop->alerts()->shown().front().title, "无法开始布局");
  EXPECT_EQ(desktop->alerts()->shown().front().message, "Tessarapane 未找到可用显示器。");
}

TEST_F(LayoutLifecycle, WithoutPermissionOnlyTheMissingPermissionCallbackRuns) {
  const ProcessID app = launch("Editor");
  open(app, "a");
  settle();
  desktop->setProcessTrusted(false);
  coordinator->startLayout(LayoutKind::split2);
  settle();
  EXPECT_EQ(accessibilityMissingCalls, 1);
  EXPECT_EQ(session(), nullptr);
  EXPECT_TRUE(desktop->alerts()->shown().empty());
}

TEST_F(LayoutLifecycle, LaunchRestoresTheRememberedKindPlacingWindowsByPosition) {
  const ProcessID app = launch("Editor");
  // Accessibility frames: one mostly on the right half, one on the left.
  const WindowID right = open(app, "right", Rect(800, 100, 500, 500));
  const WindowID left = open(app, "left", Rect(50, 100, 500, 500));
  settle();
  desktop->userDefaults()->setString("rememberedLayout", "tabs:split2");

  coordinator->restoreRememberedLayout();
  settle();

  ASSERT_NE(session(), nullptr);
  EXPECT_EQ(session()->kind, LayoutKind::split2);
  EXPECT_EQ(paneIDs(), (PaneIDs{{left}, {right}}));
  EXPECT_EQ(remembered(), "tabs:split2");

  // Once a layout runs, a second restore does nothing.
  const auto running = session();
  coordinator->restoreRememberedLayout();
  EXPECT_EQ(session(), running);
}

TEST_F(LayoutLifecycle, LaunchRestoreSkipsSilentlyAndKeepsTheKey) {
  // No windows on the current desktop.
  desktop->userDefaults()->setString("rememberedLayout", "tabs:focusStack");
  coordinator->restoreRememberedLayout();
  settle();
  EXPECT_EQ(session(), nullptr);
  EXPECT_TRUE(desktop->alerts()->shown().empty());
  EXPECT_EQ(remembered(), "tabs:focusStack");

  // Without permission: no callback, no message.
  const ProcessID app = launch("Editor");
  open(app, "a");
  settle();
  desktop->setProcessTrusted(false);
  coordinator->restoreRememberedLayout();
  settle();
  EXPECT_EQ(session(), nullptr);
  EXPECT_EQ(accessibilityMissingCalls, 0);

  // A value that does not parse.
  desktop->setProcessTrusted(true);
  desktop->userDefaults()->setString("rememberedLayout", "tabs:Split2");
  coordinator->restoreRememberedLayout();
  settle();
  EXPECT_EQ(session(), nullptr);
  EXPECT_EQ(remembered(), "tabs:Split2");
}

}  // namespace
}  // namespace tessarapane
