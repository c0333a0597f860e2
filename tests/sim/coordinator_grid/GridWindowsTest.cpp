// Windows joining and leaving a running grid: settled adoption, closing,
// native full screen, and relayout after a screen change.
#include <gtest/gtest.h>

#include "sim/coordinator_grid/GridSimFixture.h"

namespace tessarapane {
namespace {

using Slot = BentoChildSlot;

TEST_F(GridSim, ASettledNewWindowJoinsLastAndEveryRatioReturnsToHalf) {
  const IDs ids = openWindows(2);
  coordinator->startBento();
  settle();
  press({}, Point{358, 400});
  release();
  ASSERT_EQ(ratios(), std::vector<double>{0.25});

  const ProcessID pid = launch("Late");
  const WindowID late = open(pid, "Late", Rect(200, 210, 700, 500));
  advance(0.1);
  EXPECT_EQ(leafIDs(), ids) << "adopted before it settled";
  settle();

  EXPECT_EQ(leafIDs(), (IDs{ids[0], ids[1], late}));
  EXPECT_EQ(ratios(), (std::vector<double>{0.5, 0.5}));
  EXPECT_EQ(frameOf(ids[0]), Rect(0, 25, 716, 875));
  EXPECT_EQ(frameOf(ids[1]), Rect(724, 25, 716, 433));
  EXPECT_EQ(frameOf(late), Rect(724, 466, 716, 434));
  EXPECT_EQ(grid()->originalFrames.at(late), Rect(200, 210, 700, 500));
  ASSERT_EQ(dividers().dividers.size(), 2u);
  EXPECT_EQ(dividers().dividers[1].path, (BentoPath{Slot::second}));

  coordinator->exitLayout(false);
  EXPECT_EQ(frameOf(late), Rect(200, 210, 700, 500));
}

TEST_F(GridSim, ANewWindowThatSettlesDuringADragJoinsAfterIt) {
  const IDs ids = openWindows(2);
  coordinator->startBento();
  settle();
  press({}, Point{358, 400});
  const std::size_t writes = frameWrites();

  const ProcessID pid = launch("Late");
  const WindowID late = open(pid, "Late", Rect(200, 210, 700, 500));
  advance(3);
  EXPECT_EQ(leafIDs(), ids);
  EXPECT_EQ(ratios(), std::vector<double>{0.25});
  EXPECT_EQ(frameWrites(), writes);

  release();
  EXPECT_EQ(frameOf(ids[0]), Rect(0, 25, 358, 875));
  settle();
  EXPECT_EQ(leafIDs(), (IDs{ids[0], ids[1], late}));
  EXPECT_EQ(frameOf(late), Rect(724, 466, 716, 434));
}

TEST_F(GridSim, AClosedWindowLeavesAndTheTreeIsRebuiltEven) {
  const IDs ids = openWindows(3);
  coordinator->startBento();
  settle();
  press({}, Point{358, 400});
  release();
  press({Slot::second}, Point{1000, 700});
  release();
  ASSERT_NE(ratios(), (std::vector<double>{0.5, 0.5}));

  desktop->closeWindow(ids[1]);
  settle();

  EXPECT_EQ(leafIDs(), (IDs{ids[0], ids[2]}));
  EXPECT_EQ(ratios(), std::vector<double>{0.5});
  EXPECT_EQ(frameOf(ids[0]), Rect(0, 25, 716, 875));
  EXPECT_EQ(frameOf(ids[2]), Rect(724, 25, 716, 875));
  EXPECT_EQ(grid()->originalFrames.count(ids[1]), 0u);
  ASSERT_EQ(dividers().dividers.size(), 1u);
  EXPECT_EQ(dividers().dividers[0].frame, Rect(716, 0, 8, 875));
}

TEST_F(GridSim, ClosingTheLastWindowEndsTheGrid) {
  const IDs ids = openWindows(1);
  coordinator->startBento();
  settle();

  desktop->closeWindow(ids[0]);
  settle();

  EXPECT_FALSE(grid());
  EXPECT_EQ(remembered(), std::nullopt);
  EXPECT_TRUE(dividers().isTornDown);
  EXPECT_TRUE(preview().isClosed);
  EXPECT_FALSE(coordinator->reconciliationTimer.isActive());
}

TEST_F(GridSim, AWindowEnteringFullScreenIsLetGo) {
  const IDs ids = openWindows(3);
  coordinator->startBento();
  settle();
  const Rect middleTile = frameOf(ids[1]);

  // Found by the periodic sweep.
  desktop->setFullScreen(ids[2], true);
  advance(15);
  const Rect fullScreenFrame = frameOf(ids[2]);
  ASSERT_EQ(fullScreenFrame, Rect(0, 0, 1440, 900));

  EXPECT_EQ(leafIDs(), (IDs{ids[0], ids[1]}));
  EXPECT_EQ(grid()->originalFrames.count(ids[2]), 0u);
  ASSERT_EQ(dividers().dividers.size(), 1u);
  // The others take their new tiles at the next apply, not at the release.
  EXPECT_EQ(frameOf(ids[1]), middleTile);
  const std::size_t fullScreenWrites = desktop->recorder().frameWrites(ids[2]);

  // A relayout neither places nor enforces the released window, and leaving
  // does not put it back.
  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 870)}});
  settle();
  EXPECT_EQ(frameOf(ids[1]), Rect(724, 30, 716, 870));
  coordinator->exitLayout(false);
  EXPECT_EQ(frameOf(ids[2]), fullScreenFrame);
  EXPECT_EQ(desktop->recorder().frameWrites(ids[2]), fullScreenWrites);
}

TEST_F(GridSim, TheLastWindowEnteringFullScreenEndsTheGrid) {
  const IDs ids = openWindows(1);
  coordinator->startBento();
  settle();

  desktop->setFullScreen(ids[0], true);
  advance(15);

  EXPECT_FALSE(grid());
  EXPECT_EQ(frameOf(ids[0]), Rect(0, 0, 1440, 900));
}

TEST_F(GridSim, AScreenChangeLaysTheGridOutOnTheNewVisibleFrame) {
  const IDs ids = openWindows(2);
  coordinator->startBento();
  settle();

  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 1280, 800), Rect(0, 0, 1280, 775)}});
  settle();

  EXPECT_EQ(grid()->screen.visibleFrame, Rect(0, 0, 1280, 775));
  EXPECT_EQ(frameOf(ids[0]), Rect(0, 25, 636, 775));
  EXPECT_EQ(frameOf(ids[1]), Rect(644, 25, 636, 775));
  EXPECT_EQ(dividers().dividers[0].frame, Rect(636, 0, 8, 775));
}

TEST_F(GridSim, ADegenerateScreenIsRememberedButNotLaidOut) {
  const IDs ids = openWindows(2);
  coordinator->startBento();
  settle();
  const std::size_t writes = frameWrites();

  desktop->setDisplays({SimDisplay{7, Rect(0, 0, 1, 1), Rect(0, 0, 1, 1)}});
  settle();

  EXPECT_EQ(grid()->displayID, 7u);
  EXPECT_EQ(frameWrites(), writes);
  EXPECT_EQ(frameOf(ids[0]), Rect(0, 25, 716, 875));
}

}  // namespace
}  // namespace tessarapane
