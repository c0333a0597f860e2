#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "program/ControlRequests.h"
#include "sim/coordinator/CoordinatorSimFixture.h"

namespace tessarapane::program {
namespace {

using nlohmann::json;

// Control requests on a coordinator of the simulated desktop (one 1440 x 900
// display); the state is read back as the ctl client prints it.
class ControlRequestsTest : public CoordinatorSim {
 protected:
  json state() {
    const ControlReply reply = requests.state();
    EXPECT_TRUE(reply.ok());
    return json::parse(reply.text);
  }

  static json frameJson(const Rect& frame) {
    return json{{"x", frame.x()}, {"y", frame.y()}, {"width", frame.width()}, {"height", frame.height()}};
  }

  bool available = true;
  ControlRequests requests{[this]() { return available ? coordinator : nullptr; }};
};

TEST_F(ControlRequestsTest, TabLayoutStateListsPanesWindowsSelectionAndWhereTheWindowsWent) {
  const ProcessID editor = launch("Editor");
  const WindowID w1 = open(editor, "one");
  const WindowID w2 = open(editor, "two");
  const WindowID w3 = open(editor, "three");  // front-most
  settle();

  ASSERT_TRUE(requests.start("split2").ok());
  settle();
  const json s = state();
  EXPECT_EQ(s["layout"], "split2");
  EXPECT_EQ(s["tiles"], json::array());
  EXPECT_EQ(s["paused"], json::array());
  ASSERT_EQ(s["panes"].size(), 2u);
  std::vector<WindowID> seen;
  for (std::size_t pane = 0; pane < 2; ++pane) {
    const json& p = s["panes"][pane];
    EXPECT_EQ(p["index"], pane);
    ASSERT_FALSE(p["windows"].empty());
    // The selected window sits exactly at the pane's frame on the desktop.
    const WindowID selected = p["selected"].get<WindowID>();
    EXPECT_EQ(p["frame"], frameJson(frameOf(selected))) << "pane " << pane;
    for (const json& window : p["windows"]) {
      const WindowID id = window["id"].get<WindowID>();
      seen.push_back(id);
      EXPECT_EQ(window["title"], desktop->window(id)->desc.title);
    }
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, (std::vector<WindowID>{w1, w2, w3}));
  // Whole points are written as integers.
  EXPECT_TRUE(s["panes"][0]["frame"]["width"].is_number_integer());
}

TEST_F(ControlRequestsTest, GridStateListsTilesAndExitForgetsTheLayout) {
  const ProcessID editor = launch("Editor");
  const WindowID w1 = open(editor, "one", Rect(10, 40, 500, 400));
  const WindowID w2 = open(editor, "two", Rect(300, 200, 600, 500));
  settle();

  ASSERT_TRUE(requests.startGrid().ok());
  settle();
  json s = state();
  EXPECT_EQ(s["layout"], "grid");
  EXPECT_EQ(s["panes"], json::array());
  ASSERT_EQ(s["tiles"].size(), 2u);
  for (const json& tile : s["tiles"]) {
    const WindowID id = tile["id"].get<WindowID>();
    EXPECT_TRUE(id == w1 || id == w2);
    EXPECT_EQ(tile["frame"], frameJson(frameOf(id)));
    EXPECT_EQ(tile["title"], desktop->window(id)->desc.title);
  }
  EXPECT_NE(s["tiles"][0]["id"], s["tiles"][1]["id"]);

  ASSERT_TRUE(requests.exit().ok());
  settle();
  s = state();
  EXPECT_TRUE(s["layout"].is_null());
  EXPECT_EQ(s["tiles"], json::array());
  // Like the menu's exit item: the windows go back and nothing is remembered.
  EXPECT_EQ(frameOf(w1), Rect(10, 40, 500, 400));
  EXPECT_EQ(remembered(), std::nullopt);
}

TEST_F(ControlRequestsTest, MoveTakesTheFocusedTabToTheNeighbouringPane) {
  const ProcessID editor = launch("Editor");
  open(editor, "one");
  const WindowID front = open(editor, "two");
  settle();
  ASSERT_TRUE(requests.start("split2").ok());
  settle();
  ASSERT_EQ(state()["panes"][0]["selected"], front);
  desktop->focusWindow(front);
  settle();

  ASSERT_TRUE(requests.move("right").ok());
  settle();
  const json s = state();
  EXPECT_TRUE(s["panes"][0]["windows"].empty());
  EXPECT_TRUE(s["panes"][0]["selected"].is_null());
  EXPECT_EQ(s["panes"][1]["selected"], front);
  EXPECT_EQ(frameOf(front), paneWindowFrame(1));
}

TEST_F(ControlRequestsTest, PauseReasonsAreListedInTheirOrder) {
  coordinator->beginPause(LayoutPause::Reason::sessionInactive);
  coordinator->beginPause(LayoutPause::Reason::screensAsleep);
  EXPECT_EQ(state()["paused"], (json{"screensAsleep", "sessionInactive"}));
  coordinator->endAllPauses();
  EXPECT_EQ(state()["paused"], json::array());
}

TEST_F(ControlRequestsTest, BadArgumentsAndAMissingCoordinatorAreRefused) {
  const ProcessID editor = launch("Editor");
  open(editor, "one");
  settle();

  ControlReply reply = requests.start("split5");
  EXPECT_EQ(reply.status, ControlReply::Status::invalidArgument);
  EXPECT_NE(reply.text.find("split5"), std::string::npos);
  EXPECT_EQ(requests.move("sideways").status, ControlReply::Status::invalidArgument);
  EXPECT_EQ(coordinator->session, nullptr) << "a refused request changes nothing";

  available = false;
  EXPECT_EQ(requests.start("split2").status, ControlReply::Status::unavailable);
  EXPECT_EQ(requests.startGrid().status, ControlReply::Status::unavailable);
  EXPECT_EQ(requests.exit().status, ControlReply::Status::unavailable);
  EXPECT_EQ(requests.move("left").status, ControlReply::Status::unavailable);
  EXPECT_EQ(requests.start("nope").status, ControlReply::Status::invalidArgument);
  EXPECT_EQ(coordinator->session, nullptr);
  EXPECT_EQ(state(), (json{{"layout", nullptr}, {"panes", json::array()}, {"tiles", json::array()},
                           {"paused", json::array()}}));
}

}  // namespace
}  // namespace tessarapane::program
