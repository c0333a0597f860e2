// What the program reads of and does to other applications' windows: the
// focus, frame writes, and when a window counts as closed or held by a
// dialog (closing as the user sees it is the window stories'). Every request
// reaches the simulated desktop, whose recorder gives the whole sequence.
#include "windows/WindowController.h"

#include <gtest/gtest.h>

#include <cmath>

#include "WindowsSim.h"

// Behaviours are written with only the fields that differ.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace tessarapane {


struct WindowControllerSim : WindowsSim {
  std::optional<std::string> focused(const std::vector<ManagedWindow>& windows) {
    const auto window = controller.focusedManagedWindow(windows);
    if (!window) return std::nullopt;
    return desktop->window(window->windowID)->desc.title;
  }
  // "<request> <window title or app>", in the order made, then forgotten.
  Lines calls() {
    Lines shown;
    for (const SimCall& call : desktop->recorder().calls()) {
      const SimWindowState* window = desktop->window(call.window);
      const std::string target = window ? window->desc.title : call.window ? "gone" : "app";
      shown.push_back(call.kind == SimCall::Kind::bringProcessToFront ? "front" : call.name + " " + target);
    }
    desktop->recorder().clear();
    return shown;
  }

  WindowController controller{platform};
};

TEST_F(WindowControllerSim, FocusIsTheManagedWindowTheFrontApplicationFocuses) {
  const ProcessID editor = launch("Editor");
  const WindowID left = open(editor, "Left", Rect(0, 30, 600, 800)), right = open(editor, "Right", Rect(700, 30, 600, 800)),
                 other = open(launch("Other"), "Other", Rect(300, 300, 400, 300));
  const std::vector<ManagedWindow> windows{record(left), record(right)};
  desktop->focusWindow(left);
  EXPECT_EQ(focused(windows), "Left");
  desktop->focusWindow(right);
  desktop->focusWithinApplication(left, false);  // focused, while the main window stays
  EXPECT_EQ(focused(windows), "Left");
  // Another application in front is answered without asking it anything.
  desktop->focusWindow(other);
  const std::size_t reads = desktop->recorder().reads();
  EXPECT_EQ(focused(windows), std::nullopt);
  EXPECT_EQ(desktop->recorder().reads(), reads);

  // Records not holding the focused window's element (applications hand
  // out fresh ones): the closest frame decides, and
  // two equally close ones decide nothing.
  const ProcessID browser = launch("Browser");
  const WindowID far = open(browser, "Far", Rect(700, 100, 600, 400)), near = open(browser, "Near", Rect(110, 105, 600, 400));
  desktop->focusWindow(open(browser, "Front", Rect(100, 100, 600, 400)));
  const std::vector<ManagedWindow> records{record(far), record(near)};
  EXPECT_EQ(focused(records), "Near");
  desktop->moveWindow(far, Rect(100, 115, 600, 400));
  EXPECT_EQ(focused(records), std::nullopt);
  // With one of them off screen, the one left is the answer however far.
  desktop->moveWindow(far, Rect(900, 500, 500, 300));
  desktop->moveWindow(near, Rect(900, 500, 500, 300));
  desktop->setMinimized(near, true);
  EXPECT_EQ(focused(records), "Far");
  desktop->failNextWindowListReads(1);  // then both are candidates again
  EXPECT_EQ(focused(records), std::nullopt);

  // A focused window in the platform's full screen is nobody's focus.
  desktop->focusWindow(left);
  desktop->setFullScreen(left, true);
  EXPECT_EQ(focused(windows), std::nullopt);
}

TEST_F(WindowControllerSim, FramesAreWrittenOnlyWhenOffByMoreThanAPointAndNeverInFullScreen) {
  const ProcessID editor = launch("Editor");
  const WindowID doc = open(editor, "Doc", Rect(101, 299, 601, 399)),
                 pinned = open(editor, "Pinned", Rect(100, 100, 600, 400), [](auto& s) { s.positionSettable = false; }),
                 gone = open(editor, "Gone", Rect(100, 100, 600, 400)), movie = open(editor, "Movie", Rect(100, 100, 600, 400)),
                 board = open(editor, "Board", Rect(0, 0, 1440, 900));
  const ManagedWindow docRecord = record(doc), goneRecord = record(gone), movieRecord = record(movie);
  desktop->closeWindow(gone);
  desktop->setFullScreen(movie, true);
  desktop->recorder().clear();

  // Toolkit (100, 200, 600, 400) is accessibility (100, 300, 600, 400); a
  // point off on every side still counts as there.
  EXPECT_TRUE(controller.setAppKitFrameIfNeeded(Rect(100, 200, 600, 400), docRecord));
  EXPECT_EQ(calls(), Lines{});
  desktop->moveWindow(doc, Rect(101.5, 300, 600, 400));
  EXPECT_TRUE(controller.setAppKitFrameIfNeeded(Rect(100, 200, 600, 400), docRecord));
  EXPECT_EQ(desktop->frame(doc), Rect(100, 300, 600, 400));
  // Both writes are made, and both must be taken.
  EXPECT_FALSE(controller.setAccessibilityFrame(Rect(0, 30, 500, 300), record(pinned)));
  EXPECT_EQ(desktop->frame(pinned), Rect(100, 100, 500, 300));
  EXPECT_EQ(calls(), (Lines{"AXPosition Doc", "AXSize Doc", "AXPosition Pinned", "AXSize Pinned"}));

  for (const ManagedWindow& untouchable : {goneRecord, movieRecord, record(board)}) {
    EXPECT_FALSE(controller.setAccessibilityFrame(Rect(0, 30, 500, 300), untouchable));
    EXPECT_FALSE(controller.setAppKitFrameIfNeeded(Rect(0, 30, 500, 300), untouchable));
    EXPECT_FALSE(controller.raise(untouchable, std::nullopt));
  }
  EXPECT_EQ(calls(), Lines{});
}

TEST_F(WindowControllerSim, ClosedMeansGoneOrOffScreenAndModalUIBlocks) {
  const ProcessID app = launch("Editor");
  const WindowID main = open(app, "Doc", Rect(0, 30, 800, 600)), minimised = open(app, "Min", Rect(500, 30, 400, 300)),
                 hidden = open(app, "Hidden", Rect(0, 400, 400, 300));
  const ManagedWindow gone = record(open(app, "Gone", Rect(500, 400, 400, 300)));
  desktop->setMinimized(minimised, true);
  desktop->setOnScreen(hidden, false);
  desktop->closeWindow(gone.windowID);
  const WindowIDSet onScreen = controller.onScreenWindowIDs().value();
  std::vector<bool> closed;
  for (WindowID window : {main, minimised, hidden}) closed.push_back(controller.isClosed(record(window), onScreen));
  closed.push_back(controller.isClosed(gone, onScreen));
  closed.push_back(controller.isClosed(gone, WindowIDSet{gone.windowID}));  // a stale set
  EXPECT_EQ(closed, (std::vector<bool>{false, false, true, true, true}));
  desktop->failNextWindowListReads(1);
  EXPECT_EQ(controller.onScreenWindowIDs(), std::nullopt);

  // A sheet on the window, or a dialog or modal window elsewhere in its
  // application; a palette is none, nor is a modal window to itself.
  std::vector<bool> blocked;
  for (auto [subrole, modal] : std::vector<std::pair<std::string, bool>>{
           {"AXFloatingWindow", false}, {"AXDialog", false}, {"AXSystemDialog", false}, {"AXStandardWindow", true}}) {
    const WindowID other = open(app, "other", Rect(900, 400, 300, 200), [&](SimWindowSpec& s) {
      s.subrole = subrole;
      s.modal = modal;
    });
    blocked.push_back(controller.hasBlockingModalUI(record(main)));
    if (modal) blocked.push_back(controller.hasBlockingModalUI(record(other)));
    desktop->closeWindow(other);
  }
  desktop->attachSheet(main, Rect(200, 60, 400, 200));
  blocked.push_back(controller.hasBlockingModalUI(record(main)));
  EXPECT_EQ(blocked, (std::vector<bool>{false, true, true, true, false, true}));
}

}  // namespace tessarapane
