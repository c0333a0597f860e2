// The window controller moving, raising, focusing and closing real windows.
#include <signal.h>

#include <algorithm>
#include <map>

#include "X11Test.h"
#include "backends/x11/X11Accessibility.h"
#include "layout/PaneFrameFit.h"
#include "windows/AXHelpers.h"
#include "windows/ScreenIdentity.h"
#include "windows/WindowController.h"
#include "windows/WindowIndexer.h"

namespace tessarapane::x11test {
namespace {

// Far above what a local X server needs, far below a hang.
constexpr double kPromptly = 2.0;

class ControllerTest : public X11Test {
 protected:
  ManagedWindow managed(xcb_window_t window) {
    WindowIndexer indexer(platform());
    for (const ManagedWindow& candidate : indexer.currentSpaceWindows()) {
      if (candidate.windowID == window) return candidate;
    }
    ADD_FAILURE() << "window " << window << " is not manageable";
    return {};
  }
  std::optional<Rect> frameOf(const ManagedWindow& window) {
    return AXHelpers::frame(*platform().accessibility, window.element);
  }
  // Waits for the backend to read `target` back, then asks the witness.
  void expectLandsExactly(const ManagedWindow& window, const Rect& target) {
    EXPECT_TRUE(waitUntil([&] { return frameOf(window) == target; })) << "backend reads " << *frameOf(window);
    EXPECT_EQ(witnessFrame(window.windowID), std::optional<Rect>(target));
  }
};

// Outer frames in both spaces, a window sizing itself in cells, maximised
// windows and a fixed-size one.
TEST_F(ControllerTest, MovesWindowsToTheirOuterFrames) {
  auto client = startClient({"--geometry", "400x300+100+100"});
  const xcb_window_t terminal = xterm("80x24+500+300");
  ASSERT_TRUE(client && terminal);
  settle();
  WindowController controller(platform());

  const ManagedWindow window = managed(client->window);
  const Rect target(300, 200, 640, 480);
  EXPECT_TRUE(controller.setAccessibilityFrame(target, window));
  expectLandsExactly(window, target);

  // The same through toolkit space (y up from the primary's bottom edge).
  const Rect toolkit(20, 100, 700, 500);
  EXPECT_TRUE(controller.setAppKitFrameIfNeeded(toolkit, window));
  expectLandsExactly(window, ScreenIdentity::convertFrame(toolkit, *platform().screens));

  // xterm sizes itself in character cells: it snaps down by less than one
  // cell, inside the frame-fit tolerance.
  const ManagedWindow cells = managed(terminal);
  const Rect cellTarget(50, 60, 701, 503);
  EXPECT_TRUE(controller.setAccessibilityFrame(cellTarget, cells));
  ASSERT_TRUE(waitUntil([&] {
    const auto frame = frameOf(cells);
    return frame && frame->origin.x == cellTarget.x() && frame->origin.y == cellTarget.y() &&
           frame->width() != 0 && std::abs(frame->width() - cellTarget.width()) < 40;
  }));
  settle();
  const auto landed = witnessFrame(terminal);
  ASSERT_TRUE(landed);
  EXPECT_EQ(landed->origin, cellTarget.origin);
  EXPECT_TRUE(PaneFrameFit::matches(*landed, cellTarget)) << *landed;
  EXPECT_LE(landed->width(), cellTarget.width());
  EXPECT_LE(landed->height(), cellTarget.height());

  // Maximised windows are restored by the writes themselves.
  auto full = startClient({"--geometry", "400x300+100+100"});
  auto tall = startClient({"--geometry", "400x300+600+100"});
  ASSERT_TRUE(full && tall);
  Accessibility& ax = *platform().accessibility;
  const ManagedWindow fullWindow = managed(full->window);
  const ManagedWindow tallWindow = managed(tall->window);
  const AXCopyResult zoom = ax.copyAttributeValue(fullWindow.element, "AXZoomButton");
  ASSERT_EQ(zoom.error, AXError::success);
  ASSERT_EQ(ax.performAction(std::get<AXElement>(*zoom.value), "AXPress"), AXError::success);
  ASSERT_TRUE(succeeds({"wmctrl", "-i", "-r", std::to_string(tall->window), "-b", "add,maximized_vert"}));
  ASSERT_TRUE(waitUntil([&] {
    const auto a = frameOf(fullWindow);
    const auto b = frameOf(tallWindow);
    return a && a->width() == 1440 && b && b->height() == 900;
  }));

  // A window maximised both ways fills the display, which the controller
  // takes for full screen; the accessibility writes themselves restore it.
  const Rect fullTarget(200, 150, 500, 400);
  EXPECT_EQ(ax.setAttributeValue(fullWindow.element, "AXPosition", fullTarget.origin), AXError::success);
  EXPECT_EQ(ax.setAttributeValue(fullWindow.element, "AXSize", fullTarget.size), AXError::success);
  expectLandsExactly(fullWindow, fullTarget);

  const Rect tallTarget(700, 200, 450, 350);
  EXPECT_TRUE(controller.setAccessibilityFrame(tallTarget, tallWindow));
  expectLandsExactly(tallWindow, tallTarget);

  // A fixed-size window moves but keeps its size.
  auto fixed = startClient({"--geometry", "300x200+100+100", "--fixed-size"});
  ASSERT_TRUE(fixed);
  const ManagedWindow fixedWindow = managed(fixed->window);
  EXPECT_EQ(ax.isAttributeSettable(fixedWindow.element, "AXSize").settable, false);
  EXPECT_EQ(ax.isAttributeSettable(fixedWindow.element, "AXPosition").settable, true);
  const auto before = frameOf(fixedWindow);
  ASSERT_TRUE(before);
  // The size write is refused, so the whole frame write reports failure.
  EXPECT_FALSE(controller.setAccessibilityFrame(Rect(400, 300, 600, 500), fixedWindow));
  expectLandsExactly(fixedWindow, Rect(Point{400, 300}, before->size));
}

TEST_F(ControllerTest, RaisesAndFocusesWindows) {
  auto lower = startClient({"--title", "Lower", "--geometry", "400x300+100+100"});
  auto upper = startClient({"--title", "Upper", "--geometry", "400x300+200+150"});
  ASSERT_TRUE(lower && upper);
  // The later window is mapped on top with the focus.
  ASSERT_TRUE(waitUntil([&] { return witnessActiveWindow() == upper->window; }));
  WindowController controller(platform());
  const std::vector<ManagedWindow> windows{managed(lower->window), managed(upper->window)};
  // "AXRaise" restacks without focusing; windows cannot be pressed.
  Accessibility& ax = *platform().accessibility;
  const auto onTop = [&](const std::unique_ptr<TestClient>& client) {
    return waitUntil([&] { return !witnessStacking().empty() && witnessStacking().back() == client->window; });
  };
  ASSERT_EQ(ax.performAction(windows[0].element, "AXRaise"), AXError::success);
  EXPECT_TRUE(onTop(lower));
  settle();
  EXPECT_EQ(witnessActiveWindow(), upper->window);
  EXPECT_EQ(ax.performAction(windows[0].element, "AXPress"), AXError::actionUnsupported);
  ASSERT_EQ(ax.performAction(windows[1].element, "AXRaise"), AXError::success);
  ASSERT_TRUE(onTop(upper));
  ASSERT_TRUE(waitUntil([&] {
    const auto focused = controller.focusedManagedWindow(windows);
    return focused && focused->windowID == upper->window;
  }));

  EXPECT_TRUE(controller.raise(windows[0], controller.onScreenWindowIDs()));
  EXPECT_TRUE(waitUntil([&] { return witnessActiveWindow() == lower->window; }));
  EXPECT_TRUE(onTop(lower));
  EXPECT_TRUE(waitUntil([&] {
    const auto focused = controller.focusedManagedWindow(windows);
    return focused && focused->windowID == lower->window;
  }));

  // A window missing from the given on-screen set is left where it is.
  EXPECT_FALSE(controller.raise(windows[1], WindowIDSet{lower->window}));
}

// Close results on real clients; a client that stopped answering (SIGSTOP)
// never holds up the backend: every request about its windows goes to the X
// server or the window manager, never to the client itself.
TEST_F(ControllerTest, CloseResultsOnRealClientsAndAStoppedOneHoldsNothingUp) {
  auto plain = startClient({"--title", "Plain"});
  auto stubborn = startClient({"--title", "Stubborn", "--ignore-close"});
  auto blocked = startClient({"--title", "Blocked"});
  auto noDelete = startClient({"--title", "No delete", "--no-delete-window"});
  ASSERT_TRUE(plain && stubborn && blocked && noDelete);
  ASSERT_TRUE(blocked->openDialog());
  settle();

  WindowController controller(platform());
  std::map<xcb_window_t, WindowCloseResult> results;
  std::vector<WindowCloseOperation> operations;
  for (const TestClient* client : {plain.get(), stubborn.get(), blocked.get(), noDelete.get()}) {
    const xcb_window_t id = client->window;
    operations.push_back(controller.close(managed(id), [&results, id](WindowCloseResult r) { results[id] = r; }));
  }
  ASSERT_TRUE(waitUntil([&] { return results.size() == 4; }, 10.0));

  EXPECT_EQ(results, (std::map<xcb_window_t, WindowCloseResult>{{plain->window, WindowCloseResult::closed},
                                                                  {stubborn->window, WindowCloseResult::requested},
                                                                  {blocked->window, WindowCloseResult::blockedByDialog},
                                                                  {noDelete->window, WindowCloseResult::noCloseControl}}));
  EXPECT_EQ(plain->process.wait(5.0), 0) << "the client must leave by itself, not be killed";
  EXPECT_TRUE(plain->process.waitForLine("close-requested", 5.0).has_value());
  EXPECT_TRUE(stubborn->process.waitForLine("close-requested", 5.0).has_value());
  // The last two were neither asked nor killed.
  EXPECT_TRUE(stubborn->process.isRunning() && blocked->process.isRunning() && noDelete->process.isRunning());
  EXPECT_TRUE(blocked->command("title still here"));
  const auto& said = blocked->process.history();
  EXPECT_EQ(std::count(said.begin(), said.end(), "close-requested"), 0) << "the blocked window got a close request";

  auto stopped = startClient({"--title", "Stopped", "--geometry", "400x300+100+100"});
  ASSERT_TRUE(stopped);
  settle();
  stopped->process.signal(SIGSTOP);
  std::vector<ManagedWindow> windows;
  EXPECT_LT(timed([&] { windows = WindowIndexer(platform()).currentSpaceWindows(); }), kPromptly);
  const auto window = std::find_if(windows.begin(), windows.end(),
                                   [&](const ManagedWindow& w) { return w.windowID == stopped->window; });
  ASSERT_NE(window, windows.end());
  EXPECT_LT(timed([&] { EXPECT_TRUE(controller.setAccessibilityFrame(Rect(150, 120, 500, 350), *window)); }),
            kPromptly);
  EXPECT_LT(timed([&] { EXPECT_TRUE(controller.raise(*window, controller.onScreenWindowIDs())); }), kPromptly);
  // The window manager focuses it without asking the client.
  ASSERT_TRUE(waitUntil([&] { return witnessActiveWindow() == stopped->window; }));
  std::optional<ManagedWindow> focused;
  EXPECT_LT(timed([&] { focused = controller.focusedManagedWindow(windows); }), kPromptly);
  ASSERT_TRUE(focused);
  EXPECT_EQ(focused->windowID, stopped->window);
  // The window manager moves the frame of a client that does not answer.
  EXPECT_TRUE(waitUntil([&] { return witnessFrame(stopped->window) == Rect(150, 120, 500, 350); }));

  // Asking it to close is a request the stopped client cannot answer: the
  // close ends with "requested" after its confirmation period, and the main
  // loop kept turning meanwhile.
  std::optional<WindowCloseResult> result;
  int turns = 0;
  auto ticker = scheduler_->scheduleRepeating(0.05, [&] { ++turns; });
  auto operation = controller.close(*window, [&](WindowCloseResult r) { result = r; });
  EXPECT_TRUE(waitUntil([&] { return result.has_value(); }, 5.0));
  EXPECT_EQ(result, WindowCloseResult::requested);
  EXPECT_GE(turns, 5);
  // Once it runs again it hears the request and leaves on its own.
  stopped->process.signal(SIGCONT);
  EXPECT_TRUE(stopped->process.waitForLine("close-requested", 5.0).has_value());
  EXPECT_EQ(stopped->process.wait(5.0), 0);
}

}  // namespace
}  // namespace tessarapane::x11test
