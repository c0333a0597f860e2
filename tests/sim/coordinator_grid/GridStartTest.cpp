// Starting and leaving the grid layout on the simulated desktop.
#include <gtest/gtest.h>

#include "sim/coordinator_grid/GridSimFixture.h"

namespace tessarapane {
namespace {

using Slot = BentoChildSlot;

TEST_F(GridSim, OneWindowFillsTheVisibleFrameWithoutDividers) {
  const IDs ids = openWindows(1);

  coordinator->startBento();
  settle();

  ASSERT_TRUE(grid());
  EXPECT_EQ(coordinator->session, nullptr);
  EXPECT_EQ(leafIDs(), ids);
  EXPECT_EQ(frameOf(ids[0]), Rect(0, 25, 1440, 875));
  EXPECT_EQ(grid()->gap, 8.0);
  EXPECT_EQ(grid()->displayID, 1u);
  EXPECT_EQ(grid()->originalFrames.at(ids[0]), Rect(0, 30, 800, 600));
  EXPECT_TRUE(dividers().dividers.empty());
  EXPECT_EQ(remembered(), "grid");
  // The preview waits, hidden, over the visible frame.
  EXPECT_EQ(grid()->previewPanel, chrome->previewPanels.at(0));
  EXPECT_EQ(grid()->dividerController, chrome->dividerControllers.at(0));
  EXPECT_EQ(preview().frame, Rect(0, 0, 1440, 875));
  EXPECT_FALSE(preview().isVisible);
  EXPECT_TRUE(chrome->tabBars.empty());
}

TEST_F(GridSim, TwoWindowsSitSideBySideWithOneDivider) {
  const IDs ids = openWindows(2);

  coordinator->startBento();
  settle();

  EXPECT_EQ(leafIDs(), ids);
  EXPECT_EQ(frameOf(ids[0]), Rect(0, 25, 716, 875));
  EXPECT_EQ(frameOf(ids[1]), Rect(724, 25, 716, 875));
  ASSERT_EQ(dividers().dividers.size(), 1u);
  const BentoDividerLayout& divider = dividers().dividers[0];
  EXPECT_TRUE(divider.path.empty());
  EXPECT_EQ(divider.orientation, BentoSplitOrientation::vertical);
  EXPECT_EQ(divider.frame, Rect(716, 0, 8, 875));
  EXPECT_EQ(divider.hitFrame, Rect(712, 0, 16, 875));
  // Raised in leaf order, so the last tile's window ends in front.
  EXPECT_EQ(desktop->stackingOrder().front(), ids[1]);
}

TEST_F(GridSim, FiveWindowsFillABalancedTreeWithEightPointGaps) {
  const IDs ids = openWindows(5);

  coordinator->startBento();
  settle();

  // Left column: two stacked; right column: one on top, two side by side
  // below (the odd window goes to the second half).
  EXPECT_EQ(leafIDs(), ids);
  EXPECT_EQ(frameOf(ids[0]), Rect(0, 25, 716, 433));
  EXPECT_EQ(frameOf(ids[1]), Rect(0, 466, 716, 434));
  EXPECT_EQ(frameOf(ids[2]), Rect(724, 25, 716, 433));
  EXPECT_EQ(frameOf(ids[3]), Rect(724, 466, 354, 434));
  EXPECT_EQ(frameOf(ids[4]), Rect(1086, 466, 354, 434));

  const std::vector<BentoDividerLayout>& laid = dividers().dividers;
  ASSERT_EQ(laid.size(), 4u);
  EXPECT_EQ(laid[0].path, BentoPath{});
  EXPECT_EQ(laid[1].path, (BentoPath{Slot::first}));
  EXPECT_EQ(laid[1].frame, Rect(0, 434, 716, 8));
  EXPECT_EQ(laid[1].hitFrame, Rect(0, 430, 716, 16));
  EXPECT_EQ(laid[2].path, (BentoPath{Slot::second}));
  EXPECT_EQ(laid[3].path, (BentoPath{Slot::second, Slot::second}));
  EXPECT_EQ(laid[3].frame, Rect(1078, 0, 8, 434));
  EXPECT_EQ(ratios(), (std::vector<double>{0.5, 0.5, 0.5, 0.5}));
}

TEST_F(GridSim, AWindowAlreadyOnItsTileIsNotWritten) {
  const ProcessID pid = launch("Editor");
  const WindowID placed = open(pid, "Placed", Rect(0.5, 25.8, 1440.6, 874.4));
  settle();

  coordinator->startBento();
  settle();

  ASSERT_TRUE(grid());
  EXPECT_EQ(desktop->recorder().frameWrites(placed), 0u);
}

TEST_F(GridSim, WithoutPermissionNothingStartsAndTheGuideIsAskedFor) {
  const IDs ids = openWindows(2);
  desktop->setProcessTrusted(false);

  coordinator->startBento();
  settle();

  EXPECT_EQ(accessibilityMissingCalls, 1);
  EXPECT_FALSE(grid());
  EXPECT_TRUE(chrome->previewPanels.empty());
  EXPECT_EQ(desktop->recorder().frameWrites(ids[0]), 0u);
  EXPECT_EQ(remembered(), std::nullopt);
}

TEST_F(GridSim, WithoutManageableWindowsTheRunningLayoutStays) {
  const IDs ids = openWindows(2);
  coordinator->startLayout(LayoutKind::split2);
  settle();
  ASSERT_TRUE(session());
  for (WindowID id : ids) desktop->setMinimized(id, true);
  settle();

  coordinator->startBento();
  settle();

  EXPECT_EQ(alertTitles(), std::vector<std::string>{"没有可管理窗口"});
  EXPECT_FALSE(grid());
  ASSERT_TRUE(session());
  EXPECT_EQ(remembered(), "tabs:split2");
  EXPECT_FALSE(tabBar(0)->isClosed);
}

TEST_F(GridSim, StartingOverATabLayoutEndsItAndKeepsTheFramesFromBeforeIt) {
  const IDs ids = openWindows(2);
  coordinator->startLayout(LayoutKind::split2);
  settle();
  ASSERT_TRUE(session());
  const auto strip = tabBar(0);

  coordinator->startBento();
  settle();

  EXPECT_EQ(session(), nullptr);
  EXPECT_TRUE(strip->isClosed);
  ASSERT_TRUE(grid());
  // The tab layout raised its last pane's window, now the front-most.
  ASSERT_EQ(leafIDs(), (IDs{ids[1], ids[0]}));
  EXPECT_EQ(frameOf(ids[1]), Rect(0, 25, 716, 875));
  // Leaving the grid returns the windows to where they were before any
  // layout, not to their tab panes.
  EXPECT_EQ(grid()->originalFrames.at(ids[0]), Rect(40, 50, 800, 600));
  EXPECT_EQ(grid()->originalFrames.at(ids[1]), Rect(0, 30, 800, 600));
  coordinator->exitLayout(false);
  EXPECT_EQ(frameOf(ids[0]), Rect(40, 50, 800, 600));
  EXPECT_EQ(frameOf(ids[1]), Rect(0, 30, 800, 600));
}

TEST_F(GridSim, LeavingClosesTheChromeBeforePuttingTheWindowsBack) {
  const IDs ids = openWindows(2);
  coordinator->startBento();
  settle();
  const std::size_t callsBefore = desktop->recorder().calls().size();
  chrome->log->clear();

  coordinator->exitLayout(false);

  EXPECT_FALSE(grid());
  EXPECT_EQ(frameOf(ids[0]), Rect(40, 50, 800, 600));
  EXPECT_EQ(frameOf(ids[1]), Rect(0, 30, 800, 600));
  EXPECT_EQ(remembered(), std::nullopt);
  EXPECT_TRUE(dividers().isTornDown);
  EXPECT_TRUE(preview().isClosed);
  EXPECT_FALSE(preview().isVisible);
  EXPECT_TRUE(preview().tiles.empty());

  std::vector<std::string> names;
  for (const ChromeCall& call : chrome->log->calls()) {
    names.push_back(call.panel + " " + call.name);
    EXPECT_EQ(call.stamp, callsBefore) << call.panel << " " << call.name << " came after a window was moved";
  }
  EXPECT_EQ(names, (std::vector<std::string>{"dividers#1 tearDown", "preview#1 orderOut", "preview#1 setTiles",
                                             "preview#1 setNeedsDisplay", "preview#1 close"}));
  EXPECT_GT(desktop->recorder().calls().size(), callsBefore);

  // Nothing keeps the grid alive: no maintenance after the exit.
  const std::size_t writes = frameWrites();
  desktop->moveWindow(ids[0], Rect(300, 300, 500, 400));
  advance(20);
  EXPECT_EQ(frameWrites(), writes);
}

}  // namespace
}  // namespace tessarapane
