// Screens from RandR monitors, docks' struts, the window manager's work area
// and the primary monitor's place, with monitors made by `xrandr --setmonitor`.
#include "X11Test.h"
#include "backends/x11/X11Accessibility.h"
#include "windows/AXHelpers.h"

namespace tessarapane::x11test {
namespace {

class ScreensTest : public X11Test {
 protected:
  void TearDown() override {
    for (const std::string& name : made_) xrandr({"--delmonitor", name});
    X11Test::TearDown();
  }
  bool xrandr(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{"xrandr"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const auto result = Subprocess::run(argv, 5.0);
    return result && result->status == 0;
  }
  // `geometry` in xrandr's form, e.g. 720/190x900/238+0+0.
  bool makeMonitor(const std::string& name, const std::string& geometry, const std::string& outputs) {
    made_.push_back(name.front() == '*' ? name.substr(1) : name);
    return xrandr({"--setmonitor", name, geometry, outputs});
  }
  std::vector<std::string> made_;
};

TEST_F(ScreensTest, TwoMonitorsWithDocksInToolkitSpace) {
  int changes = 0;
  Subscription subscription = platform().screens->subscribeScreenParametersChanged([&] { ++changes; });
  ASSERT_TRUE(makeMonitor("Left", "720/190x900/238+0+0", "screen"));
  ASSERT_TRUE(makeMonitor("Right", "720/190x900/238+720+0", "none"));
  EXPECT_TRUE(waitUntil([&] { return changes > 0 && platform().screens->screens().size() == 2; }));

  auto topDock = startClient({"--type", "dock", "--geometry", "720x24+0+0", "--strut", "top:24"});
  auto bottomDock = startClient({"--type", "dock", "--geometry", "720x30+720+870", "--strut", "bottom:30"});
  ASSERT_TRUE(topDock && bottomDock);
  settle();

  const std::vector<Screen> screens = platform().screens->screens();
  ASSERT_EQ(screens.size(), 2U);
  // The monitor holding the primary output comes first.
  EXPECT_EQ(screens[0].frame, Rect(0, 0, 720, 900));
  EXPECT_EQ(screens[0].visibleFrame, Rect(0, 0, 720, 876));
  EXPECT_EQ(screens[1].frame, Rect(720, 0, 720, 900));
  EXPECT_EQ(screens[1].visibleFrame, Rect(720, 30, 720, 870));
  EXPECT_NE(screens[0].displayID, 0U);
  EXPECT_NE(screens[1].displayID, 0U);
  EXPECT_NE(screens[0].displayID, screens[1].displayID);

  // The window server names the same displays, in accessibility space.
  WindowServer& server = *platform().windowServer;
  const auto listed = server.activeDisplayList(2);
  ASSERT_EQ(listed.displays.size(), 2U);
  EXPECT_EQ(listed.displays[0], screens[0].displayID);
  EXPECT_EQ(server.displayBounds(screens[1].displayID), Rect(720, 0, 720, 900));

  // The main screen is the one with the active window.
  auto client = startClient({"--geometry", "300x200+900+300"});
  ASSERT_TRUE(client);
  EXPECT_TRUE(waitUntil([&] {
    const auto main = platform().screens->mainScreen();
    return main && main->displayID == screens[1].displayID;
  }));
}

TEST_F(ScreensTest, APrimaryMonitorBelowTheOtherAnchorsBothSpaces) {
  ASSERT_TRUE(makeMonitor("*Bottom", "1440/381x450/119+0+450", "screen"));
  ASSERT_TRUE(makeMonitor("Top", "1440/381x450/119+0+0", "none"));
  ASSERT_TRUE(waitUntil([&] { return platform().screens->screens().size() == 2; }));

  const std::vector<Screen> screens = platform().screens->screens();
  ASSERT_EQ(screens.size(), 2U);
  EXPECT_EQ(screens[0].frame, Rect(0, 0, 1440, 450));
  // Above the primary: y grows upwards in toolkit space.
  EXPECT_EQ(screens[1].frame, Rect(0, 450, 1440, 450));
  EXPECT_EQ(platform().windowServer->displayBounds(screens[1].displayID), Rect(0, -450, 1440, 450));

  // Accessibility space starts at the primary's top-left corner, for window
  // frames as for displays.
  auto client = startClient({"--geometry", "400x200+100+600"});
  ASSERT_TRUE(client);
  settle();
  const AXElement window = X11Accessibility::windowElement(client->pid(), client->window);
  Accessibility& ax = *platform().accessibility;
  const auto frame = AXHelpers::frame(ax, window);
  const auto witnessed = witnessFrame(client->window);
  ASSERT_TRUE(frame && witnessed);
  EXPECT_EQ(*frame, Rect(witnessed->x(), witnessed->y() - 450, witnessed->width(), witnessed->height()));

  ASSERT_EQ(ax.setAttributeValue(window, "AXPosition", Point{30, -400}), AXError::success);
  EXPECT_TRUE(waitUntil([&] { return witnessFrame(client->window)->origin == Point{30, 50}; }));
}

// A taskbar the window manager draws itself (or an override-redirect one)
// has no strut: the work area it publishes keeps that edge free. A work area
// reaching outside the root is ignored.
TEST_F(ScreensTest, TheWorkAreaKeepsEdgesFreeThatNoStrutExplains) {
  const auto setWorkArea = [](const std::string& area) {
    const auto set = Subprocess::run({"xprop", "-root", "-f", "_NET_WORKAREA", "32c", "-set", "_NET_WORKAREA", area}, 5.0);
    return set && set->status == 0;
  };
  const auto visible = [&] { return platform().screens->screens().at(0).visibleFrame; };
  ASSERT_EQ(visible(), Rect(0, 0, 1440, 900));
  ASSERT_TRUE(setWorkArea("0, 0, 1440, 875"));
  EXPECT_TRUE(waitUntil([&] { return visible() == Rect(0, 25, 1440, 875); })) << visible();
  ASSERT_TRUE(setWorkArea("0, 0, 5000, 875"));
  EXPECT_TRUE(waitUntil([&] { return visible() == Rect(0, 0, 1440, 900); })) << visible();
}

}  // namespace
}  // namespace tessarapane::x11test
