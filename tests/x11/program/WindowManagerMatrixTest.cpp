// The program on whichever stacking window manager the test desktop runs
// ($TESSARAPANE_TEST_WM), with that manager's stock set-up: scripts/wm-matrix
// runs this story once per manager and gathers the rows it writes to
// $TESSARAPANE_MATRIX_ROW.
#include <fstream>
#include <set>

#include "ProgramTest.h"

namespace tessarapane::x11test {
namespace {

std::string pixels(double value) { return std::isfinite(value) ? std::to_string(std::lround(value)) : "none"; }

// Every window of `clients` held once by the layout, each pane's selection
// one of its own windows: nothing lost, nothing twice.
bool holdsEachOnce(const json& state, const std::vector<xcb_window_t>& clients) {
  std::multiset<xcb_window_t> held;
  for (const json& pane : state.at("panes")) {
    const auto windows = windowsOf(pane);
    held.insert(windows.begin(), windows.end());
    if (pane.at("selected").is_null() || !std::ranges::count(windows, pane.at("selected").get<xcb_window_t>())) return false;
  }
  for (const json& tile : state.at("tiles")) held.insert(tile.at("id").get<xcb_window_t>());
  return held == std::multiset<xcb_window_t>(clients.begin(), clients.end());
}

// The story's outcome as one markdown table row, written however it ends:
// | wm | placement split2·split4·grid | strips ok/seen | focus kept | grid | hot key | restore |
struct MatrixRow {
  std::string placement[3] = {"-", "-", "-"};
  int stripsOk = 0;
  std::size_t stripsSeen = 0;
  std::string focus = "-", grid = "-", hotKey = "-", restore = "-";

  ~MatrixRow() {
    const char* path = std::getenv("TESSARAPANE_MATRIX_ROW");
    if (!path || !*path) return;
    std::ofstream(path, std::ios::app) << "| " << XSession::defaultWindowManager() << " | " << placement[0] << "·"
                                       << placement[1] << "·" << placement[2] << " | " << stripsOk << "/" << stripsSeen
                                       << " | " << focus << " | " << grid << " | " << hotKey << " | " << restore << " |\n";
  }
};

// Five windows through split2, split4 and the grid, as a user would: every
// window's outer frame where the layout puts it, one tab strip shown over
// each pane and above every window (a dialog included), a click on a tab
// that leaves the focus on a managed window, the move hot key (or, where the
// manager keeps Control+Alt+Right, the chord left to it, named in the log
// and told once), and every window back at its frame on exit.
TEST_F(ProgramTest, LayoutsStripsFocusAndHotKeysHoldOnThisWindowManager) {
  MatrixRow row;
  // Waits until every window is at its frame; the worst offset in pixels
  // then (infinite for a window not seen), each window off in `where`.
  const auto worstOffset = [&](const std::map<xcb_window_t, Rect>& frames, std::string* where) {
    *where = framesOff(frames);
    double worst = 0;
    for (const auto& [window, frame] : frames) {
      const auto seen = witnessFrame(window);
      worst = std::max(worst, seen ? offset(*seen, frame) : INFINITY);
    }
    return worst;
  };
  const auto desktopIs = [&](const std::string& desktop) {
    return waitUntil([&] {
      const auto shown = Subprocess::run({"xdotool", "get_desktop"}, 5.0);
      return shown && shown->status == 0 && shown->output == desktop + "\n";
    });
  };
  const auto clients = startClients("matrix", 5, 40, 250);
  ASSERT_EQ(clients.size(), 5u);
  settle();
  std::vector<xcb_window_t> managed;
  std::map<xcb_window_t, Rect> before;
  for (const auto& client : clients) {
    managed.push_back(client->window);
    if (const auto frame = witnessFrame(client->window)) before[client->window] = *frame;
  }
  ASSERT_EQ(before.size(), 5u);
  ASSERT_FALSE(startTessarapane().is_null());
  // The notice of the hot keys the window manager holds, shown a moment
  // after launch, is put off with Escape ("later").
  const bool held = logHas("[HotKeys] ⌃⌥→ (moveRight) is held by another client");
  std::vector<std::pair<xcb_window_t, Rect>> notices;
  if (held) {
    ASSERT_TRUE(waitUntil([&] { return !(notices = panelsTitled("Tessarapane")).empty(); }, kStartTimeout)) << log();
    ASSERT_TRUE(xdotool({"windowactivate", "--sync", std::to_string(notices.front().first), "key", "Escape"}) &&
                waitUntil([&] { return panelsTitled("Tessarapane").empty(); }));
  }

  const std::vector<std::vector<std::string>> commands{{"start", "split2"}, {"start", "split4"}, {"grid"}};
  for (std::size_t step = 0; step < commands.size(); ++step) {
    const std::string layout = commands[step].back();
    const std::size_t panes = layout == "grid" ? 0 : layout == "split2" ? 2 : 4;
    ASSERT_EQ(ctl(commands[step]).status, 0);
    json current = waitForState([&](const json& s) {
      return s.at("layout") == layout && s.at("panes").size() == panes && holdsEachOnce(s, managed);
    });
    std::string where;
    const double worst = worstOffset(framesOf(current), &where);
    row.placement[step] = pixels(worst);
    if (layout == "grid") row.grid = std::to_string(current.at("tiles").size()) + "/5 tiles";
    // Held once each: in the grid every window has its tile, in tabs none has one.
    ASSERT_TRUE(current.at("layout") == layout && current.at("panes").size() == panes && holdsEachOnce(current, managed))
        << current.dump();
    EXPECT_LE(worst, kFrameTolerance) << layout << ":\n" << where;
    if (layout == "grid") continue;

    // A strip over each pane, hugging its tabs at the left of the tab bar;
    // shown means at its place and above every window.
    std::vector<Rect> wanted, seen;
    for (std::size_t pane = 0; pane < panes; ++pane) wanted.push_back(tabBar(current, static_cast<int>(pane)).panelFrame);
    std::vector<xcb_window_t> shown;
    int matched = 0;
    waitUntil([&] {
      seen.clear();
      shown.clear();
      for (const auto& [window, frame] : panelsTitled("Tessarapane tab strip")) {
        seen.push_back(frame);
        shown.push_back(window);
      }
      matched = static_cast<int>(std::ranges::count_if(wanted, [&](const Rect& strip) {
        return std::ranges::any_of(seen, [&](const Rect& frame) { return near(frame, strip); });
      }));
      if (!aboveEveryClient(shown, managed)) matched = 0;
      return matched == static_cast<int>(panes) && seen.size() == panes;
    });
    row.stripsOk += matched;
    row.stripsSeen += seen.size();
    EXPECT_TRUE(matched == static_cast<int>(panes) && seen.size() == panes) << layout << ": strips shown at " << ::testing::PrintToString(seen);
    if (layout != "split2") continue;

    // A dialog opens over its window; with no other program activated the
    // program raises nothing itself, yet the strips stay above it.
    const auto dialog = clients[0]->openDialog();
    ASSERT_TRUE(dialog);
    std::vector<xcb_window_t> covered = managed;
    covered.push_back(*dialog);
    const bool stripsAbove = waitUntil([&] { return aboveEveryClient(shown, covered); }, kSettleTimeout);
    if (!stripsAbove) row.stripsOk = 0;
    EXPECT_TRUE(stripsAbove) << "a dialog covers the strips";
    ASSERT_TRUE(clients[0]->command("close-dialog"));

    // Selecting another tab of the focused window's pane leaves the focus on
    // one of the two, never on the strip or nowhere.
    const xcb_window_t focused = current.at("panes")[0].at("selected").get<xcb_window_t>();
    const xcb_window_t other = otherOf(current.at("panes")[0], focused);
    ASSERT_TRUE(activate(focused));
    ASSERT_TRUE(click(tabTargets(current, 0, other).at(0)));
    current = waitForState([&](const json& s) { return s.at("panes")[0].at("selected") == other; });
    EXPECT_EQ(current.at("panes")[0].at("selected"), other) << current.dump();
    settle();
    const auto active = witnessActiveWindow();
    row.focus = active == focused || active == other ? "yes" : "no";
    EXPECT_EQ(row.focus, "yes") << "the click on a tab left the focus on " << (active ? std::to_string(*active) : "nothing");

    // Control+Alt+Right moves the focused tab to the right pane, unless the
    // manager holds the chord: then it is the manager's alone (its stock
    // binding goes to the next desktop), and the user is not told again.
    ASSERT_TRUE(desktopIs("0"));
    ASSERT_TRUE(activate(other));
    ASSERT_TRUE(xdotool({"key", "--clearmodifiers", "ctrl+alt+Right"}));
    current = waitForState([&](const json& s) { return paneOf(s, other) == 1; }, held ? 2.0 : kSettleTimeout);
    const bool moved = paneOf(current, other) == 1;
    const bool switched = held ? desktopIs("1") : !desktopIs("0");
    row.hotKey = moved ? (held ? "moved though held" : "moved") : (held ? "held by WM" : "not moved");
    EXPECT_NE(moved, held) << current.dump() << log();
    EXPECT_EQ(switched, held) << (held ? "named as held, but the manager did nothing with it" : "held, but not named");
    EXPECT_TRUE(panelsTitled("Tessarapane").empty()) << "told twice";
    if (switched) {
      ASSERT_TRUE(xdotool({"set_desktop", "0"}) && desktopIs("0"));
    }
  }

  ASSERT_EQ(ctl({"exit"}).status, 0);
  const json current = waitForState([](const json& s) { return s.at("layout").is_null(); });
  EXPECT_TRUE(current.at("layout").is_null() && current.at("panes").empty() && current.at("tiles").empty()) << current.dump();
  EXPECT_TRUE(program_->isRunning());
  std::string where;
  const double worst = worstOffset(before, &where);
  row.restore = pixels(worst);
  EXPECT_LE(worst, kFrameTolerance) << "not back where they were:\n" << where;
}

}  // namespace
}  // namespace tessarapane::x11test
