// The real tessarapane program on the test desktop: driven through
// `tessarapane ctl`, clicks on its tab strips, key presses and signals on a
// stand-in system bus; every effect is witnessed from outside (xwininfo and
// the frame extents, the window manager's lists, the program's log and its
// settings file).
#include "ProgramTest.h"

#include <signal.h>

#include <set>

#include "hotkeys/HotKeyBindingsCoding.h"
#include "hotkeys/KeyChord.h"
#include "ui/services/QSettingsUserDefaults.h"

namespace tessarapane::x11test {
namespace {

// The program talks to its instances over the session bus and hears logind
// on the system bus; both are private to this test process.
const X11Environment::Configure kBuses([](XSession::Options& options) {
  options.sessionBus = true;
  options.systemBus = true;
});

constexpr const char* kLogPrefix = "org.tessarapane.Tessarapane [Pause] ";

// ctl's answers without an instance, the one-instance rule, and the layouts
// it starts and leaves, seen on the real windows.
TEST_F(ProgramTest, ControlCommandsPlaceAndRestoreRealWindows) {
  const Outcome notRunning = ctl({"state"});
  EXPECT_EQ(notRunning.status, 1);
  EXPECT_NE(notRunning.errors.find("not running"), std::string::npos) << notRunning.errors;
  for (const auto& bad : std::vector<std::vector<std::string>>{
           {}, {"start"}, {"start", "split5"}, {"move", "sideways"}, {"grid", "now"}, {"launch"}}) {
    const Outcome outcome = ctl(bad);
    EXPECT_EQ(outcome.status, 2) << "ctl with " << bad.size() << " words: " << outcome.errors;
    EXPECT_NE(outcome.errors.find("usage"), std::string::npos) << outcome.errors;
  }

  std::vector<std::unique_ptr<TestClient>> clients;
  std::map<xcb_window_t, Rect> before;
  for (int i = 0; i < 4; ++i) {
    const std::string geometry = std::to_string(300 + 20 * i) + "x" + std::to_string(200 + 10 * i) + "+" +
                                 std::to_string(40 + 150 * i) + "+" + std::to_string(50 + 90 * i);
    clients.push_back(startClient({"--title", "client " + std::to_string(i), "--geometry", geometry}));
    ASSERT_TRUE(clients.back());
  }
  settle();
  for (const auto& client : clients) {
    const auto frame = witnessFrame(client->window);
    ASSERT_TRUE(frame);
    before[client->window] = *frame;
  }

  ASSERT_FALSE(startTessarapane().is_null());
  const Outcome second = run({}, 20.0);
  EXPECT_EQ(second.status, 1);
  EXPECT_NE(second.errors.find("Tessarapane is already running on this display."), std::string::npos)
      << second.errors;
  EXPECT_TRUE(program_->isRunning());

  const auto holdsEveryClient = [&](const json& current) {
    std::multiset<xcb_window_t> seen;
    for (const json& pane : current.at("panes")) {
      for (xcb_window_t window : windowsOf(pane)) seen.insert(window);
    }
    for (const json& tile : current.at("tiles")) seen.insert(tile.at("id").get<xcb_window_t>());
    if (seen.size() != clients.size()) return false;
    for (const auto& client : clients) {
      if (seen.count(client->window) != 1) return false;
    }
    return true;
  };

  ASSERT_EQ(ctl({"start", "split2"}).status, 0);
  json current = waitForState([&](const json& s) { return s.at("layout") == "split2" && holdsEveryClient(s); });
  ASSERT_EQ(current.at("layout"), "split2") << current.dump();
  ASSERT_EQ(current.at("panes").size(), 2u);
  EXPECT_EQ(current.at("tiles").size(), 0u);
  for (const json& pane : current.at("panes")) EXPECT_EQ(pane.at("windows").size(), 2u) << current.dump();
  expectPanesWitnessed(current);

  ASSERT_EQ(ctl({"start", "split4"}).status, 0);
  current = waitForState([&](const json& s) { return s.at("layout") == "split4" && holdsEveryClient(s); });
  ASSERT_EQ(current.at("panes").size(), 4u) << current.dump();
  for (const json& pane : current.at("panes")) {
    EXPECT_EQ(pane.at("windows").size(), 1u) << current.dump();
    EXPECT_EQ(pane.at("selected"), pane.at("windows").at(0).at("id"));
  }
  expectPanesWitnessed(current);

  ASSERT_EQ(ctl({"grid"}).status, 0);
  current = waitForState([&](const json& s) { return s.at("layout") == "grid" && holdsEveryClient(s); });
  ASSERT_EQ(current.at("layout"), "grid") << current.dump();
  EXPECT_EQ(current.at("panes").size(), 0u);
  ASSERT_EQ(current.at("tiles").size(), 4u);
  for (const json& tile : current.at("tiles")) {
    EXPECT_TRUE(waitForFrame(tile.at("id").get<xcb_window_t>(), rectOf(tile.at("frame"))));
  }

  ASSERT_EQ(ctl({"exit"}).status, 0);
  current = waitForState([](const json& s) { return s.at("layout").is_null(); });
  EXPECT_TRUE(current.at("layout").is_null()) << current.dump();
  EXPECT_EQ(current.at("tiles").size(), 0u);
  for (const auto& [window, frame] : before) EXPECT_TRUE(waitForFrame(window, frame)) << "back where it was";
  EXPECT_TRUE(program_->isRunning());
}

// The tab strip's select, move and close controls and the default move
// hot key, each on real windows.
TEST_F(ProgramTest, TabClicksAndTheMoveHotKeyActOnRealWindows) {
  std::vector<std::unique_ptr<TestClient>> clients;
  for (int i = 0; i < 3; ++i) {
    clients.push_back(startClient({"--title", "tab " + std::to_string(i), "--geometry",
                                   "320x240+" + std::to_string(60 + 200 * i) + "+" + std::to_string(80 + 60 * i)}));
    ASSERT_TRUE(clients.back());
  }
  ASSERT_FALSE(startTessarapane().is_null());
  ASSERT_EQ(ctl({"start", "split2"}).status, 0);
  json current = waitForState([](const json& s) {
    return s.at("panes").size() == 2 && s.at("panes")[0].at("windows").size() == 2 &&
           s.at("panes")[1].at("windows").size() == 1;
  });
  ASSERT_EQ(current.at("panes").size(), 2u) << current.dump();
  expectPanesWitnessed(current);

  // Select the tab that is not selected: it becomes the selection and its
  // window comes above the other of its pane.
  const std::vector<xcb_window_t> left = windowsOf(current.at("panes")[0]);
  ASSERT_EQ(left.size(), 2u);
  const xcb_window_t wasSelected = current.at("panes")[0].at("selected").get<xcb_window_t>();
  const xcb_window_t other = wasSelected == left[0] ? left[1] : left[0];
  TabTargets targets = tabTargets(current, 0, other);
  ASSERT_TRUE(click(targets.select.x, targets.select.y));
  current = waitForState([&](const json& s) { return s.at("panes")[0].at("selected") == other; });
  EXPECT_EQ(current.at("panes")[0].at("selected"), other) << current.dump();
  EXPECT_TRUE(waitUntil([&] {
    const auto stacking = witnessStacking();
    const auto above = std::find(stacking.begin(), stacking.end(), other);
    const auto below = std::find(stacking.begin(), stacking.end(), wasSelected);
    return above != stacking.end() && below != stacking.end() && above > below;
  })) << "the selected tab's window is not above the other";

  // Its right arrow moves it into the right pane, onto that pane's frame.
  targets = tabTargets(current, 0, other);
  const auto right = std::find_if(targets.moves.begin(), targets.moves.end(),
                                  [](const auto& move) { return move.first == PaneMoveDirection::right; });
  ASSERT_NE(right, targets.moves.end());
  ASSERT_TRUE(click(right->second.x, right->second.y));
  current = waitForState([&](const json& s) { return paneOf(s, other) == 1; });
  ASSERT_EQ(paneOf(current, other), 1) << current.dump();
  EXPECT_EQ(current.at("panes")[1].at("windows").size(), 2u);
  EXPECT_TRUE(waitForFrame(other, rectOf(current.at("panes")[1].at("frame"))));

  // The close button of the right pane's other tab closes that window: its
  // client is asked to close and ends, and the pane lets it go.
  const std::vector<xcb_window_t> rightWindows = windowsOf(current.at("panes")[1]);
  const xcb_window_t doomed = rightWindows[0] == other ? rightWindows[1] : rightWindows[0];
  targets = tabTargets(current, 1, doomed);
  ASSERT_TRUE(click(targets.close.x, targets.close.y));
  TestClient* doomedClient = nullptr;
  for (const auto& client : clients) {
    if (client->window == doomed) doomedClient = client.get();
  }
  ASSERT_NE(doomedClient, nullptr);
  EXPECT_TRUE(doomedClient->process.wait(kSettleTimeout).has_value()) << "the closed window's client still runs";
  current = waitForState([&](const json& s) { return paneOf(s, doomed) == -1; });
  EXPECT_EQ(paneOf(current, doomed), -1) << current.dump();
  EXPECT_EQ(paneOf(current, other), 1);

  // Control+Alt+Right moves the focused window's tab to the right.
  const xcb_window_t stayed = wasSelected;
  ASSERT_EQ(paneOf(current, stayed), 0) << current.dump();
  ASSERT_TRUE(activate(stayed));
  ASSERT_TRUE(xdotool({"key", "--clearmodifiers", "ctrl+alt+Right"}));
  current = waitForState([&](const json& s) { return paneOf(s, stayed) == 1; });
  ASSERT_EQ(paneOf(current, stayed), 1) << current.dump();
  EXPECT_TRUE(waitForFrame(stayed, rectOf(current.at("panes")[1].at("frame"))));
}

// Through the tray menu to the settings window, a new chord for "move left"
// recorded there is stored in the settings file and moves tabs at once.
TEST_F(ProgramTest, ChordRecordedInTheSettingsWindowIsStoredAndTakesEffect) {
  const std::optional<std::string> panel = startTray();
  ASSERT_TRUE(panel) << "trayer did not come up";

  const auto clients = startClients("chord", 2);
  ASSERT_EQ(clients.size(), 2u);
  ASSERT_FALSE(startTessarapane().is_null());

  // The tray icon: a window of this program's inside the tray.
  std::optional<Rect> icon;
  ASSERT_TRUE(waitUntil([&] {
    const auto tree = Subprocess::run({"xwininfo", "-tree", "-root"}, 5.0);
    if (!tree) return false;
    std::istringstream lines(tree->output);
    std::string line;
    while (std::getline(lines, line)) {
      // "0x600006 "tessarapane": ("tessarapane" "Tessarapane")  22x22+0+0  +1417+1"
      if (line.find("essarapane\")") == std::string::npos) continue;
      int width = 0, height = 0, x = 0, y = 0, rx = 0, ry = 0;
      const std::size_t geometry = line.rfind(")  ");
      if (geometry == std::string::npos ||
          std::sscanf(line.c_str() + geometry + 3, "%dx%d+%d+%d  +%d+%d", &width, &height, &rx, &ry, &x, &y) != 6) {
        continue;
      }
      // Inside the tray panel at the top right, a small square.
      if (width > 4 && width <= 32 && height > 4 && height <= 32 && y < 24 && x >= 1440 - 120) {
        icon = Rect(x, y, width, height);
        return true;
      }
    }
    return false;
  }, kStartTimeout)) << "no tray icon of the program in trayer";

  // The menu's items from the bottom: quit, the permission settings, the hot
  // key settings.
  const auto visibleWindows = [&] {
    const auto found = Subprocess::run(
        {"xdotool", "search", "--onlyvisible", "--pid", std::to_string(program_->pid())}, 5.0);
    return found ? std::count(found->output.begin(), found->output.end(), '\n') : 0;
  };
  // class | name | type of each window of the program, mapped or not.
  const auto programWindows = [&] {
    std::multiset<std::string> windows;
    const auto ids = Subprocess::run({"xdotool", "search", "--pid", std::to_string(program_->pid())}, 5.0);
    std::istringstream idLines(ids ? ids->output : "");
    for (std::string id; std::getline(idLines, id);) {
      const auto props = Subprocess::run({"xprop", "-id", id, "WM_CLASS", "_NET_WM_NAME", "_NET_WM_WINDOW_TYPE"}, 5.0);
      std::string entry;
      std::istringstream propLines(props ? props->output : "");
      for (std::string line; std::getline(propLines, line);) {
        const std::size_t equals = line.find(" = ");
        entry += (entry.empty() ? "" : " | ") + (equals == std::string::npos ? "none" : line.substr(equals + 3));
      }
      windows.insert(entry);
    }
    return windows;
  };
  const auto shownBefore = visibleWindows();
  ASSERT_TRUE(xdotool({"mousemove", "--sync", std::to_string(std::lround(icon->midX())),
                       std::to_string(std::lround(icon->midY())), "click", "3"}));
  ASSERT_TRUE(waitUntil([&] { return visibleWindows() > shownBefore; }, kSettleTimeout)) << "the tray menu did not open";
  const std::multiset<std::string> withMenu = programWindows();
  ASSERT_TRUE(xdotool({"key", "--delay", "80", "Up", "Up", "Up", "Return"}));
  std::optional<xcb_window_t> settingsWindow;
  ASSERT_TRUE(waitUntil([&] {
    const auto found = Subprocess::run({"xdotool", "search", "--onlyvisible", "--name", "Keyboard Shortcuts"}, 5.0);
    if (found && found->status == 0 && !found->output.empty()) {
      settingsWindow = static_cast<xcb_window_t>(std::strtoul(found->output.c_str(), nullptr, 10));
    }
    return settingsWindow.has_value();
  }, kSettleTimeout)) << "the hot key settings window did not open";
  ASSERT_TRUE(activate(*settingsWindow));

  // The first button of the window records "move left"; Control+Alt+J is
  // the new chord.
  ASSERT_TRUE(xdotool({"key", "--clearmodifiers", "space"}));
  ASSERT_TRUE(xdotool({"key", "--clearmodifiers", "ctrl+alt+j"}));
  const KeyChord wanted{38, KeyChord::kControl | KeyChord::kOption};  // J
  std::optional<HotKeyBindings> stored;
  EXPECT_TRUE(waitUntil([&] {
    ui::QSettingsUserDefaults defaults(QString::fromStdString(settingsPath()));
    const auto saved = defaults.boolValue("hotKeyBindingsSaved");
    const auto data = defaults.dataValue("hotKeyBindings");
    if (!saved || !*saved || !data) return false;
    stored = HotKeyBindingsCoding::decode(*data);
    return stored && stored->contains(HotKeyAction::moveLeft) && stored->at(HotKeyAction::moveLeft) == wanted;
  }, kSettleTimeout)) << "the settings file holds no Control+Alt+J for move left:\n" << readFile(settingsPath());
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->at(HotKeyAction::moveRight), KeyChord::defaultChord(HotKeyAction::moveRight));

  // The new chord moves the focused tab left.
  ASSERT_EQ(ctl({"start", "split2"}).status, 0);
  json current = waitForState([](const json& s) {
    return s.at("panes").size() == 2 && s.at("panes")[1].at("windows").size() == 1;
  });
  ASSERT_EQ(current.at("panes").size(), 2u) << current.dump();

  // With the tab strips up, and before with the tray menu open, every window of the program carries its class and
  // a name, for window managers, pagers and their rules; the settings window is an ordinary one.
  const std::string kClass = "\"tessarapane\", \"Tessarapane\" | ";
  const std::string kStrip = kClass + "\"Tessarapane tab strip\" | _NET_WM_WINDOW_TYPE_UTILITY, "
                             "_KDE_NET_WM_WINDOW_TYPE_OVERRIDE, _NET_WM_WINDOW_TYPE_NORMAL";
  const std::string kTrayIcon = kClass + "\"Tessarapane\" | _KDE_NET_WM_WINDOW_TYPE_OVERRIDE, _NET_WM_WINDOW_TYPE_NORMAL";
  EXPECT_EQ(withMenu, (std::multiset<std::string>{kTrayIcon, kClass + "\"Tessarapane menu\" | _NET_WM_WINDOW_TYPE_NORMAL"}));
  EXPECT_EQ(programWindows(), (std::multiset<std::string>{
      kTrayIcon, kClass + "\"Keyboard Shortcuts\" | _NET_WM_WINDOW_TYPE_NORMAL", kStrip, kStrip}));

  const xcb_window_t moving = windowsOf(current.at("panes")[1]).at(0);
  ASSERT_TRUE(activate(moving));
  ASSERT_TRUE(xdotool({"key", "--clearmodifiers", "ctrl+alt+j"}));
  current = waitForState([&](const json& s) { return paneOf(s, moving) == 0; });
  ASSERT_EQ(paneOf(current, moving), 0) << current.dump();
  EXPECT_TRUE(waitForFrame(moving, rectOf(current.at("panes")[0].at("frame"))));
}

// logind's signals on the stand-in system bus pause and resume the layout;
// the log shows each step with its exact text, and the resume lays the
// windows out again.
TEST_F(ProgramTest, SleepAndLockSignalsPauseAndResume) {
  const auto clients = startClients("pause", 2);
  ASSERT_EQ(clients.size(), 2u);
  ASSERT_FALSE(startTessarapane().is_null());
  ASSERT_EQ(ctl({"start", "split2"}).status, 0);
  json current = waitForState([](const json& s) { return s.at("panes").size() == 2; });
  expectPanesWitnessed(current);

  const std::string bus = "--bus=" + session().systemBusAddress();
  const auto send = [&](const std::vector<std::string>& signal) {
    std::vector<std::string> argv{"dbus-send", bus, "--type=signal"};
    argv.insert(argv.end(), signal.begin(), signal.end());
    const auto result = Subprocess::run(argv, 10.0);
    return result && result->status == 0;
  };
  const std::vector<std::string> sleep{"/org/freedesktop/login1", "org.freedesktop.login1.Manager.PrepareForSleep",
                                       "boolean:true"};
  const std::vector<std::string> wake{"/org/freedesktop/login1", "org.freedesktop.login1.Manager.PrepareForSleep",
                                      "boolean:false"};
  const std::vector<std::string> lock{"/org/freedesktop/login1/session/auto", "org.freedesktop.login1.Session.Lock"};
  const std::vector<std::string> unlock{"/org/freedesktop/login1/session/auto",
                                        "org.freedesktop.login1.Session.Unlock"};
  const auto logHas = [&](const std::string& text) { return log().find(std::string(kLogPrefix) + text) != std::string::npos; };
  const auto pausedIs = [&](const std::vector<std::string>& reasons) {
    return [reasons](const json& s) { return s.at("paused").get<std::vector<std::string>>() == reasons; };
  };

  ASSERT_TRUE(send(sleep));
  current = waitForState(pausedIs({"systemAsleep"}));
  EXPECT_EQ(current.at("paused"), json::array({"systemAsleep"}));
  EXPECT_TRUE(waitUntil([&] { return logHas("pause begin systemAsleep started=true active=true"); })) << log();
  EXPECT_TRUE(logHas("paused screens=")) << log();

  // Locked while asleep: waking alone does not resume.
  ASSERT_TRUE(send(lock));
  current = waitForState(pausedIs({"screenLocked", "systemAsleep"}));
  EXPECT_EQ(current.at("paused"), json::array({"screenLocked", "systemAsleep"}));
  EXPECT_TRUE(waitUntil([&] { return logHas("pause begin screenLocked started=false active=true"); })) << log();
  ASSERT_TRUE(send(wake));
  current = waitForState(pausedIs({"screenLocked"}));
  EXPECT_EQ(current.at("paused"), json::array({"screenLocked"}));
  EXPECT_TRUE(waitUntil([&] { return logHas("pause end systemAsleep resumed=false"); })) << log();

  // A window pushed away while paused comes back with the resume.
  const xcb_window_t pushed = windowsOf(current.at("panes")[0]).at(0);
  const Rect paneFrame = rectOf(current.at("panes")[0].at("frame"));
  ASSERT_TRUE(xdotool({"windowmove", "--sync", std::to_string(pushed), "900", "500"}));
  ASSERT_TRUE(waitUntil([&] {
    const auto frame = witnessFrame(pushed);
    return frame && !near(*frame, paneFrame);
  }));

  ASSERT_TRUE(send(unlock));
  current = waitForState(pausedIs({}));
  EXPECT_EQ(current.at("paused"), json::array());
  EXPECT_TRUE(waitUntil([&] { return logHas("pause end all (unlock) resumed=true"); })) << log();
  EXPECT_TRUE(waitForFrame(pushed, paneFrame, 10.0)) << "the resume did not lay the window out again";
  EXPECT_TRUE(waitUntil([&] { return logHas("resume round 0 after screens="); }, 5.0)) << log();
}

// SIGTERM ends the program with the windows where the layout put them and
// the layout remembered; the next start brings it back a second after
// launch.
TEST_F(ProgramTest, TerminationKeepsTheLayoutAndARestartRestoresIt) {
  const auto clients = startClients("restart", 2);
  ASSERT_EQ(clients.size(), 2u);
  ASSERT_FALSE(startTessarapane().is_null());
  ASSERT_EQ(ctl({"start", "split2"}).status, 0);
  json current = waitForState([](const json& s) { return s.at("panes").size() == 2; });
  ASSERT_EQ(current.at("layout"), "split2");
  expectPanesWitnessed(current);
  std::map<xcb_window_t, Rect> placed;
  for (const json& pane : current.at("panes")) {
    for (xcb_window_t window : windowsOf(pane)) placed[window] = rectOf(pane.at("frame"));
  }

  program_->signal(SIGTERM);
  EXPECT_EQ(program_->wait(kSettleTimeout), std::optional<int>(0)) << log();
  settle();
  for (const auto& [window, frame] : placed) {
    const auto seen = witnessFrame(window);
    EXPECT_TRUE(seen && near(*seen, frame)) << "window " << window << " moved at exit to " << describe(seen);
  }
  {
    ui::QSettingsUserDefaults defaults(QString::fromStdString(settingsPath()));
    EXPECT_EQ(defaults.stringValue("rememberedLayout"), std::optional<std::string>("tabs:split2"));
  }

  // Away from their panes, so the restore has something to do.
  for (const auto& client : clients) ASSERT_TRUE(client->command("move 200 150"));
  for (const auto& [window, frame] : placed) {
    ASSERT_TRUE(waitUntil([&, window = window, frame = frame] {
      const auto seen = witnessFrame(window);
      return seen && !near(*seen, frame);
    }));
  }

  const double launched = monotonicNow();
  const json first = startTessarapane();
  ASSERT_FALSE(first.is_null());
  if (monotonicNow() - launched < 0.9) {
    EXPECT_TRUE(first.at("layout").is_null()) << "restored at once";
  }
  current = waitForState([](const json& s) { return s.at("layout") == "split2"; }, 10.0);
  const double restoredAfter = monotonicNow() - launched;
  ASSERT_EQ(current.at("layout"), "split2") << current.dump() << "\n" << log();
  EXPECT_GE(restoredAfter, 1.0) << "restored before the one-second delay";
  std::set<xcb_window_t> held;
  for (const json& pane : current.at("panes")) {
    for (xcb_window_t window : windowsOf(pane)) held.insert(window);
  }
  for (const auto& client : clients) EXPECT_TRUE(held.contains(client->window)) << current.dump();
  expectPanesWitnessed(current);
}

}  // namespace
}  // namespace tessarapane::x11test
