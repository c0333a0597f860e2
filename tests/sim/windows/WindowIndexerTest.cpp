#include "windows/WindowIndexer.h"

#include <gtest/gtest.h>

#include "WindowsSimFixture.h"

namespace tessarapane {
namespace {

class WindowIndexerSim : public WindowsSim {
 protected:
  std::vector<WindowID> listed(std::optional<ProcessID> owner = std::nullopt) {
    std::vector<WindowID> numbers;
    for (const ManagedWindow& window : indexer.currentSpaceWindows(owner)) numbers.push_back(window.windowID);
    return numbers;
  }

  const ManagedWindow* find(const std::vector<ManagedWindow>& windows, WindowID number) {
    for (const ManagedWindow& window : windows) {
      if (window.windowID == number) return &window;
    }
    return nullptr;
  }

  WindowIndexer indexer{platform};
};

using Numbers = std::vector<WindowID>;

TEST_F(WindowIndexerSim, ListsOnlyVisibleWindowsOfAtLeast120By80AtLayerZero) {
  const ProcessID app = launch("Editor");
  const WindowID narrow = open(app, "narrow", Rect(0, 30, 119, 80));
  const WindowID smallest = open(app, "smallest", Rect(200, 30, 120, 80));
  const WindowID flat = open(app, "flat", Rect(400, 30, 120, 79));
  const WindowID invisible = open(app, "invisible", Rect(0, 300, 300, 200), [](SimWindowSpec& s) { s.alpha = 0.0; });
  const WindowID noAlpha = open(app, "no alpha", Rect(400, 300, 300, 200), [](SimWindowSpec& s) { s.alpha.reset(); });
  const WindowID floating = open(app, "layer", Rect(800, 300, 300, 200), [](SimWindowSpec& s) { s.layer = 3; });
  (void)narrow, (void)flat, (void)invisible, (void)floating;

  EXPECT_EQ(listed(), (Numbers{noAlpha, smallest}));
}

TEST_F(WindowIndexerSim, RecordTakesNameTitleAndFrameFromTheApplicationAndElement) {
  SimAppSpec unnamed;
  unnamed.bundleIdentifier.reset();
  const ProcessID nameless = desktop->launchApplication(unnamed);
  const ProcessID named = launch("Notes");
  const WindowID untitledInList =
      open(named, "Shopping", Rect(100, 100, 600, 400), [](SimWindowSpec& s) { s.titleInWindowList = false; });
  const WindowID plain = open(nameless, "Scratch", Rect(800, 100, 500, 400));
  // The window list trails the window by a few points: the record keeps the
  // accessibility frame, which is what later writes compare against.
  listBounds(untitledInList, Rect(110, 104, 600, 400));

  const auto windows = indexer.currentSpaceWindows();
  ASSERT_EQ(windows.size(), 2U);
  const ManagedWindow* notes = find(windows, untitledInList);
  ASSERT_NE(notes, nullptr);
  EXPECT_EQ(notes->ownerPID, named);
  EXPECT_EQ(notes->bundleIdentifier, "org.example.Notes");
  EXPECT_EQ(notes->appName, "Notes");
  EXPECT_EQ(notes->title, "Shopping");
  EXPECT_EQ(notes->frame, Rect(100, 100, 600, 400));
  EXPECT_EQ(notes->element, elementOf(untitledInList));

  const ManagedWindow* scratch = find(windows, plain);
  ASSERT_NE(scratch, nullptr);
  EXPECT_EQ(scratch->appName, "应用");
  EXPECT_EQ(scratch->bundleIdentifier, std::nullopt);
}

TEST_F(WindowIndexerSim, TwinWindowsOfOneApplicationGetDistinctElementsAndTitlesDecide) {
  const ProcessID app = launch("Terminal");
  const Rect same(100, 100, 700, 500);
  const WindowID older = open(app, "Alpha", same);
  const WindowID newer = open(app, "Beta", same);
  // The application lists its windows in the opposite order of the window
  // server, so only the titles can pair them correctly.
  reverseWindowLists();

  const auto windows = indexer.currentSpaceWindows();
  ASSERT_EQ(windows.size(), 2U);
  EXPECT_EQ(windows[0].windowID, newer);
  EXPECT_EQ(windows[0].element, elementOf(newer));
  EXPECT_EQ(windows[0].title, "Beta");
  EXPECT_EQ(windows[1].windowID, older);
  EXPECT_EQ(windows[1].element, elementOf(older));
}

TEST_F(WindowIndexerSim, TwinsWithoutListTitlesTakeElementsInOrderOnEqualScores) {
  const ProcessID app = launch("Terminal");
  const Rect same(100, 100, 700, 500);
  auto untitled = [](SimWindowSpec& s) { s.titleInWindowList = false; };
  const WindowID older = open(app, "Alpha", same, untitled);
  const WindowID newer = open(app, "Beta", same, untitled);
  reverseWindowLists();

  // Nothing tells them apart: the front record takes the first element the
  // application lists (the earlier candidate stays on a tie), the next one
  // the element left over.
  const auto windows = indexer.currentSpaceWindows();
  ASSERT_EQ(windows.size(), 2U);
  EXPECT_EQ(windows[0].windowID, newer);
  EXPECT_EQ(windows[0].element, elementOf(older));
  EXPECT_EQ(windows[1].windowID, older);
  EXPECT_EQ(windows[1].element, elementOf(newer));
}

TEST_F(WindowIndexerSim, AnEqualTitleOutweighsACloserFrame) {
  const ProcessID app = launch("Mail");
  const WindowID inbox = open(app, "Inbox", Rect(0, 30, 600, 400));
  const WindowID draft = open(app, "Draft", Rect(40, 30, 600, 400));
  // The inbox's list entry lies exactly on the draft's frame.
  listBounds(inbox, Rect(40, 30, 600, 400));

  const auto windows = indexer.currentSpaceWindows();
  ASSERT_EQ(windows.size(), 2U);
  EXPECT_EQ(find(windows, inbox)->element, elementOf(inbox));
  EXPECT_EQ(find(windows, draft)->element, elementOf(draft));
}

TEST_F(WindowIndexerSim, MatchingToleratesDistanceOnlyWithOverlapAndSimilarSize) {
  // 300 points off in all (75 on each of x, y, width, height), overlap 0.665.
  const ProcessID overlapping = launch("Overlapping");
  const WindowID far = open(overlapping, "", Rect(0, 25, 1300, 850));
  listBounds(far, Rect(75, 100, 1375, 925));
  // 300 points off by a shift alone: overlap 0.573.
  const ProcessID shifted = launch("Shifted");
  const WindowID apart = open(shifted, "", Rect(0, 25, 1300, 850));
  listBounds(apart, Rect(150, 175, 1300, 850));
  // 200 points off with widths 350 to 500: size ratio 0.7.
  const ProcessID narrower = launch("Narrower");
  const WindowID thin = open(narrower, "", Rect(100, 100, 500, 400));
  listBounds(thin, Rect(100, 150, 350, 400));
  // 190 points off with widths 360 to 500: size ratio 0.72, just enough.
  const ProcessID enough = launch("Enough");
  const WindowID close = open(enough, "", Rect(100, 100, 500, 400));
  listBounds(close, Rect(100, 150, 360, 400));

  const auto windows = indexer.currentSpaceWindows();
  EXPECT_NE(find(windows, far), nullptr);
  EXPECT_EQ(find(windows, apart), nullptr);
  EXPECT_EQ(find(windows, thin), nullptr);
  EXPECT_NE(find(windows, close), nullptr);
  EXPECT_EQ(windows.size(), 2U);
}

TEST_F(WindowIndexerSim, SheetsDialogsPalettesAndModalWindowsAreNeverListed) {
  const ProcessID app = launch("Editor");
  const WindowID main = open(app, "Doc", Rect(0, 25, 900, 700));
  desktop->attachSheet(main, Rect(250, 50, 400, 200));
  open(app, "Find", Rect(300, 200, 400, 300), [](SimWindowSpec& s) { s.subrole = "AXDialog"; });
  open(app, "Alert", Rect(300, 220, 420, 300), [](SimWindowSpec& s) { s.subrole = "AXSystemDialog"; });
  open(app, "Colors", Rect(1000, 100, 200, 400), [](SimWindowSpec& s) { s.subrole = "AXFloatingWindow"; });
  open(app, "Inspector", Rect(1100, 100, 200, 400), [](SimWindowSpec& s) { s.subrole = "AXSystemFloatingWindow"; });
  open(app, "Unknown", Rect(900, 500, 300, 300), [](SimWindowSpec& s) { s.subrole = "AXUnknown"; });
  open(app, "Save", Rect(200, 150, 500, 350), [](SimWindowSpec& s) { s.modal = true; });

  EXPECT_EQ(listed(), (Numbers{main}));
  // The window server still shows them all, and restacking sees them.
  EXPECT_EQ(indexer.onScreenWindowStack().size(), 8U);
}

TEST_F(WindowIndexerSim, MinimisedAndFullScreenWindowsAreNeverListed) {
  const ProcessID viewer = launch("Viewer");
  const WindowID photo = open(viewer, "Photo", Rect(100, 100, 700, 500));
  // A minimised twin listed first by the application: were it a candidate,
  // the photo's entry would take it.
  open(viewer, "Photo", Rect(100, 100, 700, 500), [](SimWindowSpec& s) { s.minimized = true; });
  const ProcessID player = launch("Player");
  const WindowID movie = open(player, "Movie", Rect(100, 100, 700, 500));
  desktop->setFullScreen(movie, true);
  // Covering the display is enough, whatever "AXFullScreen" says.
  const ProcessID kiosk = launch("Kiosk");
  const WindowID board = open(kiosk, "Board", Rect(0, 0, 1440, 900));

  const auto windows = indexer.currentSpaceWindows();
  ASSERT_EQ(windows.size(), 1U);
  EXPECT_EQ(windows[0].windowID, photo);
  EXPECT_EQ(windows[0].element, elementOf(photo));
  EXPECT_TRUE(listed(player).empty());
  EXPECT_TRUE(listed(kiosk).empty());
  (void)board;
}

TEST_F(WindowIndexerSim, AWindowWithoutSubroleNeedsToBeMovableAndHaveATitleBarControl) {
  auto bare = [](SimWindowSpec& s) {
    s.subrole.reset();
    s.closeButton.present = false;
    s.minimizeButton.present = false;
    s.zoomButton.present = false;
  };
  const ProcessID zoomOnly = launch("ZoomOnly");
  const WindowID zoomable = open(zoomOnly, "", Rect(100, 100, 400, 300), [&](SimWindowSpec& s) {
    bare(s);
    s.zoomButton.present = true;
  });
  const ProcessID noControls = launch("NoControls");
  open(noControls, "", Rect(100, 100, 400, 300), bare);
  const ProcessID fixed = launch("Fixed");
  open(fixed, "", Rect(100, 100, 400, 300), [](SimWindowSpec& s) {
    s.subrole.reset();
    s.positionSettable = false;
  });
  const ProcessID fixedSize = launch("FixedSize");
  open(fixedSize, "", Rect(100, 100, 400, 300), [](SimWindowSpec& s) {
    s.subrole.reset();
    s.sizeSettable = false;
  });

  EXPECT_EQ(listed(), (Numbers{zoomable}));
}

TEST_F(WindowIndexerSim, OnlyRegularApplicationsOtherThanThisOneAndTheSystemsContribute) {
  const Rect frame(100, 100, 600, 400);
  const ProcessID regular = launch("Regular");
  const WindowID kept = open(regular, "", frame);
  open(launch("Accessory", ActivationPolicy::accessory), "", frame);
  open(launch("Prohibited", ActivationPolicy::prohibited), "", frame);

  SimAppSpec self;
  self.pid = desktop->currentProcessID();
  self.localizedName = "Tessarapane";
  open(desktop->launchApplication(self), "Tab bar", frame);

  SimAppSpec dock;
  dock.bundleIdentifier = "com.apple.dock";
  dock.localizedName = "Dock helper";
  open(desktop->launchApplication(dock), "", frame);
  SimAppSpec wallpaper;
  wallpaper.localizedName = "Wallpaper";
  open(desktop->launchApplication(wallpaper), "", frame);

  SimAppSpec hung;
  hung.localizedName = "Hung";
  hung.answersAccessibility = false;
  open(desktop->launchApplication(hung), "", frame);

  EXPECT_EQ(listed(), (Numbers{kept}));
  // Only the regular application's entry passes the record filter.
  const auto stack = indexer.onScreenWindowStack();
  ASSERT_EQ(stack.size(), 2U);  // the regular one and the hung one
  EXPECT_EQ(stack[1].windowID, kept);
}

TEST_F(WindowIndexerSim, OwnerFilterStackOrderAndUnreadableList) {
  const ProcessID first = launch("First");
  const ProcessID second = launch("Second");
  const WindowID a = open(first, "a", Rect(0, 30, 400, 300));
  const WindowID b = open(second, "b", Rect(500, 30, 400, 300));
  const WindowID c = open(first, "c", Rect(0, 400, 400, 300));
  open(second, "tiny", Rect(900, 600, 100, 50));

  EXPECT_EQ(listed(first), (Numbers{c, a}));
  EXPECT_EQ(listed(second), (Numbers{b}));
  EXPECT_EQ(listed(), (Numbers{c, b, a}));

  const auto stack = indexer.onScreenWindowStack();
  ASSERT_EQ(stack.size(), 3U);
  EXPECT_EQ(stack[0].windowID, c);
  EXPECT_EQ(stack[0].ownerPID, first);
  EXPECT_EQ(stack[0].frame, Rect(0, 400, 400, 300));
  EXPECT_EQ(stack[1].windowID, b);
  EXPECT_EQ(stack[2].windowID, a);

  desktop->failNextWindowListReads(2);
  EXPECT_TRUE(indexer.currentSpaceWindows().empty());
  EXPECT_TRUE(indexer.onScreenWindowStack().empty());
  EXPECT_EQ(listed().size(), 3U);
}

}  // namespace
}  // namespace tessarapane
