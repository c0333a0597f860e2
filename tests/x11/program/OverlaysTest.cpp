// The program's overlays (tab strips, grid dividers, the drag preview) on
// scaled displays, where Qt works in scaled units yet the panels must cover
// the X pixels their rules give; at 100 % also what the screen shows through
// them without a compositing manager, then with one started and stopped.
#include <array>
#include <fstream>

#include "ProgramTest.h"

namespace tessarapane::x11test {
namespace {

using Colour = std::array<int, 3>;

constexpr Colour kDesktop{0x30, 0x70, 0xb0};

// At 100 %, 125 % and 200 % the tab strips of split2 keep their size in
// points and take exactly their rules' rectangles in pixels, a click on a tab
// selects it, every grid divider handle sits over a gap between tiles and
// follows the pointer. Strips and handles take clicks only where they draw;
// the desktop shows through the rest, and when a compositing manager runs
// they blend instead. (That they bypass the window manager and stay above
// every window is the window-manager story's, on three managers.)
TEST_F(ProgramTest, OverlaysCoverTheirXPixelsAtEveryScaleAndShowTheDesktopThroughTheirClearParts) {
  {
    // The desktop's colour as a wallpaper setter leaves it: a compositing
    // manager paints the desktop from the pixmap in _XROOTPMAP_ID.
    const xcb_pixmap_t wallpaper = xcb_generate_id(probe());
    xcb_create_pixmap(probe(), 24, wallpaper, root(), 8, 8);
    const xcb_gcontext_t paint = xcb_generate_id(probe());
    const std::uint32_t colour = (kDesktop[0] << 16) | (kDesktop[1] << 8) | kDesktop[2];
    xcb_create_gc(probe(), paint, wallpaper, XCB_GC_FOREGROUND, &colour);
    const xcb_rectangle_t all{0, 0, 8, 8};
    xcb_poly_fill_rectangle(probe(), wallpaper, paint, 1, &all);
    xcb_change_window_attributes(probe(), root(), XCB_CW_BACK_PIXMAP, &wallpaper);
    xcb_clear_area(probe(), 0, root(), 0, 0, 0, 0);
    xcb_change_property(probe(), XCB_PROP_MODE_REPLACE, root(), probeAtom("_XROOTPMAP_ID"), XCB_ATOM_PIXMAP, 32, 1,
                        &wallpaper);
    xcb_flush(probe());
  }
  // One pixel of the screen as it is shown.
  const auto pixel = [&](double x, double y) {
    xcb_get_image_reply_t* image = xcb_get_image_reply(
        probe(), xcb_get_image(probe(), XCB_IMAGE_FORMAT_Z_PIXMAP, root(), static_cast<std::int16_t>(x),
                               static_cast<std::int16_t>(y), 1, 1, ~0u),
        nullptr);
    Colour colour{-1, -1, -1};
    if (image && xcb_get_image_data_length(image) >= 3) {
      const std::uint8_t* bgr = xcb_get_image_data(image);
      colour = {bgr[2], bgr[1], bgr[0]};
    }
    std::free(image);
    return colour;
  };
  const auto clients = startClients("client", 3, 100, 60);
  ASSERT_EQ(clients.size(), 3u);
  for (const int dpi : {96, 120, 192}) {
    SCOPED_TRACE("Xft.dpi " + std::to_string(dpi));
    const double scale = dpi / 96.0;
    const bool closely = dpi == 96;  // the pixels are looked at at 100 %
    const std::string resources = home_ + "/resources";
    std::ofstream(resources) << "Xft.dpi: " << dpi << "\n";
    ASSERT_TRUE(succeeds({"xrdb", "-display", session().display(), "-merge", resources}));
    ASSERT_FALSE(startTessarapane().is_null());
    EXPECT_TRUE(logHas("no compositing manager")) << log();

    ASSERT_EQ(ctl({"start", "split2"}).status, 0);
    json current = waitForState(
        [](const json& s) { return s.at("panes").size() == 2 && s.at("panes")[0].at("windows").size() == 2; });
    ASSERT_EQ(current.at("panes").size(), 2u) << current.dump();
    std::vector<Rect> wanted, seen;
    for (const int pane : {0, 1}) {
      const Rect strip = tabBar(current, pane, scale).panelFrame;
      // Windows cover whole pixels: the edges round.
      const auto edge = [](double value) { return static_cast<double>(std::lround(value)); };
      wanted.emplace_back(edge(strip.x()), edge(strip.y()), edge(strip.maxX()) - edge(strip.x()),
                          edge(strip.maxY()) - edge(strip.y()));
    }
    std::vector<std::pair<xcb_window_t, Rect>> strips;
    waitUntil([&] {
      strips = panelsTitled("Tessarapane tab strip");
      seen.clear();
      for (const auto& [window, frame] : strips) seen.push_back(frame);
      return seen == wanted;
    }, kSettleTimeout);
    ASSERT_EQ(seen, wanted);

    if (closely) {
      // A tab's plate near its ends, off its text; the unselected (dark) one
      // of the first strip's two tabs shows blending best.
      const auto plateOf = [](const Rect& strip) { return Point{strip.x() + 6, strip.midY()}; };
      const auto expectShaped = [&](const char* when) {
        SCOPED_TRACE(when);
        for (const auto& [window, strip] : strips) {
          EXPECT_EQ(pixel(strip.x() + 1, strip.y() + 1), kDesktop) << "the strip's corner at " << strip;
          EXPECT_EQ(pixel(strip.maxX() - 1, strip.maxY() - 1), kDesktop) << "the strip's far corner";
          EXPECT_NE(pixel(plateOf(strip).x, plateOf(strip).y), kDesktop) << "a tab is drawn";
        }
      };
      const Rect first = strips[0].second;
      ASSERT_TRUE(waitUntil([&] { return pixel(first.x() + 1, first.y() + 1) == kDesktop; }, 5.0));
      expectShaped("split2 without a compositing manager");
      const Point ends[] = {plateOf(first), {first.maxX() - 7, first.midY()}};
      const Point darkPlate = pixel(ends[0].x, ends[0].y)[0] < pixel(ends[1].x, ends[1].y)[0] ? ends[0] : ends[1];
      const Colour opaquePlate = pixel(darkPlate.x, darkPlate.y);

      // A compositing manager blends the plate with the desktop behind it;
      // when it stops, the shape comes back.
      auto compositor = startProgram({"xcompmgr"});
      ASSERT_TRUE(compositor);
      ASSERT_TRUE(waitUntil([&] { return logHas("a compositing manager started"); }))
          << log();
      Colour blended;
      waitUntil([&] { return (blended = pixel(darkPlate.x, darkPlate.y)) != opaquePlate; }, 5.0);
      EXPECT_GT(blended[2] - opaquePlate[2], 20) << "the desktop's blue shows through the translucent plate: "
                                                 << ::testing::PrintToString(blended) << " against "
                                                 << ::testing::PrintToString(opaquePlate);
      EXPECT_EQ(pixel(first.x() + 1, first.y() + 1), kDesktop);
      compositor->terminate();
      ASSERT_TRUE(waitUntil([&] { return logHas("compositing manager stopped"); }));
      waitUntil([&] { return pixel(darkPlate.x, darkPlate.y) == opaquePlate; }, 5.0);
      expectShaped("after the compositing manager stopped");
    }

    const xcb_window_t other = otherOf(current.at("panes")[0], current.at("panes")[0].at("selected").get<xcb_window_t>());
    const Point select = tabTargets(current, 0, other, scale).at(0);
    // A synced move to where the pointer already is never ends.
    ASSERT_TRUE(xdotool({"mousemove", "0", std::to_string(dpi)}));
    ASSERT_TRUE(click(select));
    current = waitForState([&](const json& s) { return s.at("panes")[0].at("selected") == other; });
    EXPECT_EQ(current.at("panes")[0].at("selected"), other) << "the click at " << select.x << "," << select.y;

    ASSERT_EQ(ctl({"grid"}).status, 0);
    current = waitForState([](const json& s) { return s.at("layout") == "grid" && s.at("tiles").size() == 3; });
    ASSERT_EQ(current.at("tiles").size(), 3u) << current.dump();
    std::vector<Rect> tiles;
    for (const json& tile : current.at("tiles")) tiles.push_back(rectOf(tile.at("frame")));
    // Each handle's middle lies between tiles, inside the area they span.
    std::vector<std::pair<xcb_window_t, Rect>> handles;
    const auto overGaps = [&] {
      handles = panelsTitled("Tessarapane grid divider");
      if (handles.size() != tiles.size() - 1) return false;
      Rect span = tiles.front();
      for (const Rect& tile : tiles) span = span.unionWith(tile);
      return std::all_of(handles.begin(), handles.end(), [&](const auto& handle) {
        const Point middle{handle.second.midX(), handle.second.midY()};
        return span.contains(middle) &&
               std::none_of(tiles.begin(), tiles.end(), [&](const Rect& tile) { return tile.contains(middle); });
      });
    };
    ASSERT_TRUE(waitUntil(overGaps, kSettleTimeout))
        << ::testing::PrintToString(handles) << " between " << ::testing::PrintToString(tiles);
    const auto upright =
        std::find_if(handles.begin(), handles.end(), [](const auto& h) { return h.second.height() > h.second.width(); });
    ASSERT_NE(upright, handles.end());
    const Rect hit = upright->second;
    const double y = hit.y() + hit.height() / 4;  // away from the grip
    if (closely) {
      // The gap takes the pointer along its whole length and is drawn; its
      // sides leave the tiles in sight.
      Colour gap;
      EXPECT_TRUE(waitUntil([&] { return (gap = pixel(hit.midX(), y)) != kDesktop; }, 5.0)) << "the gap is drawn";
      EXPECT_NE(gap, (Colour{0, 0, 0}));
      EXPECT_EQ(pixel(hit.x() + 1, y), pixel(hit.x() - 20, y)) << "the left tile shows under the handle's side";
      EXPECT_EQ(pixel(hit.maxX() - 2, y), pixel(hit.maxX() + 20, y)) << "the right tile shows under the handle's side";
    }

    // Dragging the upright divider 100 pixels right: while it is dragged the
    // preview draws cards, the windows in sight between them; the left tile
    // then reaches to where the pointer lets go, so the pointer came back in
    // X pixels.
    const Rect first = tiles[0];
    const Colour corner = pixel(first.x() + 1, first.y() + 1);
    const Colour middle = pixel(first.midX(), first.midY());
    const std::string handleY = std::to_string(std::lround(y));
    ASSERT_TRUE(xdotool({"mousemove", "--sync", std::to_string(std::lround(hit.midX())), handleY, "mousedown", "1",
                         "mousemove", "--sync", std::to_string(std::lround(hit.midX()) + 100), handleY}));
    if (closely) {
      ASSERT_TRUE(waitUntil([&] { return !panelsTitled("Tessarapane preview").empty(); }, kSettleTimeout));
      EXPECT_TRUE(waitUntil([&] { return pixel(first.midX(), first.midY()) != middle; }, 5.0))
          << "a card is drawn over the tile";
      EXPECT_EQ(pixel(first.x() + 1, first.y() + 1), corner) << "the tile's corner, outside its rounded card";
    }
    ASSERT_TRUE(xdotool({"mouseup", "1"}));
    const auto leftWidth = [](const json& s) {
      for (const json& tile : s.at("tiles")) {
        if (tile.at("frame").at("x") == 0) return tile.at("frame").at("width").get<double>();
      }
      return 0.0;
    };
    const double widened = static_cast<double>(std::lround(hit.midX()) + 100);
    current = waitForState([&](const json& s) { return std::fabs(leftWidth(s) - widened) <= 2; });
    EXPECT_NEAR(leftWidth(current), widened, 2) << current.dump();

    program_->terminate();
    program_.reset();
  }
}

}  // namespace
}  // namespace tessarapane::x11test
