// The window controller moving, raising, focusing and closing real windows.
#include <signal.h>

#include <algorithm>
#include <map>

#include "X11Test.h"
#include "backends/x11/X11Accessibility.h"
#include "layout/PaneFrameFit.h"
#include "windows/AXHelpers.h"
#include "windows/WindowController.h"
#include "windows/WindowIndexer.h"

namespace tessarapane::x11test {
namespace {

// Far above what a local X server needs, far below a hang.
constexpr double kPromptly = 2.0;

class ControllerTest : public X11Test {
 protected:
  ManagedWindow managed(xcb_window_t window) {
    for (const ManagedWindow& candidate : WindowIndexer(platform()).currentSpaceWindows()) {
      if (candidate.windowID == window) return candidate;
    }
    ADD_FAILURE() << "window " << window << " is not manageable";
    return {};
  }
  std::optional<Rect> frameOf(const ManagedWindow& window) { return AXHelpers::frame(ax(), window.element); }
  Accessibility& ax() { return *platform().accessibility; }
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

  // xterm sizes itself in character cells: it snaps down by less than one
  // cell, inside the frame-fit tolerance.
  const ManagedWindow cells = managed(terminal);
  const Rect cellTarget(50, 60, 701, 503);
  EXPECT_TRUE(controller.setAccessibilityFrame(cellTarget, cells));
  ASSERT_TRUE(waitUntil([&] {
    const auto frame = frameOf(cells);
    return frame && frame->origin == cellTarget.origin && frame->width() != 0 && std::abs(frame->width() - cellTarget.width()) < 40;
  }));
  settle();
  const auto landed = witnessFrame(terminal);
  ASSERT_TRUE(landed);
  EXPECT_EQ(landed->origin, cellTarget.origin);
  EXPECT_TRUE(PaneFrameFit::matches(*landed, cellTarget) && landed->width() <= cellTarget.width() &&
              landed->height() <= cellTarget.height()) << *landed;

  // Maximised windows are restored by the writes themselves.
  auto full = startClient({"--geometry", "400x300+100+100"});
  auto tall = startClient({"--geometry", "400x300+600+100"});
  ASSERT_TRUE(full && tall);
  const ManagedWindow fullWindow = managed(full->window);
  const ManagedWindow tallWindow = managed(tall->window);
  const AXCopyResult zoom = ax().copyAttributeValue(fullWindow.element, "AXZoomButton");
  ASSERT_EQ(zoom.error, AXError::success);
  ASSERT_EQ(ax().performAction(std::get<AXElement>(*zoom.value), "AXPress"), AXError::success);
  ASSERT_TRUE(succeeds({"wmctrl", "-i", "-r", std::to_string(tall->window), "-b", "add,maximized_vert"}));
  ASSERT_TRUE(waitUntil([&] {
    const auto a = frameOf(fullWindow), b = frameOf(tallWindow);
    return a && a->width() == 1440 && b && b->height() == 900;
  }));
  // A window maximised both ways fills the display, which the controller
  // takes for full screen; the accessibility writes themselves restore it.
  const Rect fullTarget(200, 150, 500, 400);
  EXPECT_EQ(ax().setAttributeValue(fullWindow.element, "AXPosition", fullTarget.origin), AXError::success);
  EXPECT_EQ(ax().setAttributeValue(fullWindow.element, "AXSize", fullTarget.size), AXError::success);
  expectLandsExactly(fullWindow, fullTarget);
  const Rect tallTarget(700, 200, 450, 350);
  EXPECT_TRUE(controller.setAccessibilityFrame(tallTarget, tallWindow));
  expectLandsExactly(tallWindow, tallTarget);

  // A fixed-size window moves but keeps its size; the size write is
  // refused, so the whole frame write reports failure.
  auto fixed = startClient({"--geometry", "300x200+100+100", "--fixed-size"});
  ASSERT_TRUE(fixed);
  const ManagedWindow fixedWindow = managed(fixed->window);
  EXPECT_EQ(std::make_pair(ax().isAttributeSettable(fixedWindow.element, "AXSize").settable,
                           ax().isAttributeSettable(fixedWindow.element, "AXPosition").settable),
            std::make_pair(false, true));
  const auto before = frameOf(fixedWindow);
  ASSERT_TRUE(before);
  EXPECT_FALSE(controller.setAccessibilityFrame(Rect(400, 300, 600, 500), fixedWindow));
  expectLandsExactly(fixedWindow, Rect(Point{400, 300}, before->size));
}

// Close results on real clients; a client that stopped answering (SIGSTOP)
// never holds up the backend: every request about its windows goes to the X
// server or the window manager, never to the client itself.
TEST_F(ControllerTest, CloseResultsOnRealClientsAndAStoppedOneHoldsNothingUp) {
  auto plain = startClient({"--title", "Plain"});
  auto stubborn = startClient({"--title", "Stubborn", "--ignore-close"});
  auto blocked = startClient({"--title", "Blocked"});
  auto noDelete = startClient({"--title", "No delete", "--no-delete-window"});
  ASSERT_TRUE(plain && stubborn && blocked && noDelete && blocked->openDialog());
  settle();
  WindowController controller(platform());
  std::map<xcb_window_t, WindowCloseResult> results;
  std::vector<WindowCloseOperation> operations;
  for (const TestClient* client : {plain.get(), stubborn.get(), blocked.get(), noDelete.get()}) {
    const xcb_window_t id = client->window;
    operations.push_back(controller.close(managed(id), [&results, id](WindowCloseResult r) { results[id] = r; }));
  }
  ASSERT_TRUE(waitUntil([&] { return results.size() == 4; }));
  EXPECT_EQ(results, (std::map<xcb_window_t, WindowCloseResult>{{plain->window, WindowCloseResult::closed},
                                                                  {stubborn->window, WindowCloseResult::requested},
                                                                  {blocked->window, WindowCloseResult::blockedByDialog},
                                                                  {noDelete->window, WindowCloseResult::noCloseControl}}));
  EXPECT_EQ(plain->process.wait(5.0), 0) << "the client must leave by itself, not be killed";
  EXPECT_TRUE(plain->process.waitForLine("close-requested", 5.0) && stubborn->process.waitForLine("close-requested", 5.0));
  // The last two were neither asked nor killed.
  EXPECT_TRUE(stubborn->process.isRunning() && blocked->process.isRunning() && noDelete->process.isRunning());
  EXPECT_TRUE(blocked->command("title still here"));
  EXPECT_EQ(std::ranges::count(blocked->process.history(), "close-requested"), 0) << "the blocked window got a close request";

  auto stopped = startClient({"--title", "Stopped", "--geometry", "400x300+100+100"});
  ASSERT_TRUE(stopped && xdotool({"windowactivate", "--sync", std::to_string(noDelete->window)}));
  ASSERT_TRUE(waitUntil([&] { return witnessActiveWindow() == noDelete->window; }));
  stopped->process.signal(SIGSTOP);
  std::vector<ManagedWindow> windows;
  EXPECT_LT(timed([&] { windows = WindowIndexer(platform()).currentSpaceWindows(); }), kPromptly);
  const auto window = std::ranges::find(windows, stopped->window, &ManagedWindow::windowID);
  ASSERT_NE(window, windows.end());
  EXPECT_LT(timed([&] { EXPECT_TRUE(controller.setAccessibilityFrame(Rect(150, 120, 500, 350), *window)); }), kPromptly);
  // "AXRaise" restacks without focusing (windows cannot be pressed); the
  // controller's raise also focuses. The window manager restacks, focuses
  // and moves the frame without asking the client.
  ASSERT_EQ(ax().performAction(window->element, "AXRaise"), AXError::success);
  EXPECT_TRUE(waitUntil([&] { return !witnessStacking().empty() && witnessStacking().back() == stopped->window; }));
  settle();
  EXPECT_EQ(witnessActiveWindow(), noDelete->window);
  EXPECT_EQ(ax().performAction(window->element, "AXPress"), AXError::actionUnsupported);
  EXPECT_LT(timed([&] { EXPECT_TRUE(controller.raise(*window, controller.onScreenWindowIDs())); }), kPromptly);
  ASSERT_TRUE(waitUntil([&] { return witnessActiveWindow() == stopped->window; }));
  std::optional<ManagedWindow> focused;
  EXPECT_LT(timed([&] { focused = controller.focusedManagedWindow(windows); }), kPromptly);
  EXPECT_TRUE(focused && focused->windowID == stopped->window);
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
