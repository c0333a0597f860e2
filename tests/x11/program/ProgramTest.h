// The fixture of the tests that run the real tessarapane program on the test
// desktop, and what they share to witness its effects.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "X11Test.h"
#include "chrome/PaneTabBarLayout.h"
#include "chrome/PaneTabItemLayout.h"
#include "layout/LayoutEngine.h"
#include "layout/LayoutKind.h"
#include "layout/PaneMove.h"
#include "ui/services/QSettingsUserDefaults.h"

namespace tessarapane::x11test {

using nlohmann::json;

constexpr double kStartTimeout = 30.0;  // a sanitizer build takes a while to start
constexpr double kSettleTimeout = 10.0;
// Clients without size increments take their frame exactly; allow rounding.
constexpr double kFrameTolerance = 1.0;

inline std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline Rect rectOf(const json& frame) {
  return Rect(frame.at("x").get<double>(), frame.at("y").get<double>(), frame.at("width").get<double>(),
              frame.at("height").get<double>());
}

// How far `seen` is from `wanted` on its worst edge or size, in pixels.
inline double offset(const Rect& seen, const Rect& wanted) {
  return std::max({std::fabs(seen.x() - wanted.x()), std::fabs(seen.y() - wanted.y()),
                   std::fabs(seen.width() - wanted.width()), std::fabs(seen.height() - wanted.height())});
}
inline bool near(const Rect& a, const Rect& b) { return offset(a, b) <= kFrameTolerance; }

inline std::vector<xcb_window_t> windowsOf(const json& pane) {
  std::vector<xcb_window_t> windows;
  for (const json& entry : pane.at("windows")) windows.push_back(entry.at("id").get<xcb_window_t>());
  return windows;
}

// The pane (index) whose windows include `window`; -1 for none.
inline int paneOf(const json& state, xcb_window_t window) {
  for (const json& pane : state.at("panes")) {
    if (std::ranges::count(windowsOf(pane), window)) return pane.at("index").get<int>();
  }
  return -1;
}

// The other window of a pane of two.
inline xcb_window_t otherOf(const json& pane, xcb_window_t window) {
  const auto windows = windowsOf(pane);
  return windows.at(windows.at(0) == window ? 1 : 0);
}

// Where the layout puts each of its windows: its pane's frame, or its tile.
inline std::map<xcb_window_t, Rect> framesOf(const json& state) {
  std::map<xcb_window_t, Rect> frames;
  for (const json& pane : state.at("panes")) {
    for (xcb_window_t window : windowsOf(pane)) frames[window] = rectOf(pane.at("frame"));
  }
  for (const json& tile : state.at("tiles")) frames[tile.at("id").get<xcb_window_t>()] = rectOf(tile.at("frame"));
  return frames;
}

class ProgramTest : public X11Test {
 protected:
  struct Outcome {
    int status = -1;
    std::string output, errors;
  };

  void SetUp() override {
    X11Test::SetUp();
    home_ = session().directory() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::create_directories(home_ + "/config");
    std::filesystem::create_directories(home_ + "/runtime");
    chmod((home_ + "/runtime").c_str(), 0700);
  }

  void TearDown() override {
    if (program_) program_->terminate();
    program_.reset();
    X11Test::TearDown();
  }

  std::map<std::string, std::string> environment() const {
    std::map<std::string, std::string> variables{
        {"XDG_CONFIG_HOME", home_ + "/config"}, {"XDG_RUNTIME_DIR", home_ + "/runtime"},
        // English texts, whatever the locale of the machine running the tests.
        {"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", "C.UTF-8"},
        // Qt's and the desktop libraries' own allocations at exit are not
        // the program's to answer for; its exit status is.
        {"ASAN_OPTIONS", "detect_leaks=0"}};
    for (const auto& [name, value] : programEnvironment_) variables[name] = value;
    return variables;
  }

  std::string logPath() const { return home_ + "/tessarapane.log"; }
  std::string log() const { return readFile(logPath()); }
  bool logHas(const std::string& text) const { return log().find(text) != std::string::npos; }
  std::string settingsPath() const { return home_ + "/config/tessarapane/tessarapane.conf"; }

  // Runs `tessarapane ARGS...` to its end, with both output streams.
  Outcome run(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), TESSARAPANE_PROGRAM);
    const std::string errors = home_ + "/run-" + std::to_string(++runs_) + ".err";
    const auto result = Subprocess::run(arguments, 20.0, environment(), errors);
    return Outcome{result ? result->status : -1, result ? result->output : "", readFile(errors)};
  }
  Outcome ctl(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "ctl");
    return run(arguments);
  }

  std::optional<json> state() {
    const Outcome outcome = ctl({"state"});
    const json parsed = json::parse(outcome.status == 0 ? outcome.output : "", nullptr, false);
    return parsed.is_discarded() ? std::nullopt : std::optional<json>(parsed);
  }

  // A system tray at the top right (trayer, without a strut), once its panel
  // shows. Every program story has one unless it clears `withTray_`: without
  // a tray the program tells the user so in a modal notice.
  bool startTray() {
    if (!tray_) {
      tray_ = startProgram({"trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120",
                            "--heighttype", "pixel", "--height", "24", "--SetDockType", "true", "--SetPartialStrut",
                            "false"});
    }
    return tray_ && waitUntil([&] { return !search({"--class", "trayer"}).empty(); }, kSettleTimeout);
  }

  // Starts the tray program and waits until it answers on the bus; its first
  // answer.
  json startTessarapane() {
    if (withTray_ && !startTray()) ADD_FAILURE() << "trayer did not come up";
    std::string error;
    program_ = Subprocess::start({TESSARAPANE_PROGRAM}, {environment(), false, false, logPath()}, &error);
    if (!program_) {
      ADD_FAILURE() << error;
      return json();
    }
    std::optional<json> first;
    waitUntil([&] { return !program_->isRunning() || (first = state()).has_value(); }, kStartTimeout);
    if (!first) ADD_FAILURE() << "the program did not come up; its log:\n" << log();
    return first.value_or(json());
  }

  // Waits until `ctl state` satisfies the condition; the last state read.
  json waitForState(const std::function<bool(const json&)>& condition, double timeout = kSettleTimeout) {
    json last;
    waitUntil([&] {
      const auto current = state();
      if (current) last = *current;
      return current && condition(*current);
    }, timeout);
    return last;
  }

  // Waits until every window's outer frame is at its frame in `frames`; the
  // windows that are off, empty when none is.
  std::string framesOff(const std::map<xcb_window_t, Rect>& frames, double timeout = kSettleTimeout) {
    return misfits(frames, timeout, near);
  }

  // The program's shown panels with this title and their frames in X
  // pixels, left to right, then top to bottom.
  std::vector<std::pair<xcb_window_t, Rect>> panelsTitled(const std::string& title) {
    std::vector<std::pair<xcb_window_t, Rect>> panels;
    for (xcb_window_t window : search({"--onlyvisible", "--name", "^" + title + "$"})) {
      if (const auto frame = witnessFrame(window)) panels.emplace_back(window, *frame);
    }
    std::ranges::sort(panels, {}, [](const auto& panel) { return std::pair(panel.second.x(), panel.second.y()); });
    return panels;
  }
  // Whether every one of `panels` lies above every client's frame in the
  // root window's stacking order.
  bool aboveEveryClient(const std::vector<xcb_window_t>& panels, const std::vector<xcb_window_t>& clients) {
    const auto tree = [&](xcb_window_t window) {
      std::pair<std::vector<xcb_window_t>, xcb_window_t> found{{}, XCB_NONE};
      if (xcb_query_tree_reply_t* reply = xcb_query_tree_reply(probe(), xcb_query_tree(probe(), window), nullptr)) {
        const xcb_window_t* children = xcb_query_tree_children(reply);
        found = {{children, children + xcb_query_tree_children_length(reply)}, reply->parent};
        std::free(reply);
      }
      return found;
    };
    const std::vector<xcb_window_t> stacking = tree(root()).first;
    for (xcb_window_t client : clients) {
      for (xcb_window_t parent = tree(client).second; parent != root() && parent != XCB_NONE; parent = tree(client).second) {
        client = parent;
      }
      const auto frame = std::ranges::find(stacking, client);
      for (xcb_window_t panel : panels) {
        if (std::find(stacking.begin(), frame, panel) != frame) return false;
      }
    }
    return true;
  }

  bool click(const Point& at) {
    return xdotool({"mousemove", "--sync", std::to_string(std::lround(at.x)), std::to_string(std::lround(at.y)), "click", "1"});
  }

  // The pane's tab strip laid out by the same rules the program's panels
  // use: it runs along the top of the pane, right above its window frame.
  PaneTabBarLayout tabBar(const json& current, int paneIndex, double scale = 1.0) {
    const json& pane = current.at("panes").at(static_cast<std::size_t>(paneIndex));
    const auto windows = windowsOf(pane);
    const int selected = pane.at("selected").is_null()
                             ? -1 : static_cast<int>(std::ranges::find(windows, pane.at("selected").get<xcb_window_t>()) - windows.begin());
    const Rect frame = rectOf(pane.at("frame"));
    const double height = LayoutEngine::kTabBarHeight * scale;
    return PaneTabBarLayout::make(Rect(frame.x(), frame.y() - height, frame.width(), height), static_cast<int>(windows.size()),
                                  selected, static_cast<int>(directions(current, paneIndex).size()), scale);
  }
  static std::vector<PaneMoveDirection> directions(const json& current, int paneIndex) {
    return PaneMove::availableDirections(paneIndex, fromRawValue<LayoutKind>(current.at("layout").get<std::string>()).value());
  }

  // Where a tab's controls are on the screen: its select and close buttons,
  // then one arrow per direction the pane can move. The pointer hovers the
  // tab when the click lands, so the arrows show in full mode.
  std::vector<Point> tabTargets(const json& current, int paneIndex, xcb_window_t window, double scale = 1.0) {
    const json& pane = current.at("panes").at(static_cast<std::size_t>(paneIndex));
    const auto windows = windowsOf(pane);
    const int tab = static_cast<int>(std::ranges::find(windows, window) - windows.begin());
    const PaneTabBarLayout bar = tabBar(current, paneIndex, scale);
    const auto& visible = bar.stripLayout.visibleIndices;
    const auto slot = std::ranges::find(visible, tab);
    EXPECT_NE(slot, visible.end()) << "tab " << tab << " is not in the strip";
    const Rect slotFrame = bar.slotFrames.at(static_cast<std::size_t>(slot - visible.begin()));
    const int moves = static_cast<int>(directions(current, paneIndex).size());
    const auto item = PaneTabItemLayout::make(slotFrame.width(), slotFrame.height(), bar.stripLayout.mode, moves,
                                              pane.at("selected") == window, true);
    // Left edges read the same in both spaces; vertically every control
    // spans the tab, which sits centred in the strip.
    const double left = rectOf(pane.at("frame")).x() + bar.stripFrame.x() + slotFrame.x();
    const double middle = rectOf(pane.at("frame")).y() - LayoutEngine::kTabBarHeight * scale / 2.0;
    std::vector<Point> targets{{left + item.selectButtonFrame.midX(), middle}, {left + item.closeButtonFrame.midX(), middle}};
    for (int i = 0; i < moves; ++i) {
      targets.push_back({left + item.moveStackFrame.x() + PaneTabItemLayout::kMoveButtonWidth * (i + 0.5), middle});
    }
    return targets;
  }

  // `count` test clients titled "<name> 0", "<name> 1" …, 300×200 in a row at
  // y 300 from x `left`, `step` apart; stops at the first that does not come up.
  std::vector<std::unique_ptr<TestClient>> startClients(const std::string& name, int count, int left = 100, int step = 400) {
    std::vector<std::unique_ptr<TestClient>> clients;
    for (int i = 0; i < count; ++i) {
      auto client = startClient({"--title", name + " " + std::to_string(i), "--geometry",
                                 "300x200+" + std::to_string(left + step * i) + "+300"});
      if (!client) break;
      clients.push_back(std::move(client));
    }
    return clients;
  }

  // `end` ends the program: at once (witnessed, not waited for) the windows
  // are where the layout put them, and the layout is remembered.
  void endsKeepingTheLayout(const json& current, const std::function<void()>& end) {
    const std::map<xcb_window_t, Rect> placed = framesOf(current);
    end();
    EXPECT_EQ(program_->wait(kSettleTimeout), std::optional<int>(0)) << log();
    settle();
    EXPECT_EQ(misfits(placed, 0, near), "") << "moved at exit";
    EXPECT_EQ(ui::QSettingsUserDefaults(QString::fromStdString(settingsPath())).stringValue("rememberedLayout"),
              std::optional<std::string>("tabs:split2"));
  }

  bool activate(xcb_window_t window) {
    return xdotool({"windowactivate", "--sync", std::to_string(window)}) && waitUntil([&] { return witnessActiveWindow() == window; });
  }

  std::string home_;
  std::map<std::string, std::string> programEnvironment_;
  bool withTray_ = true;
  std::unique_ptr<Subprocess> tray_, program_;
  int runs_ = 0;
};

}  // namespace tessarapane::x11test
