// Screens from RandR monitors (made by `xrandr --setmonitor`), docks' struts
// and the window manager's work area, as the screens (toolkit space) and the
// window server (accessibility space) tell them.
#include "X11Test.h"
#include "backends/x11/X11Accessibility.h"
#include "windows/AXHelpers.h"

namespace tessarapane::x11test {
namespace {

class ScreensTest : public X11Test {
 protected:
  void TearDown() override {
    for (const std::string& name : made_) succeeds({"xrandr", "--delmonitor", name});
    X11Test::TearDown();
  }
  // `geometry` in xrandr's form, e.g. 720/190x900/238+0+0; a leading * makes it the primary.
  bool makeMonitor(const std::string& name, const std::string& geometry, const std::string& outputs) {
    made_.push_back(name.front() == '*' ? name.substr(1) : name);
    return succeeds({"xrandr", "--setmonitor", name, geometry, outputs});
  }
  std::vector<std::string> made_;
};

// A work area keeps edges free that no strut explains (a taskbar the window
// manager draws itself, an override-redirect one); one reaching outside the
// root is ignored. Then a primary monitor below another, with a dock each:
// every change is told, the monitor holding the primary output comes first,
// each visible frame is its monitor less its dock, toolkit space grows
// upwards from the primary's bottom edge and accessibility space starts at
// its top-left corner (for displays as for window frames), and the main
// screen is the one with the active window.
TEST_F(ScreensTest, TheWorkAreaAndTwoMonitorsWithDocksAnchorBothSpacesAtThePrimary) {
  const auto setWorkArea = [](const std::string& area) {
    return succeeds({"xprop", "-root", "-f", "_NET_WORKAREA", "32c", "-set", "_NET_WORKAREA", area});
  };
  const auto visible = [&] { return platform().screens->screens().at(0).visibleFrame; };
  ASSERT_EQ(visible(), Rect(0, 0, 1440, 900));
  ASSERT_TRUE(setWorkArea("0, 0, 1440, 875"));
  EXPECT_TRUE(waitUntil([&] { return visible() == Rect(0, 25, 1440, 875); })) << visible();
  ASSERT_TRUE(setWorkArea("0, 0, 5000, 875"));
  EXPECT_TRUE(waitUntil([&] { return visible() == Rect(0, 0, 1440, 900); })) << visible();

  int changes = 0;
  Subscription subscription = platform().screens->subscribeScreenParametersChanged([&] { ++changes; });
  ASSERT_TRUE(makeMonitor("*Bottom", "1440/381x450/119+0+450", "screen"));
  ASSERT_TRUE(makeMonitor("Top", "1440/381x450/119+0+0", "none"));
  ASSERT_TRUE(waitUntil([&] { return changes > 0 && platform().screens->screens().size() == 2; }));
  auto topDock = startClient({"--type", "dock", "--geometry", "1440x24+0+0", "--strut", "top:24"});
  ASSERT_TRUE(topDock && waitUntil([&] { return platform().screens->screens().at(1).visibleFrame.height() == 426; }));
  // The bottom dock changes the primary alone, the first of the screens.
  const int beforeBottomDock = changes;
  auto bottomDock = startClient({"--type", "dock", "--geometry", "1440x30+0+870", "--strut", "bottom:30"});
  EXPECT_TRUE(bottomDock && waitUntil([&] { return changes > beforeBottomDock; }));
  auto client = startClient({"--title", "Active", "--geometry", "400x200+100+200"});
  ASSERT_TRUE(bottomDock && client);
  ASSERT_TRUE(waitUntil([&] { return witnessActiveWindow() == client->window; }));
  settle();

  const std::vector<Screen> screens = platform().screens->screens();
  ASSERT_EQ(screens.size(), 2U);
  EXPECT_EQ(std::make_tuple(screens[0].frame, screens[0].visibleFrame, screens[1].frame, screens[1].visibleFrame),
            std::make_tuple(Rect(0, 0, 1440, 450), Rect(0, 30, 1440, 420), Rect(0, 450, 1440, 450), Rect(0, 450, 1440, 426)));
  EXPECT_TRUE(screens[0].displayID != 0 && screens[1].displayID != 0 && screens[0].displayID != screens[1].displayID);
  // The window server names the same displays, in accessibility space.
  WindowServer& server = *platform().windowServer;
  EXPECT_EQ(server.activeDisplayList(2).displays, (std::vector<DisplayID>{screens[0].displayID, screens[1].displayID}));
  EXPECT_EQ(std::make_pair(server.displayBounds(screens[0].displayID), server.displayBounds(screens[1].displayID)),
            std::make_pair(Rect(0, 0, 1440, 450), Rect(0, -450, 1440, 450)));
  EXPECT_TRUE(server.displayBounds(12345).isNull());
  EXPECT_TRUE(waitUntil([&] {
    const auto main = platform().screens->mainScreen();
    return main && main->displayID == screens[1].displayID;
  }));

  const AXElement window = X11Accessibility::windowElement(client->pid(), client->window);
  Accessibility& ax = *platform().accessibility;
  const auto frame = AXHelpers::frame(ax, window);
  const auto witnessed = witnessFrame(client->window);
  ASSERT_TRUE(frame && witnessed);
  EXPECT_EQ(*frame, Rect(witnessed->x(), witnessed->y() - 450, witnessed->width(), witnessed->height()));
  ASSERT_EQ(ax.setAttributeValue(window, "AXPosition", Point{30, -400}), AXError::success);
  EXPECT_TRUE(waitUntil([&] { return witnessFrame(client->window)->origin == Point{30, 50}; }));
}

}  // namespace
}  // namespace tessarapane::x11test
