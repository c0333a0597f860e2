// The program on scaled displays: Qt works in scaled units there, the
// panels must still cover the X pixels their rules give.
#include <fstream>

#include "ProgramTest.h"

namespace tessarapane::x11test {
namespace {

// At 100 %, 125 % and 200 % the tab strips of split2 keep their size in
// points and take exactly their rules' rectangles in pixels, a click on a tab selects it, every grid divider handle
// sits over a gap between tiles and follows the pointer.
TEST_F(ProgramTest, PanelsCoverTheirXPixelsAtEveryScale) {
  std::vector<std::unique_ptr<TestClient>> clients;
  for (int i = 0; i < 3; ++i) {
    clients.push_back(startClient({"--title", "client " + std::to_string(i), "--geometry", "300x200+100+100"}));
    ASSERT_TRUE(clients.back());
  }
  for (const int dpi : {96, 120, 192}) {
    SCOPED_TRACE("Xft.dpi " + std::to_string(dpi));
    const double scale = dpi / 96.0;
    const std::string resources = home_ + "/resources";
    std::ofstream(resources) << "Xft.dpi: " << dpi << "\n";
    ASSERT_EQ(Subprocess::run({"xrdb", "-display", session().display(), "-merge", resources}, 5.0)->status, 0);
    ASSERT_FALSE(startTessarapane().is_null());

    ASSERT_EQ(ctl({"start", "split2"}).status, 0);
    json current = waitForState(
        [](const json& s) { return s.at("panes").size() == 2 && s.at("panes")[0].at("windows").size() == 2; });
    ASSERT_EQ(current.at("panes").size(), 2u) << current.dump();
    std::vector<Rect> strips;
    for (const int pane : {0, 1}) {
      const Rect strip = tabBar(current, pane, scale).layout.panelFrame;
      // Windows cover whole pixels: the edges round.
      const auto edge = [](double value) { return static_cast<double>(std::lround(value)); };
      strips.emplace_back(edge(strip.x()), edge(strip.y()), edge(strip.maxX()) - edge(strip.x()),
                          edge(strip.maxY()) - edge(strip.y()));
    }
    std::vector<Rect> seen;
    waitUntil([&] { return (seen = panelFramesTitled("Tessarapane tab strip")) == strips; }, kSettleTimeout);
    EXPECT_EQ(seen, strips);

    const json& pane = current.at("panes")[0];
    const xcb_window_t other = windowsOf(pane).at(pane.at("selected") == pane.at("windows")[0].at("id") ? 1 : 0);
    const Point select = tabTargets(current, 0, other, scale).select;
    // A synced move to where the pointer already is never ends.
    ASSERT_TRUE(xdotool({"mousemove", "0", std::to_string(dpi)}));
    ASSERT_TRUE(click(select.x, select.y));
    current = waitForState([&](const json& s) { return s.at("panes")[0].at("selected") == other; });
    EXPECT_EQ(current.at("panes")[0].at("selected"), other) << "the click at " << select.x << "," << select.y;

    ASSERT_EQ(ctl({"grid"}).status, 0);
    current = waitForState([](const json& s) { return s.at("layout") == "grid" && s.at("tiles").size() == 3; });
    ASSERT_EQ(current.at("tiles").size(), 3u) << current.dump();
    std::vector<Rect> tiles, handles;
    for (const json& tile : current.at("tiles")) tiles.push_back(rectOf(tile.at("frame")));
    // Each handle's middle lies between tiles, inside the area they span.
    const auto overGaps = [&] {
      handles = panelFramesTitled("Tessarapane grid divider");
      if (handles.size() != tiles.size() - 1) return false;
      Rect span = tiles.front();
      for (const Rect& tile : tiles) span = span.unionWith(tile);
      return std::all_of(handles.begin(), handles.end(), [&](const Rect& handle) {
        const Point middle{handle.midX(), handle.midY()};
        return span.contains(middle) &&
               std::none_of(tiles.begin(), tiles.end(), [&](const Rect& tile) { return tile.contains(middle); });
      });
    };
    ASSERT_TRUE(waitUntil(overGaps, kSettleTimeout))
        << ::testing::PrintToString(handles) << " between " << ::testing::PrintToString(tiles);

    // Dragging the upright divider 100 pixels right: the left tile reaches to
    // where the pointer lets go, so the pointer came back in X pixels.
    const auto upright = std::find_if(handles.begin(), handles.end(), [](const Rect& h) { return h.height() > h.width(); });
    ASSERT_NE(upright, handles.end());
    const std::string y = std::to_string(std::lround(upright->midY()));
    ASSERT_TRUE(xdotool({"mousemove", "--sync", std::to_string(std::lround(upright->midX())), y, "mousedown", "1",
                         "mousemove", "--sync", std::to_string(std::lround(upright->midX()) + 100), y, "mouseup", "1"}));
    const auto leftWidth = [](const json& s) {
      for (const json& tile : s.at("tiles")) {
        if (tile.at("frame").at("x") == 0) return tile.at("frame").at("width").get<double>();
      }
      return 0.0;
    };
    const double widened = static_cast<double>(std::lround(upright->midX()) + 100);
    current = waitForState([&](const json& s) { return std::fabs(leftWidth(s) - widened) <= 2; });
    EXPECT_NEAR(leftWidth(current), widened, 2) << current.dump();

    program_->terminate();
    program_.reset();
  }
}

}  // namespace
}  // namespace tessarapane::x11test
