// What happens when the X server goes away.
#include <poll.h>

#include <cstdlib>

#include "X11Test.h"
#include "backends/x11/X11Accessibility.h"

namespace tessarapane::x11test {
namespace {

using ConnectionTest = X11Test;

// Trusted only with an EWMH window manager: ProgramTest.WithoutAWindowManagerTheGuideSaysSoUntilOneStarts.

// Kills the X client behind `connection` from another connection, as the
// server does when it goes away.
void killClientOf(X11Connection& connection, xcb_connection_t* other) {
  const xcb_window_t resource = xcb_generate_id(connection.raw());
  xcb_create_window(connection.raw(), XCB_COPY_FROM_PARENT, resource, connection.root(), 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
  connection.await<xcb_get_input_focus_reply_t>(xcb_get_input_focus(connection.raw()), connection.deadline());
  xcb_kill_client(other, resource);
  std::free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));
}

TEST_F(ConnectionTest, CallsAfterALostConnectionFailWithoutCrashing) {
  auto client = startClient({});
  ASSERT_TRUE(client);
  std::string error;
  auto doomed = makeX11Backend(session().display(), scheduler_, &error);
  ASSERT_TRUE(doomed) << error;
  std::optional<std::string> reason;
  doomed->connection->setConnectionLostHandler([&](const std::string& why) { reason = why; });

  killClientOf(*doomed->connection, probe());
  EXPECT_TRUE(waitUntil([&] { return reason.has_value(); }));

  const AXElement window = X11Accessibility::windowElement(client->pid(), client->window);
  EXPECT_EQ(doomed->platform.accessibility->copyAttributeValue(window, "AXRole").error, AXError::cannotComplete);
  EXPECT_EQ(doomed->platform.windowServer->onScreenWindowList(), std::nullopt);
  EXPECT_FALSE(doomed->platform.accessibility->isProcessTrusted());
  EXPECT_TRUE(doomed->platform.screens->screens().empty());
}

TEST(ConnectionDeathTest, ALostConnectionEndsTheProcessWithAMessage) {
  // Forked, so the child finds this process's display.
  GTEST_FLAG_SET(death_test_style, "fast");
  const auto loseTheServer = [] {
    std::string error;
    auto connection = X11Connection::open(std::nullopt, &error);
    xcb_connection_t* other = xcb_connect(nullptr, nullptr);
    if (!connection || xcb_connection_has_error(other)) std::_Exit(3);
    killClientOf(*connection, other);
    for (;;) {
      pollfd fd{connection->fileDescriptor(), POLLIN, 0};
      poll(&fd, 1, 1000);
      connection->dispatchPendingEvents();
    }
  };
  EXPECT_EXIT(loseTheServer(), ::testing::ExitedWithCode(1), "lost the connection to the X server");
}

}  // namespace
}  // namespace tessarapane::x11test
