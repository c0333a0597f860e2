// Dragging the grid's dividers: the ratio from the pointer, the preview
// during the drag, and the windows moved only at its end.
#include <gtest/gtest.h>

#include "sim/coordinator_grid/GridSimFixture.h"

namespace tessarapane {
namespace {

using Slot = BentoChildSlot;

std::vector<Rect> tileFrames(const std::vector<BentoTilePresentation>& tiles) {
  std::vector<Rect> frames;
  for (const BentoTilePresentation& tile : tiles) frames.push_back(tile.frame);
  return frames;
}

TEST_F(GridSim, VerticalDividerFollowsThePointerWithin120PointsOfEachEdge) {
  const IDs ids = openWindows(2);
  coordinator->startBento();
  settle();
  const std::size_t writes = frameWrites();

  // Free length 1440 - 8 = 1432: the pointer's x over it is the ratio. The
  // preview shows the tiles the release will apply.
  press({}, Point{358, 400});
  EXPECT_TRUE(grid()->isDraggingDivider);
  EXPECT_EQ(ratios(), std::vector<double>{0.25});
  EXPECT_TRUE(preview().isVisible);
  EXPECT_EQ(preview().screenFrame, Rect(0, 0, 1440, 875));
  EXPECT_EQ(tileFrames(preview().tiles), (std::vector<Rect>{Rect(0, 0, 358, 875), Rect(366, 0, 1074, 875)}));
  EXPECT_EQ(preview().tiles[0].title, "Doc 1");
  EXPECT_EQ(dividers().dividers[0].frame, Rect(358, 0, 8, 875));

  dragTo({}, Point{50, 400});
  EXPECT_EQ(ratios(), std::vector<double>{120.0 / 1432});
  dragTo({}, Point{-600, 400});
  EXPECT_EQ(ratios(), std::vector<double>{120.0 / 1432});
  dragTo({}, Point{2000, 400});
  EXPECT_EQ(ratios(), std::vector<double>{1 - 120.0 / 1432});
  dragTo({}, Point{1400, 12});
  EXPECT_EQ(ratios(), std::vector<double>{1 - 120.0 / 1432});
  EXPECT_EQ(tileFrames(preview().tiles), (std::vector<Rect>{Rect(0, 0, 1312, 875), Rect(1320, 0, 120, 875)}));
  EXPECT_EQ(dividers().dividers[0].frame, Rect(1312, 0, 8, 875));

  // Nothing moves until the release.
  advance(3);
  EXPECT_EQ(frameWrites(), writes);
  EXPECT_EQ(frameOf(ids[0]), Rect(0, 25, 716, 875));

  release();
  EXPECT_FALSE(grid()->isDraggingDivider);
  EXPECT_FALSE(preview().isVisible);
  EXPECT_TRUE(preview().tiles.empty());
  EXPECT_EQ(frameOf(ids[0]), Rect(0, 25, 1312, 875));
  EXPECT_EQ(frameOf(ids[1]), Rect(1320, 25, 120, 875));
  EXPECT_EQ(dividers().dividers[0].hitFrame, Rect(1308, 0, 16, 875));
}

TEST_F(GridSim, HorizontalDividerKeeps120PointsAboveAndBelow) {
  const IDs ids = openWindows(3);
  coordinator->startBento();
  settle();
  const BentoPath right{Slot::second};

  // The right column (724, 0, 716, 875), free height 867, measured from its
  // top edge.
  press(right, Point{1000, 870});
  EXPECT_EQ(ratios(), (std::vector<double>{0.5, 120.0 / 867}));
  release();
  EXPECT_EQ(frameOf(ids[1]), Rect(724, 25, 716, 120));
  EXPECT_EQ(frameOf(ids[2]), Rect(724, 153, 716, 747));

  press(right, Point{1000, -50});
  EXPECT_EQ(ratios(), (std::vector<double>{0.5, 1 - 120.0 / 867}));
  release();
  EXPECT_EQ(frameOf(ids[1]), Rect(724, 25, 716, 747));
  EXPECT_EQ(frameOf(ids[2]), Rect(724, 780, 716, 120));
  // The left window is where it was.
  EXPECT_EQ(frameOf(ids[0]), Rect(0, 25, 716, 875));
}

TEST_F(GridSim, ASplitTooShortForTwo120PointSidesStaysEven) {
  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 248, 900), Rect(0, 0, 248, 875)}});
  const IDs ids = openWindows(2);
  coordinator->startBento();
  settle();
  ASSERT_TRUE(grid());

  press({}, Point{10, 400});
  EXPECT_EQ(ratios(), std::vector<double>{0.5});
  dragTo({}, Point{230, 400});
  EXPECT_EQ(ratios(), std::vector<double>{0.5});
  release();
  EXPECT_EQ(frameOf(ids[0]), Rect(0, 25, 120, 875));
  EXPECT_EQ(frameOf(ids[1]), Rect(128, 25, 120, 875));
}

TEST_F(GridSim, NoRelayoutOrRefreshWhileDragging) {
  const IDs ids = openWindows(3);
  coordinator->startBento();
  settle();
  press({}, Point{358, 400});
  const std::size_t writes = frameWrites();

  // The dock grows and a window closes during the drag: the tree holds
  // still and nothing is written.
  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 1440, 900), Rect(0, 75, 1440, 800)}});
  desktop->closeWindow(ids[2]);
  advance(20);
  EXPECT_EQ(frameWrites(), writes);
  EXPECT_EQ(leafIDs(), ids);
  EXPECT_EQ(ratios(), (std::vector<double>{0.25, 0.5}));
  EXPECT_EQ(grid()->screen.visibleFrame, Rect(0, 0, 1440, 875));

  // The release lays the windows out on the screen as it is now, with the
  // dragged ratio.
  release();
  EXPECT_EQ(grid()->screen.visibleFrame, Rect(0, 75, 1440, 800));
  EXPECT_EQ(frameOf(ids[0]), Rect(0, 25, 358, 800));
}

TEST_F(GridSim, NoEnforcementWhileDragging) {
  const ProcessID slowPID = launch("Slow");
  const WindowID slow = open(slowPID, "Slow", Rect(0, 30, 800, 600),
                             [](SimWindowSpec& desc) { desc.behavior.frameApplyDelay = 0.3; });
  const ProcessID pid = launch("Quick");
  const WindowID quick = open(pid, "Quick", Rect(60, 60, 800, 600));
  settle();
  coordinator->startBento();
  settle();
  ASSERT_EQ(leafIDs(), (IDs{quick, slow}));

  // A screen change lays out again and enforces every tile; the slow window
  // takes its frames late, so enforcement keeps writing for a while.
  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 1440, 900), Rect(0, 75, 1440, 800)}});
  advance(0.06);
  ASSERT_TRUE(coordinator->frameEnforcementTasks.contains(slow));

  press({}, Point{358, 400});
  const std::size_t writes = frameWrites();
  advance(5);
  EXPECT_EQ(frameWrites(), writes);

  release();
  advance(1);
  EXPECT_EQ(frameOf(quick), Rect(0, 25, 358, 800));
  EXPECT_EQ(frameOf(slow), Rect(366, 25, 1074, 800));
}

TEST_F(GridSim, DragEventsWithoutTheirDividerAreIgnored) {
  const IDs ids = openWindows(2);
  coordinator->startBento();
  settle();
  const BentoDividerCallbacks callbacks = dividers().callbacks;
  chrome->log->clear();

  // A path that runs into a leaf names no divider.
  callbacks.onDragChanged(BentoPath{Slot::first}, Point{100, 100});
  callbacks.onDragChanged(BentoPath{Slot::second, Slot::first}, Point{100, 100});
  EXPECT_EQ(ratios(), std::vector<double>{0.5});
  EXPECT_TRUE(chrome->log->calls().empty());

  // After the layout ended, the handles' late events do nothing.
  coordinator->exitLayout(false);
  const std::size_t writes = frameWrites();
  chrome->log->clear();
  callbacks.onDragBegan({});
  callbacks.onDragChanged({}, Point{358, 400});
  callbacks.onDragEnded();
  EXPECT_TRUE(chrome->log->calls().empty());
  EXPECT_EQ(frameWrites(), writes);

  // Nor once the coordinator is gone.
  coordinator.reset();
  callbacks.onDragBegan({});
  callbacks.onDragChanged({}, Point{358, 400});
  callbacks.onDragEnded();
  EXPECT_TRUE(chrome->log->calls().empty());
}

}  // namespace
}  // namespace tessarapane
