// Selecting, closing and moving tabs from the strips and by hot key.
#include <gtest/gtest.h>

#include "CoordinatorSimFixture.h"

namespace tessarapane {
namespace {

class TabOperations : public CoordinatorSim {
 protected:
  // Starts `kind` over windows opened in the given order (the last one is
  // front-most and so lands first in pane 0).
  std::vector<WindowID> startWith(LayoutKind kind, const std::vector<std::string>& titles) {
    if (app == 0) app = launch("Editor");
    std::vector<WindowID> windows;
    for (const std::string& title : titles) windows.push_back(open(app, title));
    settle();
    coordinator->startLayout(kind);
    settle();
    return windows;
  }

  ProcessID app = 0;
};

TEST_F(TabOperations, MovingTheFocusedTabByHotKeyAppendsAndSelectsItInTheNeighbour) {
  const auto w = startWith(LayoutKind::split2, {"a", "b", "c"});  // panes {c, b} {a}
  ASSERT_EQ(paneIDs(), (PaneIDs{{w[2], w[1]}, {w[0]}}));
  desktop->focusWindow(w[1]);
  settle();
  ASSERT_EQ(selections(), (std::vector<int>{1, 0}));

  coordinator->moveFocusedTab(PaneMoveDirection::right);
  settle();

  EXPECT_EQ(paneIDs(), (PaneIDs{{w[2]}, {w[0], w[1]}}));
  EXPECT_EQ(selections(), (std::vector<int>{0, 1}));
  EXPECT_EQ(session()->lastFocusedPaneIndex, 1);
  EXPECT_EQ(session()->panes[1].activationHistory.front(), w[1]);
  EXPECT_EQ(frameOf(w[1]), paneWindowFrame(1));
  EXPECT_EQ(tabBar(0)->titles(), (std::vector<std::string>{"c"}));
  EXPECT_EQ(tabBar(1)->titles(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(tabBar(1)->selectedIndex, 1);

  // Nothing lies left of pane 0.
  desktop->focusWindow(w[2]);
  settle();
  coordinator->moveFocusedTab(PaneMoveDirection::left);
  settle();
  EXPECT_EQ(paneIDs(), (PaneIDs{{w[2]}, {w[0], w[1]}}));
}

TEST_F(TabOperations, WithoutAFocusedManagedWindowTheLastFocusedPaneMovesItsSelectedTab) {
  const auto w = startWith(LayoutKind::split4, {"a", "b", "c", "d"});  // {d} {c} {b} {a}
  const ProcessID other = launch("Other");
  // A palette of another application, never part of a layout, has the focus.
  open(other, "palette", Rect(900, 500, 300, 200), [](SimWindowSpec& desc) { desc.subrole = "AXFloatingWindow"; });
  desktop->activateApplication(other);
  settle();
  ASSERT_EQ(paneIDs().size(), 4U);
  session()->lastFocusedPaneIndex = 1;

  coordinator->moveFocusedTab(PaneMoveDirection::down);
  settle();

  EXPECT_EQ(paneIDs()[1], IDs{});
  EXPECT_EQ(paneIDs()[3], (IDs{w[0], w[2]}));
  EXPECT_EQ(tabBar(1), nullptr);
}

TEST_F(TabOperations, TheStripsMoveArrowMovesThatTabAndAnEmptiedPaneLosesItsStrip) {
  const auto w = startWith(LayoutKind::split4, {"a", "b"});  // {b} {a} {} {}
  const auto firstBar = tabBar(0);
  ASSERT_NE(firstBar, nullptr);

  firstBar->clickMove(0, PaneMoveDirection::right);
  settle();

  EXPECT_EQ(paneIDs(), (PaneIDs{{}, {w[0], w[1]}, {}, {}}));
  EXPECT_EQ(tabBar(0), nullptr);
  EXPECT_TRUE(firstBar->isClosed);
  EXPECT_FALSE(firstBar->isVisible);
  EXPECT_EQ(selections()[1], 1);
  EXPECT_EQ(frameOf(w[1]), paneWindowFrame(1));
}

TEST_F(TabOperations, PushingATabSidewaysSplitsAFullScreenLayoutInTwo) {
  const auto w = startWith(LayoutKind::fullScreen, {"C", "B", "A"});  // one pane: A, B, C
  const WindowID a = w[2], b = w[1], c = w[0];
  ASSERT_EQ(paneIDs(), (PaneIDs{{a, b, c}}));
  tabBar(0)->clickTab(2);
  settle();
  ASSERT_EQ(selections(), (std::vector<int>{2}));
  const auto fullScreenBar = tabBar(0);

  // Up and down lead nowhere in a single pane.
  fullScreenBar->clickMove(0, PaneMoveDirection::up);
  settle();
  EXPECT_EQ(session()->kind, LayoutKind::fullScreen);

  fullScreenBar->clickMove(1, PaneMoveDirection::right);
  EXPECT_EQ(session()->lastFocusedPaneIndex, 1);
  settle();

  EXPECT_EQ(session()->kind, LayoutKind::split2);
  EXPECT_EQ(paneIDs(), (PaneIDs{{a, c}, {b}}));
  EXPECT_EQ(selections(), (std::vector<int>{1, 0}));
  EXPECT_EQ(session()->lastFocusedPaneIndex, 1);
  EXPECT_EQ(session()->panels.size(), 2U);
  EXPECT_TRUE(fullScreenBar->isClosed);
  ASSERT_NE(tabBar(0), nullptr);
  ASSERT_NE(tabBar(1), nullptr);
  // The remaining pane's new strip shows its real selection.
  EXPECT_EQ(tabBar(0)->selectedIndex, 1);
  EXPECT_EQ(tabBar(0)->moveDirections, (std::vector<PaneMoveDirection>{PaneMoveDirection::right}));
  EXPECT_EQ(frameOf(b), paneWindowFrame(1));
  EXPECT_EQ(frameOf(a), paneWindowFrame(0));
  // The split is not a new layout kind to remember.
  EXPECT_EQ(remembered(), "tabs:fullScreen");
}

TEST_F(TabOperations, PushingATabLeftPutsItAloneIntoTheLeftPaneWhichKeepsTheFocus) {
  const auto w = startWith(LayoutKind::fullScreen, {"C", "B", "A"});  // one pane: A, B, C
  const WindowID a = w[2], b = w[1], c = w[0];

  tabBar(0)->clickMove(2, PaneMoveDirection::left);

  EXPECT_EQ(paneIDs(), (PaneIDs{{c}, {a, b}}));
  EXPECT_EQ(session()->lastFocusedPaneIndex, 0);
  EXPECT_EQ(desktop->recorder().raisedWindows().back(), c);
  EXPECT_EQ(frameOf(c), paneWindowFrame(0));
  EXPECT_EQ(frameOf(b), paneWindowFrame(1));
}

TEST_F(TabOperations, AWindowThatJoinedOnItsOwnDoesNotTakeTheFocusWhenSentAway) {
  const ProcessID editor = launch("Editor");
  const ProcessID terminal = launch("Terminal");
  const WindowID y = open(terminal, "y");
  const WindowID x = open(editor, "x");
  settle();
  coordinator->startLayout(LayoutKind::split2);  // {x} {y}
  settle();
  const ProcessID mail = launch("Mail");
  const WindowID joined = open(mail, "joined", Rect(100, 200, 400, 300));  // inside pane 0
  settle();
  ASSERT_EQ(paneIDs(), (PaneIDs{{x, joined}, {y}}));
  ASSERT_TRUE(session()->autoJoinedWindowIDs.count(joined));
  desktop->recorder().clear();

  tabBar(0)->clickMove(1, PaneMoveDirection::right);

  EXPECT_EQ(paneIDs(), (PaneIDs{{x}, {y, joined}}));
  EXPECT_EQ(session()->lastFocusedPaneIndex, 0);
  EXPECT_FALSE(session()->autoJoinedWindowIDs.count(joined));
  const auto raised = desktop->recorder().raisedWindows();
  ASSERT_FALSE(raised.empty());
  EXPECT_EQ(raised.front(), joined);
  EXPECT_EQ(raised.back(), x);
  settle();
  EXPECT_EQ(desktop->frontmostApplication(), editor);

  // A window the user placed is followed to its new pane.
  desktop->recorder().clear();
  tabBar(0)->clickMove(0, PaneMoveDirection::right);
  EXPECT_EQ(session()->lastFocusedPaneIndex, 1);
  ASSERT_FALSE(desktop->recorder().raisedWindows().empty());
  EXPECT_EQ(desktop->recorder().raisedWindows().back(), x);
}

TEST_F(TabOperations, SelectingATabShowsItAndRecordsItAsMostRecent) {
  const auto w = startWith(LayoutKind::split2, {"a", "b", "c"});  // {c, b} {a}
  desktop->moveWindow(w[1], Rect(0, 0, 300, 300));
  desktop->recorder().clear();

  tabBar(0)->clickTab(1);

  EXPECT_EQ(selections(), (std::vector<int>{1, 0}));
  EXPECT_EQ(session()->panes[0].activationHistory.front(), w[1]);
  EXPECT_EQ(session()->lastFocusedPaneIndex, 0);
  EXPECT_EQ(frameOf(w[1]), paneWindowFrame(0));
  EXPECT_EQ(tabBar(0)->selectedIndex, 1);
  EXPECT_EQ(desktop->recorder().raisedWindows().back(), w[1]);

  // Indices outside the panes or tabs do nothing.
  coordinator->selectTab(5, 0);
  coordinator->selectTab(0, 7);
  EXPECT_EQ(selections(), (std::vector<int>{1, 0}));
}

TEST_F(TabOperations, ClickingATabWhoseWindowVanishedRemovesItInstead) {
  const auto w = startWith(LayoutKind::split2, {"a", "b", "c"});  // {c, b} {a}
  // The window goes before the layout hears of it.
  desktop->setNotificationLatency(100.0);
  desktop->closeWindow(w[1]);
  desktop->recorder().clear();

  tabBar(0)->clickTab(1);

  EXPECT_EQ(paneIDs(), (PaneIDs{{w[2]}, {w[0]}}));
  EXPECT_EQ(tabBar(0)->titles(), (std::vector<std::string>{"c"}));
  EXPECT_EQ(desktop->recorder().actions(w[1], "AXRaise"), 0U);
  EXPECT_FALSE(session()->originalFrames.count(w[1]));
}

TEST_F(TabOperations, ClickingCloseTwiceSendsOneCloseRequest) {
  app = launch("Editor");
  const WindowID stays = open(app, "a");
  const WindowID slow = open(app, "slow", Rect(100, 100, 800, 600), [](SimWindowSpec& desc) {
    desc.behavior.closeResponse = SimCloseResponse::closesAfterDelay;
    desc.behavior.closeDelay = 0.3;
  });
  settle();
  coordinator->startLayout(LayoutKind::fullScreen);  // {slow, stays}
  settle();

  tabBar(0)->clickClose(0);
  tabBar(0)->clickClose(0);
  EXPECT_EQ(coordinator->closeTasks.size(), 1U);
  // Closing leaves the pane alone until the outcome is known.
  EXPECT_EQ(paneIDs(), (PaneIDs{{slow, stays}}));
  // A click while the first request waits for the window to go.
  advance(0.1);
  tabBar(0)->clickClose(0);

  settle();

  EXPECT_EQ(desktop->recorder().closeRequests(slow), 1U);
  EXPECT_FALSE(desktop->windowExists(slow));
  EXPECT_EQ(paneIDs(), (PaneIDs{{stays}}));
  EXPECT_TRUE(coordinator->closeTasks.empty());
  EXPECT_TRUE(desktop->alerts()->shown().empty());
}

TEST_F(TabOperations, LeavingTheLayoutDropsAPendingCloseWithoutItsOutcome) {
  app = launch("Editor");
  const auto w = startWith(LayoutKind::split2, {"a", "b"});  // {b} {a}
  desktop->window(w[1])->desc.behavior.cannotCompleteCount = 100;
  tabBar(0)->clickClose(0);
  advance(0.01);
  coordinator->exitLayout(false);
  settle();
  EXPECT_TRUE(coordinator->closeTasks.empty());
  EXPECT_TRUE(desktop->alerts()->shown().empty());
  EXPECT_TRUE(desktop->windowExists(w[1]));
}

TEST_F(TabOperations, TabsShowTheTrimmedTitleOrElseTheApplicationName) {
  const ProcessID notes = launch("Notes");
  open(notes, "  Shopping list \n");
  open(notes, " \n ");
  open(notes, "");
  settle();
  coordinator->startLayout(LayoutKind::fullScreen);
  settle();
  ASSERT_NE(tabBar(0), nullptr);
  EXPECT_EQ(tabBar(0)->titles(), (std::vector<std::string>{"Notes", "Notes", "Shopping list"}));
  EXPECT_EQ(tabBar(0)->tabs.front().ownerPID, notes);
}

TEST_F(TabOperations, NoRelayoutWhileThePrimaryButtonIsHeld) {
  const auto w = startWith(LayoutKind::split2, {"a", "b"});
  desktop->moveWindow(w[0], Rect(300, 300, 400, 300));
  desktop->recorder().clear();
  desktop->setPressedMouseButtons(Input::kPrimaryButton);

  coordinator->relayoutTabSession(session());
  EXPECT_EQ(desktop->recorder().frameWrites(w[0]), 0U);

  desktop->setPressedMouseButtons(0);
  coordinator->relayoutTabSession(session());
  EXPECT_EQ(frameOf(w[0]), paneWindowFrame(1));
}

}  // namespace
}  // namespace tessarapane
