// A client that stopped answering (SIGSTOP) never holds up the backend:
// every request about its windows goes to the X server or the window
// manager, never to the client itself.
#include <signal.h>

#include "X11Test.h"
#include "backends/x11/X11Accessibility.h"
#include "windows/AXHelpers.h"
#include "windows/WindowController.h"
#include "windows/WindowIndexer.h"

namespace tessarapane::x11test {
namespace {

// Far above what a local X server needs, far below a hang.
constexpr double kPromptly = 2.0;

class StoppedClientTest : public X11Test {
 protected:
  // Seconds the call took.
  template <class Call>
  double timed(Call call) {
    const double start = monotonicNow();
    call();
    return monotonicNow() - start;
  }
};

TEST_F(StoppedClientTest, CallsAboutAStoppedClientReturnPromptly) {
  auto stopped = startClient({"--title", "Stopped", "--geometry", "400x300+100+100"});
  auto other = startClient({"--title", "Other", "--geometry", "400x300+600+100"});
  ASSERT_TRUE(stopped && other);
  settle();
  stopped->process.signal(SIGSTOP);

  WindowIndexer indexer(platform());
  WindowController controller(platform());
  std::vector<ManagedWindow> windows;
  EXPECT_LT(timed([&] { windows = indexer.currentSpaceWindows(); }), kPromptly);
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
