// The per-window quirks of real applications: how frames are taken, refused
// or changed later, and how close presses end.
#include "SimDesktopFixture.h"

namespace tessarapane::testing {
namespace {

using WindowBehaviors = SimDesktopTest;

TEST_F(WindowBehaviors, PlainWindowTakesFramesExactlyAndTheRecorderCountsWrites) {
  const ProcessID pid = launch("Editor");
  const WindowID number = open(pid, "w");
  const AXElement window = element(number);
  EXPECT_EQ(desktop->recorder().frameWrites(number), 0U);

  const auto [position, size] = writeFrame(window, Rect(0, 25, 720, 875));
  EXPECT_EQ(position, AXError::success);
  EXPECT_EQ(size, AXError::success);
  EXPECT_EQ(axFrame(window), Rect(0, 25, 720, 875));
  EXPECT_EQ(desktop->recorder().frameWrites(number), 2U);
  EXPECT_EQ(desktop->recorder().attributeWrites(number, "AXSize"), 1U);
}

TEST_F(WindowBehaviors, TerminalSnapsItsSizeDownToWholeCells) {
  SimWindowBehavior terminal;
  terminal.sizeIncrement = Size{7, 14};
  terminal.baseSize = Size{2, 28};
  const AXElement window = element(open(launch("Terminal"), "sh", Rect(0, 0, 2 + 80 * 7, 28 + 24 * 14), terminal));

  writeFrame(window, Rect(0, 25, 720, 875));
  // (720 - 2) / 7 = 102.57 -> 102 cells; (875 - 28) / 14 = 60.5 -> 60 rows.
  EXPECT_EQ(axFrame(window), Rect(0, 25, 2 + 102 * 7, 28 + 60 * 14));
  // A size already on the grid is taken as it is.
  writeFrame(window, Rect(0, 25, 2 + 10 * 7, 28 + 5 * 14));
  EXPECT_EQ(axFrame(window), Rect(0, 25, 72, 98));
}

TEST_F(WindowBehaviors, MinimumSizeWinsOverSmallerRequests) {
  SimWindowBehavior behavior;
  behavior.minimumSize = Size{500, 400};
  const AXElement window = element(open(launch("Mail"), "inbox", Rect(0, 0, 800, 600), behavior));
  writeFrame(window, Rect(10, 30, 300, 700));
  EXPECT_EQ(axFrame(window), Rect(10, 30, 500, 700));
}

TEST_F(WindowBehaviors, WindowThatRefusesToMoveEitherPretendsOrSaysSo) {
  SimWindowBehavior silent;
  silent.refusesMove = true;
  const AXElement quiet = element(open(launch("Quiet"), "q", Rect(50, 60, 400, 300), silent));
  EXPECT_EQ(ax.setAttributeValue(quiet, "AXPosition", Point{0, 25}), AXError::success);
  EXPECT_EQ(ax.setAttributeValue(quiet, "AXSize", Size{500, 500}), AXError::success);
  EXPECT_EQ(axFrame(quiet), Rect(50, 60, 500, 500));  // it resizes, but stays put

  SimWindowBehavior loud = silent;
  loud.moveRefusalError = AXError::cannotComplete;
  const AXElement stubborn = element(open(launch("Loud"), "l", Rect(50, 60, 400, 300), loud));
  EXPECT_EQ(ax.setAttributeValue(stubborn, "AXPosition", Point{0, 25}), AXError::cannotComplete);
  EXPECT_EQ(axFrame(stubborn), Rect(50, 60, 400, 300));
}

TEST_F(WindowBehaviors, IgnoresTheFirstWritesThenTakesFrames) {
  SimWindowBehavior behavior;
  behavior.ignoredFrameWrites = 2;
  const AXElement window = element(open(launch("Slow"), "s", Rect(50, 60, 400, 300), behavior));
  EXPECT_EQ(writeFrame(window, Rect(0, 25, 700, 800)), std::make_pair(AXError::success, AXError::success));
  EXPECT_EQ(axFrame(window), Rect(50, 60, 400, 300));
  writeFrame(window, Rect(0, 25, 700, 800));
  EXPECT_EQ(axFrame(window), Rect(0, 25, 700, 800));
}

TEST_F(WindowBehaviors, BusyWindowAnswersCannotCompleteForWritesAndActionsOnly) {
  SimWindowBehavior behavior;
  behavior.cannotCompleteCount = 2;
  const WindowID number = open(launch("Busy"), "b", Rect(50, 60, 400, 300), behavior);
  const AXElement window = element(number);

  EXPECT_EQ(readAs<std::string>(window, "AXRole"), "AXWindow");  // reads still answer
  EXPECT_EQ(ax.performAction(closeButton(window), "AXPress"), AXError::cannotComplete);
  EXPECT_EQ(ax.setAttributeValue(window, "AXPosition", Point{0, 25}), AXError::cannotComplete);
  EXPECT_TRUE(desktop->windowExists(number));
  EXPECT_EQ(axFrame(window), Rect(50, 60, 400, 300));
  // Both refusals were recorded with their answer.
  EXPECT_EQ(desktop->recorder().closeRequests(number), 1U);
  EXPECT_EQ(desktop->recorder().calls().back().result, AXError::cannotComplete);

  EXPECT_EQ(ax.setAttributeValue(window, "AXPosition", Point{0, 25}), AXError::success);
  EXPECT_EQ(ax.performAction(closeButton(window), "AXPress"), AXError::success);
  EXPECT_FALSE(desktop->windowExists(number));
}

TEST_F(WindowBehaviors, RestoresItsOwnPositionShortlyAfterAppearing) {
  SimWindowBehavior behavior;
  behavior.selfMoves = {SimSelfMove{0.2, Rect(300, 200, 900, 700)}};
  const AXElement window = element(open(launch("Browser"), "b", Rect(0, 25, 800, 600), behavior));
  writeFrame(window, Rect(0, 25, 720, 875));

  clock->advance(0.19);
  EXPECT_EQ(axFrame(window), Rect(0, 25, 720, 875));
  clock->advance(0.01);
  EXPECT_EQ(axFrame(window), Rect(300, 200, 900, 700));
  EXPECT_EQ(desktop->recorder().frameWrites(window.token), 2U);  // its own move is no write
}

TEST_F(WindowBehaviors, DelayedConfigureShowsTheOldFrameUntilApplied) {
  SimWindowBehavior behavior;
  behavior.frameApplyDelay = 0.03;
  const AXElement window = element(open(launch("X"), "x", Rect(0, 25, 400, 300), behavior));
  writeFrame(window, Rect(720, 25, 720, 875));
  EXPECT_EQ(axFrame(window), Rect(0, 25, 400, 300));
  clock->advance(0.03);
  EXPECT_EQ(axFrame(window), Rect(720, 25, 720, 875));
}

TEST_F(WindowBehaviors, ClosePressEndsTheWindowAtOnceOrLater) {
  const ProcessID pid = launch("Editor");
  const WindowID now = open(pid, "now");
  EXPECT_EQ(ax.performAction(closeButton(element(now)), "AXPress"), AXError::success);
  EXPECT_FALSE(desktop->windowExists(now));

  SimWindowBehavior lingering;
  lingering.closeResponse = SimCloseResponse::closesAfterDelay;
  lingering.closeDelay = 0.3;
  const WindowID later = open(pid, "later", Rect(0, 0, 400, 300), lingering);
  EXPECT_EQ(ax.performAction(closeButton(element(later)), "AXPress"), AXError::success);
  EXPECT_EQ(ax.performAction(closeButton(element(later)), "AXPress"), AXError::success);
  clock->advance(0.29);
  EXPECT_TRUE(desktop->windowExists(later));
  clock->advance(0.01);
  EXPECT_FALSE(desktop->windowExists(later));
  EXPECT_EQ(desktop->recorder().closeRequests(later), 2U);
}

TEST_F(WindowBehaviors, ConfirmationInsideTheWindowKeepsItOpen) {
  SimWindowBehavior behavior;
  behavior.closeResponse = SimCloseResponse::asksConfirmation;
  const WindowID number = open(launch("Editor"), "unsaved", Rect(0, 0, 400, 300), behavior);
  EXPECT_EQ(ax.performAction(closeButton(element(number)), "AXPress"), AXError::success);
  clock->runUntilIdle();
  clock->advance(5.0);
  EXPECT_TRUE(desktop->windowExists(number));
  EXPECT_TRUE(desktop->recorder().raisedWindows().empty());
}

TEST_F(WindowBehaviors, SheetBlocksTheCloseButtonUntilItGoes) {
  const ProcessID pid = launch("Editor");
  const WindowID number = open(pid, "doc");
  const AXElement window = element(number);
  const WindowID sheet = desktop->attachSheet(number, Rect(200, 120, 400, 150));
  EXPECT_EQ(readAs<std::vector<AXElement>>(window, "AXSheets"), std::vector<AXElement>{element(sheet)});
  EXPECT_EQ(readAs<std::string>(element(sheet), "AXRole"), "AXSheet");

  EXPECT_EQ(ax.performAction(closeButton(window), "AXPress"), AXError::cannotComplete);
  EXPECT_TRUE(desktop->windowExists(number));
  desktop->closeWindow(sheet);
  EXPECT_EQ(ax.performAction(closeButton(window), "AXPress"), AXError::success);
  EXPECT_FALSE(desktop->windowExists(number));

  SimWindowBehavior greyed;
  greyed.sheetBlocking = SimSheetBlocking::disablesCloseButton;
  const WindowID other = open(pid, "doc2", Rect(0, 0, 600, 400), greyed);
  EXPECT_EQ(readAs<bool>(closeButton(element(other)), "AXEnabled"), true);
  desktop->attachSheet(other, Rect(100, 50, 300, 100));
  EXPECT_EQ(readAs<bool>(closeButton(element(other)), "AXEnabled"), false);
}

TEST_F(WindowBehaviors, SheetsTravelWithTheirWindowAndDieWithIt) {
  const WindowID number = open(launch("Editor"), "doc", Rect(100, 100, 800, 600));
  const WindowID sheet = desktop->attachSheet(number, Rect(300, 122, 400, 150));
  const AXElement sheetElement = element(sheet);
  writeFrame(element(number), Rect(0, 25, 800, 600));
  EXPECT_EQ(desktop->frame(sheet), Rect(200, 47, 400, 150));
  desktop->closeWindow(number);
  EXPECT_FALSE(desktop->windowExists(sheet));
  EXPECT_EQ(read(sheetElement, "AXRole").error, AXError::invalidUIElement);
}

TEST_F(WindowBehaviors, MinimizeAndZoomButtonsDoWhatTheySay) {
  const ProcessID pid = launch("Editor");
  const WindowID number = open(pid, "doc", Rect(100, 100, 400, 300));
  const AXElement window = element(number);
  const AXElement zoom = readAs<AXElement>(window, "AXZoomButton").value();
  EXPECT_EQ(ax.performAction(zoom, "AXPress"), AXError::success);
  EXPECT_EQ(axFrame(window), Rect(0, 25, 1440, 875));  // the visible frame, flipped
  ax.performAction(zoom, "AXPress");
  EXPECT_EQ(axFrame(window), Rect(100, 100, 400, 300));

  const AXElement minimize = readAs<AXElement>(window, "AXMinimizeButton").value();
  EXPECT_EQ(ax.performAction(minimize, "AXPress"), AXError::success);
  EXPECT_EQ(readAs<bool>(window, "AXMinimized"), true);
  EXPECT_TRUE(listedNumbers().empty());
  EXPECT_EQ(read(appElement(pid), "AXFocusedWindow").error, AXError::noValue);
}

TEST_F(WindowBehaviors, NativeFullScreenCoversTheDisplayAndSwallowsWrites) {
  const WindowID number = open(launch("Video"), "v", Rect(100, 100, 400, 300));
  const AXElement window = element(number);
  desktop->setFullScreen(number, true);
  EXPECT_EQ(readAs<bool>(window, "AXFullScreen"), true);
  EXPECT_EQ(axFrame(window), Rect(0, 0, 1440, 900));
  EXPECT_EQ(writeFrame(window, Rect(0, 25, 700, 800)), std::make_pair(AXError::success, AXError::success));
  EXPECT_EQ(axFrame(window), Rect(0, 0, 1440, 900));
  desktop->setFullScreen(number, false);
  EXPECT_EQ(axFrame(window), Rect(100, 100, 400, 300));
}

}  // namespace
}  // namespace tessarapane::testing
