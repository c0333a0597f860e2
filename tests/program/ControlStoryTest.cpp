// The control requests `tessarapane ctl` sends, carried out on a coordinator of the simulated desktop (one
// 1440 x 900 display), with the state read back as the client prints it. They come from scripts: nobody may be
// there to dismiss an alert, the windows must never be left without their frames, and arguments and window
// titles come from other programs.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "program/ControlRequests.h"
#include "sim/coordinator/CoordinatorSimFixture.h"

namespace tessarapane::program {
namespace {

using json = nlohmann::ordered_json;

class ControlStory : public CoordinatorSim {
 protected:
  // The reply as ctl tells it: its status, then its text.
  static std::string said(const ControlReply& reply) {
    static const char* const kStatus[] = {"ok", "invalidArgument", "unavailable", "failed"};
    return std::string(kStatus[static_cast<int>(reply.status)]) + " " + reply.text;
  }
  std::string state() { return said(requests.state()); }
  // The state text expected: whole points written as integers, keys in this order. A pane's frame is where its
  // selected window now is on the desktop.
  static std::string stateOf(const char* layout, json panes, json tiles, json paused = json::array()) {
    return "ok " + json{{"layout", layout ? json(layout) : json()}, {"panes", panes}, {"tiles", tiles}, {"paused", paused}}.dump();
  }
  static json frame(const Rect& f) {
    return {{"x", std::lround(f.x())}, {"y", std::lround(f.y())}, {"width", std::lround(f.width())}, {"height", std::lround(f.height())}};
  }
  static json window(WindowID id, const std::string& title) { return {{"id", id}, {"title", title}}; }
  static json pane(int index, const Rect& at, const json& windows, const json& selected) {
    return {{"index", index}, {"frame", frame(at)}, {"windows", windows}, {"selected", selected}};
  }

  bool available = true;
  ControlRequests requests{[this] { return available ? coordinator : nullptr; }};
};

TEST_F(ControlStory, AScriptStartsMovesGridsPausesAndLeavesAndEveryReplyAndStateIsWhole) {
  const std::string empty = stateOf(nullptr, json::array(), json::array());
  EXPECT_EQ(state(), empty);
  // Without a window a person at the menu gets an alert; a script gets the reason as the reply, and no alert.
  coordinator->startLayout(LayoutKind::split4);
  ASSERT_EQ(alertTitles(), std::vector<std::string>{"没有可管理窗口"});
  const std::string quotedKind = std::string(199, 'x') + "\xC3\xA9";
  std::vector<std::string> replies = {said(requests.start("split4")), said(requests.start("split5")), said(requests.move("sideways")),
                                      said(requests.start(quotedKind + "\xC3\xA9" + std::string(100000, 'y')))};
  EXPECT_EQ(replies, (std::vector<std::string>{"failed 没有可管理窗口: 请先打开至少一个普通 App 窗口；最小化、全屏和不可缩放窗口会被跳过。",
                                               "invalidArgument unknown layout kind \"split5\"",
                                               "invalidArgument unknown direction \"sideways\"",
                                               "invalidArgument unknown layout kind \"" + quotedKind + "…\""}));
  EXPECT_EQ(std::pair(alertTitles().size(), state()), std::pair(std::size_t{1}, empty));

  const ProcessID editor = launch("Editor");
  const WindowID one = open(editor, "one", Rect(10, 40, 500, 400));
  const WindowID two = open(editor, "caf\xC3(\xFF");  // front-most, and not UTF-8
  settle();
  ASSERT_EQ(said(requests.start("split2")), "ok ");
  settle();
  const json shownTwo = window(two, "caf\uFFFD(\uFFFD"), shownOne = window(one, "one");
  EXPECT_EQ(state(), stateOf("split2", {pane(0, frameOf(two), json::array({shownTwo}), two), pane(1, frameOf(one), json::array({shownOne}), one)},
                             json::array()));
  desktop->focusWindow(two);
  settle();
  ASSERT_EQ(said(requests.move("right")), "ok ");
  settle();
  EXPECT_EQ(frameOf(two), paneWindowFrame(1));
  EXPECT_EQ(state(), stateOf("split2", {pane(0, paneWindowFrame(0), json::array(), nullptr), pane(1, frameOf(two), {shownOne, shownTwo}, two)},
                             json::array()));

  ASSERT_EQ(said(requests.startGrid()), "ok ");
  settle();
  json tiles = {shownTwo, shownOne};
  for (json& tile : tiles) tile["frame"] = frame(frameOf(tile["id"]));
  EXPECT_EQ(state(), stateOf("grid", json::array(), tiles));

  // Every reason shows; the unlock ends them all.
  using E = SystemEvent;
  for (E event : {E::sessionDidResignActive, E::screensDidSleep, E::screenLocked}) desktop->postSystemEvent(event);
  settle();
  EXPECT_EQ(state(), stateOf("grid", json::array(), tiles, {"screensAsleep", "screenLocked", "sessionInactive"}));
  desktop->postSystemEvent(E::screenUnlocked);
  settle();
  EXPECT_EQ(state(), stateOf("grid", json::array(), tiles));

  // Without a window manager nothing starts, and leaving waits for one to put the windows back as they were.
  desktop->setProcessTrusted(false);
  const std::string noWindowManager = "unavailable no window manager is running: ";
  replies = {said(requests.start("split2")), said(requests.startGrid()), said(requests.exit())};
  EXPECT_EQ(replies, (std::vector<std::string>{
      noWindowManager + "Tessarapane cannot move windows without one", noWindowManager + "Tessarapane cannot move windows without one",
      noWindowManager + "the layout stays, and its windows go back to where they were once a window manager runs"}));
  settle();
  EXPECT_EQ(state(), stateOf("grid", json::array(), tiles));
  desktop->setProcessTrusted(true);
  advance(0.5);
  EXPECT_EQ(std::tuple(state(), frameOf(one), frameOf(two), remembered()),
            std::tuple(empty, Rect(10, 40, 500, 400), Rect(100, 100, 800, 600), std::nullopt));

  // Without a coordinator (starting up or quitting) every request but the argument check is unavailable.
  available = false;
  replies = {said(requests.start("split2")), said(requests.startGrid()), said(requests.exit()), said(requests.move("left")),
             said(requests.start("nope")), state()};
  const std::string notReady = "unavailable Tessarapane is not ready (starting up or quitting)";
  EXPECT_EQ(replies, (std::vector<std::string>{notReady, notReady, notReady, notReady, "invalidArgument unknown layout kind \"nope\"", empty}));
}

}  // namespace
}  // namespace tessarapane::program
