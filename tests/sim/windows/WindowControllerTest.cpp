#include "windows/WindowController.h"

#include <gtest/gtest.h>

#include "WindowsSimFixture.h"
#include "windows/WindowIndexer.h"

namespace tessarapane {
namespace {

class WindowControllerSim : public WindowsSim {
 protected:
  ManagedWindow managed(WindowID number) {
    for (const ManagedWindow& window : WindowIndexer(platform).currentSpaceWindows()) {
      if (window.windowID == number) return window;
    }
    ADD_FAILURE() << "window " << number << " is not listed";
    return ManagedWindow{};
  }

  // A record as the coordinator may hold it: made earlier, its element
  // possibly not the one the application hands out now.
  ManagedWindow record(WindowID number, AXElement element) {
    ManagedWindow window;
    window.windowID = number;
    window.ownerPID = desktop->window(number)->owner();
    window.element = element;
    return window;
  }

  std::optional<WindowID> focused(const std::vector<ManagedWindow>& windows) {
    const auto window = controller.focusedManagedWindow(windows);
    if (!window) return std::nullopt;
    return window->windowID;
  }

  std::vector<std::string> callNames() const {
    std::vector<std::string> names;
    for (const SimCall& call : desktop->recorder().calls()) {
      names.push_back(call.kind == SimCall::Kind::bringProcessToFront ? "front" : call.name);
    }
    return names;
  }

  WindowController controller{platform};
};

TEST_F(WindowControllerSim, OnScreenWindowIDsAreEveryNumberInTheList) {
  const ProcessID app = launch("Editor");
  const WindowID badge = open(app, "", Rect(0, 0, 40, 40));
  const WindowID panel = open(launch("Helper", ActivationPolicy::accessory), "", Rect(0, 0, 300, 200),
                              [](SimWindowSpec& s) { s.layer = 8; });
  const WindowID shown = open(app, "Doc", Rect(100, 100, 600, 400));
  const WindowID hidden = open(app, "Old", Rect(100, 100, 600, 400), [](SimWindowSpec& s) { s.minimized = true; });
  (void)hidden;

  EXPECT_EQ(controller.onScreenWindowIDs(), (WindowIDSet{badge, panel, shown}));
  desktop->failNextWindowListReads(1);
  EXPECT_EQ(controller.onScreenWindowIDs(), std::nullopt);
}

TEST_F(WindowControllerSim, FocusIsFoundByElement) {
  const ProcessID editor = launch("Editor");
  const WindowID left = open(editor, "Left", Rect(0, 30, 600, 800));
  const WindowID right = open(editor, "Right", Rect(700, 30, 600, 800));
  const ProcessID other = launch("Other");
  const WindowID unmanaged = open(other, "Other", Rect(300, 300, 400, 300));
  const std::vector<ManagedWindow> windows{managed(left), managed(right)};

  desktop->focusWindow(left);
  EXPECT_EQ(focused(windows), left);
  desktop->focusWindow(right);
  EXPECT_EQ(focused(windows), right);
  // The frontmost application has no managed window.
  desktop->focusWindow(unmanaged);
  EXPECT_EQ(focused(windows), std::nullopt);
}

TEST_F(WindowControllerSim, FocusFallsBackToTheClosestFrameWhenTheElementDiffers) {
  const ProcessID app = launch("Browser");
  const WindowID front = open(app, "Front", Rect(100, 100, 600, 400));
  const WindowID near = open(app, "Near", Rect(110, 105, 600, 400));
  const WindowID far = open(app, "Far", Rect(700, 100, 600, 400));
  desktop->focusWindow(front);
  // The coordinator's records of `near` and `far`; the focused window is
  // not among them (its element changed since the records were made).
  const std::vector<ManagedWindow> windows{record(far, elementOf(far)), record(near, elementOf(near))};
  EXPECT_EQ(focused(windows), near);

  // Two candidates equally close: ambiguous, and more than one candidate.
  desktop->moveWindow(far, Rect(100, 115, 600, 400));
  EXPECT_EQ(focused(windows), std::nullopt);
}

TEST_F(WindowControllerSim, ALoneOnScreenCandidateIsTheAnswerWhenNothingElseDecides) {
  const ProcessID app = launch("Browser");
  const WindowID distant = open(app, "Distant", Rect(800, 400, 500, 400));
  const WindowID tucked = open(app, "Tucked", Rect(800, 400, 500, 400));
  const WindowID front = open(app, "Front", Rect(0, 30, 600, 400));
  desktop->setMinimized(tucked, true);
  desktop->focusWindow(front);
  const std::vector<ManagedWindow> windows{record(distant, elementOf(distant)), record(tucked, elementOf(tucked))};

  // The minimised window is off screen, so the distant one is the only
  // candidate, however far from the focused frame.
  EXPECT_EQ(focused(windows), distant);
  // Without the on-screen set every window of the application is a
  // candidate, and two leave it undecided.
  desktop->failNextWindowListReads(1);
  EXPECT_EQ(focused(windows), std::nullopt);
}

TEST_F(WindowControllerSim, AFocusedFullScreenWindowIsNoManagedFocus) {
  const ProcessID app = launch("Player");
  const WindowID movie = open(app, "Movie", Rect(100, 100, 600, 400));
  const std::vector<ManagedWindow> windows{managed(movie)};
  desktop->focusWindow(movie);
  ASSERT_EQ(focused(windows), movie);
  desktop->setFullScreen(movie, true);
  EXPECT_EQ(focused(windows), std::nullopt);
}

TEST_F(WindowControllerSim, AFrameWithinOnePointIsNotWritten) {
  const ProcessID app = launch("Editor");
  const WindowID window = open(app, "Doc", Rect(100.5, 300.8, 600.9, 399.2));
  const ManagedWindow doc = managed(window);
  // Toolkit (100, 200, 600, 400) on the 900-point-high display is
  // accessibility (100, 300, 600, 400).
  EXPECT_TRUE(controller.setAppKitFrameIfNeeded(Rect(100, 200, 600, 400), doc));
  EXPECT_EQ(desktop->recorder().frameWrites(window), 0U);

  desktop->moveWindow(window, Rect(101.5, 300, 600, 400));
  EXPECT_TRUE(controller.setAppKitFrameIfNeeded(Rect(100, 200, 600, 400), doc));
  EXPECT_EQ(desktop->recorder().frameWrites(window), 2U);
  EXPECT_EQ(desktop->frame(window), Rect(100, 300, 600, 400));
}

TEST_F(WindowControllerSim, BothFrameWritesAreMadeAndBothMustSucceed) {
  const ProcessID app = launch("Editor");
  const WindowID pinned = open(app, "Pinned", Rect(100, 100, 600, 400),
                               [](SimWindowSpec& s) { s.positionSettable = false; });
  EXPECT_FALSE(controller.setAccessibilityFrame(Rect(0, 30, 500, 300), managed(pinned)));
  EXPECT_EQ(desktop->recorder().attributeWrites(pinned, "AXSize"), 1U);
  EXPECT_EQ(desktop->frame(pinned), Rect(100, 100, 500, 300));

  const WindowID gone = open(app, "Gone", Rect(100, 100, 600, 400));
  const ManagedWindow goneRecord = managed(gone);
  desktop->closeWindow(gone);
  EXPECT_FALSE(controller.setAccessibilityFrame(Rect(0, 30, 500, 300), goneRecord));
  EXPECT_FALSE(controller.raise(goneRecord, std::nullopt));
  EXPECT_EQ(desktop->recorder().frameWrites(gone), 0U);
}

TEST_F(WindowControllerSim, AFullScreenWindowIsNeverMovedOrRaised) {
  const ProcessID app = launch("Player");
  const WindowID movie = open(app, "Movie", Rect(100, 100, 600, 400));
  const ManagedWindow record = managed(movie);
  desktop->setFullScreen(movie, true);
  // Covering the display counts as full screen even without the flag.
  const WindowID board = open(app, "Board", Rect(0, 0, 1440, 900));
  ManagedWindow boardRecord = record;
  boardRecord.windowID = board;
  boardRecord.element = elementOf(board);
  desktop->recorder().clear();

  for (const ManagedWindow& window : {record, boardRecord}) {
    EXPECT_FALSE(controller.setAccessibilityFrame(Rect(0, 30, 500, 300), window));
    EXPECT_FALSE(controller.setAppKitFrameIfNeeded(Rect(0, 30, 500, 300), window));
    EXPECT_FALSE(controller.raise(window, std::nullopt));
  }
  EXPECT_TRUE(desktop->recorder().calls().empty());
}

TEST_F(WindowControllerSim, RaiseOrdersTheWindowFrontThenItsProcess) {
  const ProcessID back = launch("Back");
  const WindowID behind = open(back, "Behind", Rect(100, 100, 600, 400));
  const ProcessID front = launch("Front");
  open(front, "Cover", Rect(100, 100, 600, 400));
  const ManagedWindow window = managed(behind);
  desktop->recorder().clear();

  // Not on screen as far as the caller knows: left alone.
  EXPECT_FALSE(controller.raise(window, WindowIDSet{}));
  EXPECT_TRUE(desktop->recorder().calls().empty());

  EXPECT_TRUE(controller.raise(window, WindowIDSet{behind}));
  EXPECT_EQ(callNames(), (std::vector<std::string>{"AXFocusedWindow", "AXMain", "AXRaise", "front"}));
  const SimCall& focusWrite = desktop->recorder().calls().front();
  EXPECT_EQ(focusWrite.element, SimElements::application(back));
  EXPECT_EQ(focusWrite.value, AXAttributeValue(elementOf(behind)));
  EXPECT_EQ(desktop->stackingOrder().front(), behind);
  EXPECT_EQ(desktop->frontmostApplication(), back);
}

TEST_F(WindowControllerSim, RaiseSucceedsWhenAnyStepDoes) {
  const ProcessID app = launch("Editor");
  const ManagedWindow window = managed(open(app, "Doc", Rect(100, 100, 600, 400)));

  desktop->setFrontProcessMode(SimFrontProcessMode::unavailable);
  EXPECT_TRUE(controller.raise(window, std::nullopt));
  // Focus and main refused, the raise itself taken: done.
  accessibility->scriptWrite = [](const AXElement&, std::string_view) { return AXError::cannotComplete; };
  EXPECT_TRUE(controller.raise(window, std::nullopt));

  // Every accessibility step refused: only the process call can still help.
  accessibility->scriptWrite = [](const AXElement&, std::string_view) { return AXError::cannotComplete; };
  accessibility->scriptAction = [](const AXElement&, std::string_view) { return AXError::cannotComplete; };
  EXPECT_FALSE(controller.raise(window, std::nullopt));
  desktop->setFrontProcessMode(SimFrontProcessMode::fails);
  EXPECT_FALSE(controller.raise(window, std::nullopt));
  desktop->setFrontProcessMode(SimFrontProcessMode::succeeds);
  EXPECT_TRUE(controller.raise(window, std::nullopt));
}

TEST_F(WindowControllerSim, IsClosedWhenGoneOrOffScreenButNotWhenMinimised) {
  const ProcessID app = launch("Editor");
  const ManagedWindow shown = managed(open(app, "Shown", Rect(0, 30, 400, 300)));
  const ManagedWindow minimised = managed(open(app, "Minimised", Rect(500, 30, 400, 300)));
  const ManagedWindow hidden = managed(open(app, "Hidden", Rect(0, 400, 400, 300)));
  const ManagedWindow gone = managed(open(app, "Gone", Rect(500, 400, 400, 300)));
  desktop->setMinimized(minimised.windowID, true);
  desktop->setOnScreen(hidden.windowID, false);
  desktop->closeWindow(gone.windowID);
  const WindowIDSet onScreen = *controller.onScreenWindowIDs();

  EXPECT_FALSE(controller.isClosed(shown, onScreen));
  EXPECT_FALSE(controller.isClosed(minimised, onScreen));
  EXPECT_TRUE(controller.isClosed(hidden, onScreen));
  EXPECT_TRUE(controller.isClosed(gone, onScreen));
  // A gone window is closed even when a stale set still lists it.
  EXPECT_TRUE(controller.isClosed(gone, WindowIDSet{gone.windowID}));
}

TEST_F(WindowControllerSim, BlockingModalUIIsASheetOrAnotherModalOrDialogWindow) {
  const ProcessID app = launch("Editor");
  const WindowID main = open(app, "Doc", Rect(0, 30, 800, 600));
  const ManagedWindow doc = managed(main);
  EXPECT_FALSE(controller.hasBlockingModalUI(doc));

  open(app, "Colors", Rect(900, 30, 200, 300), [](SimWindowSpec& s) { s.subrole = "AXFloatingWindow"; });
  EXPECT_FALSE(controller.hasBlockingModalUI(doc));

  const WindowID dialog = open(app, "Find", Rect(900, 400, 300, 200), [](SimWindowSpec& s) { s.subrole = "AXDialog"; });
  EXPECT_TRUE(controller.hasBlockingModalUI(doc));
  desktop->closeWindow(dialog);
  const WindowID system =
      open(app, "Alert", Rect(900, 400, 300, 200), [](SimWindowSpec& s) { s.subrole = "AXSystemDialog"; });
  EXPECT_TRUE(controller.hasBlockingModalUI(doc));
  desktop->closeWindow(system);
  const WindowID modal = open(app, "Save", Rect(900, 400, 300, 200), [](SimWindowSpec& s) { s.modal = true; });
  EXPECT_TRUE(controller.hasBlockingModalUI(doc));
  // The modal window itself is not blocked by its own modality.
  EXPECT_FALSE(controller.hasBlockingModalUI(record(modal, elementOf(modal))));
  desktop->closeWindow(modal);

  desktop->attachSheet(main, Rect(200, 60, 400, 200));
  EXPECT_TRUE(controller.hasBlockingModalUI(doc));
}

}  // namespace
}  // namespace tessarapane
