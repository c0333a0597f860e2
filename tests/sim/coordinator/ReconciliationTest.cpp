// Windows that appear, close, go full screen, change title or are dragged
// while a tab layout runs.
#include <gtest/gtest.h>

#include "CoordinatorSimFixture.h"

namespace tessarapane {
namespace {

class Reconciliation : public CoordinatorSim {
 protected:
  // split2 over {b} {a}, both of the editor.
  void startSplit2() {
    editor = launch("Editor");
    a = open(editor, "a");
    b = open(editor, "b");
    settle();
    startedAt = scheduler->now();
    coordinator->startLayout(LayoutKind::split2);
    settle();
    ASSERT_EQ(paneIDs(), (PaneIDs{{b}, {a}}));
  }

  bool isManaged(WindowID window) const {
    for (const IDs& pane : paneIDs()) {
      if (std::find(pane.begin(), pane.end(), window) != pane.end()) return true;
    }
    return false;
  }

  // A window of another application inside the left pane.
  WindowID openNewcomer(const std::function<void(SimWindowSpec&)>& tweak = {}) {
    if (mail == 0) mail = launch("Mail");
    return open(mail, "new", Rect(100, 200, 400, 300), tweak);
  }

  ProcessID editor = 0;
  ProcessID mail = 0;
  WindowID a = 0;
  WindowID b = 0;
  double startedAt = 0.0;
};

TEST_F(Reconciliation, ANewWindowIsAdoptedAfterThreeQuietSamples) {
  startSplit2();
  const WindowID joined = openNewcomer();

  advance(0.14);
  EXPECT_FALSE(isManaged(joined));
  EXPECT_TRUE(coordinator->adoptionTasks.contains(joined));
  advance(0.02);

  EXPECT_EQ(paneIDs(), (PaneIDs{{b, joined}, {a}}));
  EXPECT_EQ(selections(), (std::vector<int>{1, 0}));
  EXPECT_TRUE(session()->autoJoinedWindowIDs.count(joined));
  EXPECT_EQ(session()->originalFrames.at(joined), Rect(100, 200, 400, 300));
  EXPECT_EQ(session()->lastFocusedPaneIndex, 0);
  EXPECT_EQ(frameOf(joined), paneWindowFrame(0));
  EXPECT_EQ(tabBar(0)->titles(), (std::vector<std::string>{"b", "new"}));
  EXPECT_TRUE(coordinator->adoptionTasks.empty());
}

TEST_F(Reconciliation, AWindowThatMovesItselfIsAdoptedOnlyOnceItHoldsStill) {
  startSplit2();
  // It restores its saved place after two quiet samples, into the right pane.
  const WindowID joined = openNewcomer([](SimWindowSpec& desc) {
    desc.behavior.selfMoves.push_back(SimSelfMove{0.12, Rect(900, 300, 400, 300)});
  });

  advance(0.29);
  EXPECT_FALSE(isManaged(joined));
  advance(0.02);
  EXPECT_EQ(paneIDs(), (PaneIDs{{b}, {a, joined}}));
  // Its frame from before joining is where it had settled.
  EXPECT_EQ(session()->originalFrames.at(joined), Rect(900, 300, 400, 300));
}

TEST_F(Reconciliation, NoAdoptionWhileThePrimaryButtonIsHeldUnlessTheEightSecondsRunOut) {
  startSplit2();
  desktop->setPressedMouseButtons(Input::kPrimaryButton);
  const WindowID dragged = openNewcomer();
  advance(7.99);
  EXPECT_FALSE(isManaged(dragged));
  advance(0.02);
  EXPECT_TRUE(isManaged(dragged));

  // Released after a second, a second window settles three samples later.
  const WindowID released = openNewcomer();
  advance(1.02);
  desktop->setPressedMouseButtons(0);
  advance(0.12);
  EXPECT_FALSE(isManaged(released));
  advance(0.02);
  EXPECT_TRUE(isManaged(released));
}

TEST_F(Reconciliation, AWindowClosedBeforeSettlingIsNeverAdopted) {
  startSplit2();
  const WindowID brief = openNewcomer();
  advance(0.07);
  ASSERT_TRUE(coordinator->adoptionTasks.contains(brief));
  desktop->closeWindow(brief);
  advance(0.04);
  EXPECT_FALSE(coordinator->adoptionTasks.contains(brief));
  settle();
  EXPECT_EQ(paneIDs(), (PaneIDs{{b}, {a}}));
  EXPECT_FALSE(session()->originalFrames.count(brief));
}

TEST_F(Reconciliation, AWindowListedLateIsFoundOnALaterRetry) {
  startSplit2();
  // Listed 0.1 s after it was announced: the retries at 0, 0.03 and 0.11 s
  // find it at the third, and it settles three samples after that.
  const WindowID late = openNewcomer([](SimWindowSpec& desc) { desc.listedAfter = 0.1; });
  advance(0.25);
  EXPECT_FALSE(isManaged(late));
  advance(0.02);
  EXPECT_TRUE(isManaged(late));
  EXPECT_TRUE(coordinator->reconciliationTasks.empty());
}

TEST_F(Reconciliation, AWindowListedAfterTheRetriesWaitsForTheFifteenSecondSweep) {
  startSplit2();
  const WindowID later = openNewcomer([](SimWindowSpec& desc) { desc.listedAfter = 1.0; });
  advance(1.0);
  // The five retries (the last at 0.69 s) gave up without it.
  EXPECT_TRUE(coordinator->reconciliationTasks.empty());
  EXPECT_FALSE(coordinator->adoptionTasks.contains(later));

  advance(startedAt + 15.0 - scheduler->now() - 0.001);
  EXPECT_FALSE(coordinator->adoptionTasks.contains(later));
  advance(0.002);
  EXPECT_TRUE(coordinator->adoptionTasks.contains(later));
  advance(0.16);
  EXPECT_TRUE(isManaged(later));
}

TEST_F(Reconciliation, AMomentarilyEmptyWindowListMarksNothingDestroyed) {
  startSplit2();
  desktop->emptyNextWindowListReads(10);
  coordinator->removeClosedWindows(session());
  EXPECT_TRUE(coordinator->destroyedWindowIDs.empty());
  EXPECT_EQ(paneIDs(), (PaneIDs{{b}, {a}}));

  // A list that shows none of the layout's windows (another desktop) neither.
  desktop->switchDesktop(1);
  settle();
  EXPECT_EQ(paneIDs(), (PaneIDs{{b}, {a}}));
  desktop->switchDesktop(0);
  settle();
  EXPECT_EQ(paneIDs(), (PaneIDs{{b}, {a}}));
}

TEST_F(Reconciliation, AMinimisedWindowStaysButAClosedOneLeavesItsPane) {
  startSplit2();
  const WindowID c = open(editor, "c");
  settle();
  ASSERT_EQ(paneIDs(), (PaneIDs{{b, c}, {a}}));
  desktop->setMinimized(b, true);
  settle();
  EXPECT_EQ(paneIDs(), (PaneIDs{{b, c}, {a}}));

  // Closing the selected tab shows the most recently used one.
  desktop->closeWindow(c);
  settle();
  EXPECT_EQ(paneIDs(), (PaneIDs{{b}, {a}}));
  EXPECT_EQ(selections(), (std::vector<int>{0, 0}));
  EXPECT_FALSE(session()->originalFrames.count(c));
  EXPECT_EQ(tabBar(0)->titles(), (std::vector<std::string>{"b"}));
}

TEST_F(Reconciliation, WhenTheLastWindowClosesTheLayoutStaysWithEmptyPanes) {
  startSplit2();
  const auto leftBar = tabBar(0);
  desktop->closeWindow(a);
  desktop->closeWindow(b);
  settle();
  ASSERT_NE(session(), nullptr);
  EXPECT_EQ(paneIDs(), (PaneIDs{{}, {}}));
  EXPECT_TRUE(leftBar->isClosed);
  EXPECT_EQ(remembered(), "tabs:split2");
}

TEST_F(Reconciliation, FullScreenWindowsAreLetGoAndTheLastOneEndsTheLayout) {
  startSplit2();
  const WindowID c = open(editor, "c");
  settle();
  ASSERT_EQ(paneIDs(), (PaneIDs{{b, c}, {a}}));

  // Going full screen moves the focus to the window in its own space.
  desktop->setFullScreen(c, true);
  desktop->focusWindow(c);
  settle();
  EXPECT_EQ(paneIDs(), (PaneIDs{{b}, {a}}));
  EXPECT_FALSE(session()->originalFrames.count(c));
  EXPECT_FALSE(coordinator->frameEnforcementTasks.contains(c));
  // Nor is it adopted again while it stays full screen.
  advance(20.0);
  EXPECT_EQ(paneIDs(), (PaneIDs{{b}, {a}}));

  desktop->setFullScreen(a, true);
  desktop->focusWindow(a);
  settle();
  EXPECT_EQ(paneIDs(), (PaneIDs{{b}, {}}));
  desktop->recorder().clear();
  desktop->setFullScreen(b, true);
  desktop->focusWindow(b);
  settle();
  EXPECT_EQ(session(), nullptr);
  EXPECT_FALSE(remembered().has_value());
  // Released windows are not put back when the layout ends.
  EXPECT_EQ(desktop->recorder().frameWrites(b), 0U);
  EXPECT_EQ(desktop->recorder().frameWrites(c), 0U);
}

TEST_F(Reconciliation, TitleChangesReachTheStrip) {
  startSplit2();
  desktop->setTitle(a, "  renamed ");
  settle();
  EXPECT_EQ(tabBar(1)->titles(), (std::vector<std::string>{"renamed"}));
  EXPECT_EQ(session()->panes[1].windows[0].title, "  renamed ");
}

TEST_F(Reconciliation, AWindowDraggedIntoAnotherPaneJoinsItsStripAtTheNextRefit) {
  startSplit2();
  const WindowID c = open(editor, "c");
  settle();
  ASSERT_EQ(paneIDs(), (PaneIDs{{b, c}, {a}}));
  desktop->moveWindow(c, Rect(800, 200, 600, 500));

  coordinator->startLayout(LayoutKind::split2);
  settle();

  EXPECT_EQ(paneIDs(), (PaneIDs{{b}, {a, c}}));
  EXPECT_EQ(selections(), (std::vector<int>{0, 1}));
  EXPECT_EQ(frameOf(c), paneWindowFrame(1));
  EXPECT_EQ(frameOf(b), paneWindowFrame(0));
  EXPECT_EQ(tabBar(1)->titles(), (std::vector<std::string>{"a", "c"}));
}

}  // namespace
}  // namespace tessarapane
