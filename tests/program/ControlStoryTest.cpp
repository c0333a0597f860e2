// The control requests `tessarapane ctl` sends, carried out on a coordinator of the simulated desktop (one
// 1440 x 900 display), with the state read back as the client prints it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "program/ControlRequests.h"
#include "sim/coordinator/CoordinatorSimFixture.h"

namespace tessarapane::program {
namespace {

using nlohmann::json;

class ControlStory : public CoordinatorSim {
 protected:
  json state() {
    const ControlReply reply = requests.state();
    EXPECT_TRUE(reply.ok());
    return json::parse(reply.text);
  }
  json windowJson(WindowID id) {
    return json{{"id", id}, {"title", desktop->window(id)->desc.title}};
  }
  static json frameJson(const Rect& f) { return json{{"x", f.x()}, {"y", f.y()}, {"width", f.width()}, {"height", f.height()}}; }

  bool available = true;
  ControlRequests requests{[this] { return available ? coordinator : nullptr; }};
};

TEST_F(ControlStory, StartMoveGridExitAndPausesShowInTheState) {
  const json empty = {{"layout", nullptr}, {"panes", json::array()}, {"tiles", json::array()}, {"paused", json::array()}};
  EXPECT_EQ(state(), empty);
  const ProcessID editor = launch("Editor");
  const WindowID one = open(editor, "one", Rect(10, 40, 500, 400));
  const WindowID two = open(editor, "two");  // front-most
  settle();

  // Refused requests change nothing.
  const ControlReply refused = requests.start("split5");
  EXPECT_EQ(refused.status, ControlReply::Status::invalidArgument);
  EXPECT_NE(refused.text.find("split5"), std::string::npos);
  EXPECT_EQ(requests.move("sideways").status, ControlReply::Status::invalidArgument);
  EXPECT_FALSE(coordinator->snapshot().isRunning());

  ASSERT_TRUE(requests.start("split2").ok());
  settle();
  // Each pane lists its windows, its selection, and the frame the selected window now has on the desktop.
  json s = state();
  EXPECT_EQ(s["layout"], "split2");
  ASSERT_EQ(s["panes"].size(), 2u);
  EXPECT_EQ(s["panes"][0], (json{{"index", 0}, {"selected", two}, {"frame", frameJson(frameOf(two))},
                                 {"windows", json::array({windowJson(two)})}}));
  EXPECT_EQ(s["panes"][1], (json{{"index", 1}, {"selected", one}, {"frame", frameJson(frameOf(one))},
                                 {"windows", json::array({windowJson(one)})}}));
  EXPECT_TRUE(s["panes"][0]["frame"]["width"].is_number_integer()) << "whole points are written as integers";

  desktop->focusWindow(two);
  settle();
  ASSERT_TRUE(requests.move("right").ok());
  settle();
  s = state();
  EXPECT_EQ(s["panes"][0]["windows"], json::array());
  EXPECT_TRUE(s["panes"][0]["selected"].is_null());
  EXPECT_EQ(s["panes"][1]["selected"], two);
  EXPECT_EQ(frameOf(two), paneWindowFrame(1));

  ASSERT_TRUE(requests.startGrid().ok());
  settle();
  s = state();
  EXPECT_EQ(std::pair(s["layout"], s["panes"]), std::pair(json("grid"), json::array()));
  ASSERT_EQ(s["tiles"].size(), 2u);
  std::set<WindowID> tiled;
  for (const json& tile : s["tiles"]) {
    const WindowID id = tile["id"].get<WindowID>();
    tiled.insert(id);
    EXPECT_EQ(tile, (json{{"id", id}, {"title", desktop->window(id)->desc.title}, {"frame", frameJson(frameOf(id))}}));
  }
  EXPECT_EQ(tiled, (std::set<WindowID>{one, two}));

  desktop->postSystemEvent(SystemEvent::sessionDidResignActive);
  desktop->postSystemEvent(SystemEvent::screensDidSleep);
  settle();
  EXPECT_EQ(state()["paused"], (json{"screensAsleep", "sessionInactive"}));
  desktop->postSystemEvent(SystemEvent::screensDidWake);
  desktop->postSystemEvent(SystemEvent::sessionDidBecomeActive);
  settle();

  // Like the menu's exit item: the windows go back and nothing is remembered.
  ASSERT_TRUE(requests.exit().ok());
  settle();
  EXPECT_EQ(state(), empty);
  EXPECT_EQ(frameOf(one), Rect(10, 40, 500, 400));
  EXPECT_EQ(remembered(), std::nullopt);

  // Without a coordinator (starting up or quitting) every request but the argument check is unavailable.
  available = false;
  for (const ControlReply& reply : {requests.start("split2"), requests.startGrid(), requests.exit(), requests.move("left")}) {
    EXPECT_EQ(reply.status, ControlReply::Status::unavailable) << reply.text;
  }
  EXPECT_EQ(requests.start("nope").status, ControlReply::Status::invalidArgument);
  EXPECT_EQ(state(), empty);
}

}  // namespace
}  // namespace tessarapane::program
