// A user starting the grid, dragging its dividers and leaving it, and the
// desktop changing under it. Tiles lie on the 1440 x 875 visible frame with
// 8-point gaps; a tile's accessibility y is 900 less its top edge.
#include "sim/coordinator/StorySim.h"

namespace tessarapane {
namespace {

using Slot = BentoChildSlot;

class Grid : public StorySim {
 protected:
  // Windows of separate applications, each at its own place; the grid takes
  // them front-most first, so the last opened is the first tile.
  IDs docs(const std::vector<std::string>& titles) {
    IDs ids;
    for (std::size_t i = 0; i < titles.size(); ++i) {
      ids.push_back(open(launch("App-" + titles[i]), titles[i], Rect(40.0 * i, 30.0 + 20.0 * i, 800, 600)));
    }
    settle();
    return ids;
  }
  RecordingDividerController& handles() const { return *chrome->dividerControllers.back(); }
  RecordingPreviewPanel& preview() const { return *chrome->previewPanels.back(); }
  void press(const BentoPath& path, Point at) const {
    handles().callbacks.onDragBegan(path);
    handles().callbacks.onDragChanged(path, at);
  }
  void dragTo(const BentoPath& path, Point at) const { handles().callbacks.onDragChanged(path, at); }
  void release() const { handles().callbacks.onDragEnded(); }
};

TEST_F(Grid, WindowsFillABalancedTreeAndGoBackWhenTheGridEnds) {
  const IDs one = docs({"a"});
  coordinator->startBento();
  settle();
  EXPECT_EQ(layout(), "grid [ a ] mem=grid");
  EXPECT_EQ(desk(), "a(0,25 1440x875)");
  coordinator->exitLayout(false);

  // Five: left column two stacked; right column one on top and two side by
  // side below (the odd window goes to the second half).
  docs({"b", "c", "d", "e"});
  coordinator->startBento();
  settle();
  EXPECT_EQ(layout(), "grid [ e d c b a ] |716,0 8x875 |0,434 716x8 |724,434 716x8 |1078,0 8x434 mem=grid");
  EXPECT_EQ(desk(), "a(1086,466 354x434) b(724,466 354x434) c(724,25 716x433) d(0,466 716x434) e(0,25 716x433)");
  // Raised in tile order: the last tile's window is in front.
  EXPECT_EQ(stack(), "a b c d e");
  EXPECT_EQ(handles().dividers[1].hitFrame, Rect(0, 430, 716, 16));

  chrome->log->clear();
  const std::size_t callsBefore = desktop->recorder().calls().size();
  coordinator->exitLayout(false);
  EXPECT_EQ(layout(), "none mem=-");
  EXPECT_EQ(desk(), "a(0,30 800x600) b(0,30 800x600) c(40,50 800x600) d(80,70 800x600) e(120,90 800x600)");
  // The handles and the preview went before any window moved.
  for (const ChromeCall& call : chrome->log->calls()) EXPECT_EQ(call.stamp, callsBefore) << call.name;
  // Nothing is maintained any more.
  desktop->moveWindow(one[0], Rect(300, 300, 500, 400));
  advance(20);
  EXPECT_EQ(frameOf(one[0]), Rect(300, 300, 500, 400));
}

TEST_F(Grid, StartingOverATabLayoutOrWithNothingToManage) {
  const IDs ids = docs({"a", "b"});
  desktop->setProcessTrusted(false);
  coordinator->startBento();
  EXPECT_EQ(accessibilityMissingCalls, 1);
  desktop->setProcessTrusted(true);
  coordinator->startLayout(LayoutKind::split2);
  settle();
  coordinator->startBento();
  settle();
  // The tab layout's last pane's window was front-most. Leaving the grid
  // puts the windows where they were before any layout.
  EXPECT_EQ(layout(), "grid [ a b ] |716,0 8x875 mem=grid");
  EXPECT_EQ(desk(), "a(0,25 716x875) b(724,25 716x875)");
  coordinator->exitLayout(false);
  EXPECT_EQ(desk(), "a(0,30 800x600) b(40,50 800x600)");

  // A window within a point of its tile is not written.
  desktop->setMinimized(ids[0], true);
  desktop->moveWindow(ids[1], Rect(0.5, 25.8, 1440.6, 874.4));
  settle();
  desktop->recorder().clear();
  coordinator->startBento();
  settle();
  EXPECT_EQ(writes({ids[1]}), std::vector<std::size_t>{0});
  desktop->setMinimized(ids[1], true);
  settle();
  coordinator->startBento();
  settle();
  EXPECT_EQ(alertTitles(), std::vector<std::string>{"没有可管理窗口"});
  EXPECT_EQ(layout(), "grid [ b ] mem=grid");
}

TEST_F(Grid, DraggingADividerPreviewsAndAppliesOnlyAtTheRelease) {
  const IDs ids = docs({"b", "a"});
  coordinator->startBento();
  settle();
  desktop->recorder().clear();
  // Displays announced again: windows already at their tiles are left alone.
  desktop->setDisplays(desktop->displays());
  advance(2);
  EXPECT_EQ(writes(ids), (std::vector<std::size_t>{0, 0}));
  // The preview shows from the press; the free length is 1440 - 8, the
  // pointer's x over it is the ratio, kept 120 points from each edge.
  handles().callbacks.onDragBegan({});
  EXPECT_EQ(layout(), "grid [ a b ] |716,0 8x875 preview mem=grid");
  press({}, Point{358, 400});
  EXPECT_EQ(layout(), "grid [ a b ] |358,0 8x875 preview mem=grid");
  EXPECT_EQ(preview().tiles.back().title + text(preview().tiles.back().frame), "b366,0 1074x875");
  EXPECT_EQ(preview().screenFrame, Rect(0, 0, 1440, 875));
  dragTo({}, Point{50, 400});
  EXPECT_EQ(layout(), "grid [ a b ] |120,0 8x875 preview mem=grid");
  dragTo({}, Point{2000, 400});
  dragTo({}, Point{1400, 12});
  EXPECT_EQ(layout(), "grid [ a b ] |1312,0 8x875 preview mem=grid");
  // Drag events naming no divider are ignored.
  handles().callbacks.onDragChanged(BentoPath{Slot::first}, Point{100, 100});
  advance(3);
  EXPECT_EQ(writes(ids), (std::vector<std::size_t>{0, 0}));
  release();
  handles().callbacks.onDragChanged(BentoPath{Slot::first}, Point{100, 100});
  EXPECT_EQ(layout(), "grid [ a b ] |1312,0 8x875 mem=grid");
  EXPECT_TRUE(preview().tiles.empty());
  EXPECT_EQ(desk(), "b(1320,25 120x875) a(0,25 1312x875)");

  // A third window: the right column splits; its divider keeps 120 points
  // above and below, measured from the column's top edge.
  open(launch("App-c"), "c", Rect(200, 210, 700, 500));
  settle();
  EXPECT_EQ(layout(), "grid [ a b c ] |716,0 8x875 |724,434 716x8 mem=grid");
  press({Slot::second}, Point{1000, 870});
  release();
  EXPECT_EQ(desk(), "b(724,25 716x120) a(0,25 716x875) c(724,153 716x747)");
  press({Slot::second}, Point{1000, -50});
  release();
  EXPECT_EQ(desk(), "b(724,25 716x747) a(0,25 716x875) c(724,780 716x120)");
  // On a display too narrow for two 120-point sides the split stays even.
  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 248, 900), Rect(0, 0, 248, 875)}});
  advance(2);
  press({}, Point{10, 400});
  release();
  EXPECT_EQ(desk(), "b(128,25 120x747) a(0,25 120x875) c(128,780 120x120)");

  // Handles of an ended grid, or of a coordinator gone, do nothing.
  const BentoDividerCallbacks callbacks = handles().callbacks;
  coordinator->exitLayout(false);
  chrome->log->clear();
  for (int round = 0; round < 2; ++round, coordinator.reset()) {
    callbacks.onDragBegan({});
    callbacks.onDragChanged({}, Point{358, 400});
    callbacks.onDragEnded();
  }
  EXPECT_TRUE(chrome->log->calls().empty());
}

TEST_F(Grid, TheDesktopWaitsForTheDragAndCatchesUpAfterIt) {
  const IDs ids = docs({"c", "b", "a"});
  coordinator->startBento();
  settle();
  // The slow window takes its frames 0.3 s late, so enforcement is still
  // at work when the drag begins.
  desktop->window(ids[2])->desc.behavior.frameApplyDelay = 0.3;
  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 1440, 900), Rect(0, 75, 1440, 800)}});
  advance(0.06);
  press({}, Point{358, 400});
  desktop->recorder().clear();
  // The dock grows, a window closes and a new one settles during the drag.
  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 800)}});
  desktop->closeWindow(ids[1]);
  open(launch("App-d"), "d", Rect(200, 210, 700, 500));
  advance(20);
  EXPECT_EQ(layout(), "grid [ a #" + std::to_string(ids[1]) + " c ] |358,75 8x800 |366,471 1074x8 preview mem=grid");
  EXPECT_EQ(writes({ids[0], ids[2]}), (std::vector<std::size_t>{0, 0}));

  // The release lays the tree out on the screen as it is now; then the new
  // window joins and the closed one leaves, every ratio back to half.
  release();
  EXPECT_EQ(frameOf(ids[0]), Rect(366, 504, 1074, 396));
  // The close went unheard during the drag: the sweep finds it.
  advance(16);
  EXPECT_EQ(layout(), "grid [ a c d ] |716,0 8x800 |724,396 716x8 mem=grid");
  EXPECT_EQ(desk(), "c(724,100 716x396) a(0,100 716x800) d(724,504 716x396)");
}

TEST_F(Grid, WindowsThatIgnoreTheirFirstWritesAreHeldToTheirTiles) {
  docs({"a"});
  coordinator->startBento();
  // Busy restoring their state, new windows ignore their first writes.
  const auto busy = [&](const std::string& title) {
    open(launch(title), title, Rect(200, 210, 700, 500), [](SimWindowSpec& d) { d.behavior.ignoredFrameWrites = 6; });
  };
  busy("b");
  settle();
  EXPECT_EQ(desk(), "a(0,25 716x875) b(724,25 716x875)");
  // One joins, and the user takes a divider at once.
  busy("c");
  advance(0.16);
  ASSERT_EQ(layout(), "grid [ a b c ] |716,0 8x875 |724,434 716x8 mem=grid");
  press({}, Point{716, 400});
  release();
  settle();
  EXPECT_EQ(desk(), "a(0,25 716x875) b(724,25 716x433) c(724,466 716x434)");
}

TEST_F(Grid, WindowsThatCloseGoFullScreenOrTakeTheFocusAndAGridEndedWhileStartingIsForgotten) {
  const ProcessID editor = launch("Editor"), terminal = launch("Terminal");
  const WindowID t = open(terminal, "t", Rect(700, 100, 700, 500));
  const WindowID e = open(editor, "e", Rect(0, 100, 700, 500));
  const WindowID f = open(editor, "f", Rect(100, 100, 700, 500));
  settle();
  coordinator->startBento();
  settle();
  EXPECT_EQ(layout(), "grid [ f e t ] |716,0 8x875 |724,434 716x8 mem=grid");
  // The editor's palette covers the terminal's tile; the user clicks f.
  open(editor, "palette", Rect(800, 100, 600, 700), [](SimWindowSpec& d) { d.subrole = "AXFloatingWindow"; });
  settle();
  desktop->focusWindow(f);
  settle();
  EXPECT_EQ(stack().substr(0, 5), "f t p");

  // Found by the sweep: e went full screen, t closed. The others take their
  // new tiles; e is neither placed nor put back any more.
  desktop->setFullScreen(e, true);
  desktop->setNotificationLatency(100);
  desktop->closeWindow(t);
  advance(15);
  EXPECT_EQ(layout(), "grid [ f ] mem=grid");
  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 870)}});
  advance(2);
  EXPECT_EQ(desk(), "e(0,0 1440x900 fs) f(0,30 1440x870) palette(800,100 600x700)");
  // A degenerate screen is remembered but not laid out.
  for (const Rect visible : {Rect(0, 0, 1, 900), Rect(0, 0, 1440, 1)}) {
    desktop->setDisplays({SimDisplay{7, Rect(0, 0, 1440, 900), visible}});
    advance(2);
    EXPECT_EQ(now().displayID, 7U);
    EXPECT_EQ(frameOf(f), Rect(0, 30, 1440, 870));
  }
  // Anything larger is laid out, however small.
  desktop->setDisplays({SimDisplay{7, Rect(0, 0, 1440, 900), Rect(0, 0, 2, 2)}});
  advance(2);
  EXPECT_EQ(frameOf(f), Rect(0, 898, 2, 2));
  // Its last window closing ends the grid.
  desktop->closeWindow(f);
  advance(16);
  EXPECT_EQ(layout(), "none mem=-");
  EXPECT_EQ(desk(), "e(0,0 1440x900 fs) palette(800,100 600x700)");
  // Without reserved areas a single tile covers the display: its window
  // reads as full screen and is let go, which ends the grid at once; such a
  // grid is not one to bring back.
  desktop->setFullScreen(e, false);
  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 900)}});
  coordinator->startBento();
  settle();
  EXPECT_EQ(layout(), "none mem=-");
  EXPECT_EQ(desk(), "e(0,0 1440x900) palette(800,100 600x700)");
}

}  // namespace
}  // namespace tessarapane
