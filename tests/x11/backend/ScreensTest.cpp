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
    return succeeds(argv);
  }
  // `geometry` in xrandr's form, e.g. 720/190x900/238+0+0.
  bool makeMonitor(const std::string& name, const std::string& geometry, const std::string& outputs) {
    made_.push_back(name.front() == '*' ? name.substr(1) : name);
    return xrandr({"--setmonitor", name, geometry, outputs});
  }
  std::vector<std::string> made_;
};

// Two monitors side by side with docks: CoordinatorX11Test.TwoMonitorsWithDocksAndALayoutOnTheChosenMonitorsVisibleFrame.
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
    return succeeds({"xprop", "-root", "-f", "_NET_WORKAREA", "32c", "-set", "_NET_WORKAREA", area});
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
