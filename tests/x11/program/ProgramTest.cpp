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

// A day with the program, as a user and the session see it: ctl's answers
// without an instance and the one-instance rule; tab clicks (select, move,
// close); the move hot keys going on after a session checkpoint and a
// cancelled logout, neither of which asks to interact or to be restarted (the
// autostart entry starts the program); Die and SIGTERM ending it with the
// windows where the layout put them and the layout remembered; a restart
// bringing the layout back a second after launch.
TEST_F(ProgramTest, ControlTabsHotKeysAndTheSessionsEndActOnRealWindowsAndARestartRestoresTheLayout) {
  const Outcome notRunning = ctl({"state"});
  EXPECT_EQ(notRunning.status, 1);
  EXPECT_NE(notRunning.errors.find("not running"), std::string::npos) << notRunning.errors;
  for (const auto& bad : std::vector<std::vector<std::string>>{
           {}, {"start"}, {"start", "split5"}, {"move", "sideways"}, {"grid", "now"}, {"launch"}}) {
    const Outcome outcome = ctl(bad);
    EXPECT_EQ(outcome.status, 2) << "ctl with " << bad.size() << " words: " << outcome.errors;
    EXPECT_NE(outcome.errors.find("usage"), std::string::npos) << outcome.errors;
  }

  Subprocess::Options options;
  options.pipeStdin = true;
  options.captureStdout = true;
  options.stderrPath = home_ + "/session-manager.err";
  auto manager = Subprocess::start({TESSARAPANE_MINI_SESSION_MANAGER}, options);
  ASSERT_TRUE(manager);
  const auto listening = manager->waitForLine("listening ", kSettleTimeout);
  ASSERT_TRUE(listening) << readFile(options.stderrPath);
  programEnvironment_["SESSION_MANAGER"] = listening->substr(std::string("listening ").size());

  std::vector<std::unique_ptr<TestClient>> clients;
  for (int i = 0; i < 3; ++i) {
    clients.push_back(startClient({"--title", "tab " + std::to_string(i), "--geometry",
                                   "320x240+" + std::to_string(60 + 200 * i) + "+" + std::to_string(80 + 60 * i)}));
    ASSERT_TRUE(clients.back());
  }
  ASSERT_FALSE(startTessarapane().is_null());
  ASSERT_TRUE(manager->waitForLine("registered", kSettleTimeout)) << "the program did not register";
  const Outcome second = run({}, 20.0);
  EXPECT_EQ(second.status, 1);
  EXPECT_NE(second.errors.find("Tessarapane is already running on this display."), std::string::npos)
      << second.errors;
  EXPECT_TRUE(program_->isRunning());

  ASSERT_EQ(ctl({"start", "split2"}).status, 0);
  json current = waitForState([](const json& s) {
    return s.at("panes").size() == 2 && s.at("panes")[0].at("windows").size() == 2 &&
           s.at("panes")[1].at("windows").size() == 1;
  });
  ASSERT_EQ(current.at("panes").size(), 2u) << current.dump();
  EXPECT_EQ(framesOff(framesOf(current)), "");

  // Select the tab that is not selected: it becomes the selection and its
  // window comes above the other of its pane.
  const std::vector<xcb_window_t> left = windowsOf(current.at("panes")[0]);
  ASSERT_EQ(left.size(), 2u);
  const xcb_window_t stayed = current.at("panes")[0].at("selected").get<xcb_window_t>();
  const xcb_window_t other = stayed == left[0] ? left[1] : left[0];
  TabTargets targets = tabTargets(current, 0, other);
  ASSERT_TRUE(click(targets.select.x, targets.select.y));
  current = waitForState([&](const json& s) { return s.at("panes")[0].at("selected") == other; });
  EXPECT_EQ(current.at("panes")[0].at("selected"), other) << current.dump();
  EXPECT_TRUE(waitUntil([&] {
    const auto stacking = witnessStacking();
    const auto above = std::find(stacking.begin(), stacking.end(), other);
    const auto below = std::find(stacking.begin(), stacking.end(), stayed);
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
  EXPECT_EQ(framesOff(framesOf(current)), "");

  // The close button of the right pane's other tab closes that window: its
  // client is asked to close and ends, and the pane lets it go.
  const std::vector<xcb_window_t> rightWindows = windowsOf(current.at("panes")[1]);
  const xcb_window_t doomed = rightWindows[0] == other ? rightWindows[1] : rightWindows[0];
  targets = tabTargets(current, 1, doomed);
  ASSERT_TRUE(click(targets.close.x, targets.close.y));
  const auto doomedClient = std::find_if(clients.begin(), clients.end(), [&](const auto& c) { return c->window == doomed; });
  ASSERT_NE(doomedClient, clients.end());
  EXPECT_TRUE((*doomedClient)->process.wait(kSettleTimeout).has_value()) << "the closed window's client still runs";
  current = waitForState([&](const json& s) { return paneOf(s, doomed) == -1; });
  EXPECT_EQ(paneOf(current, doomed), -1) << current.dump();
  EXPECT_EQ(paneOf(current, other), 1);
  clients.erase(doomedClient);

  // A checkpoint and a cancelled logout are answered at once; the hot keys
  // move the focused window's tab after each.
  const auto saveAndGoOn = [&](const std::vector<std::string>& commands, const std::string& key, int toPane) {
    const std::size_t before = manager->history().size();
    ASSERT_TRUE(manager->writeLine(commands[0]));
    ASSERT_EQ(manager->waitForLine("save-yourself-done", kSettleTimeout), "save-yourself-done 1") << commands[0];
    for (std::size_t i = 1; i < commands.size(); ++i) ASSERT_TRUE(manager->writeLine(commands[i]));
    const std::vector<std::string> said(manager->history().begin() + static_cast<std::ptrdiff_t>(before),
                                        manager->history().end());
    EXPECT_EQ(std::ranges::count(said, "property RestartStyleHint 3"), 1) << commands[0];
    for (const std::string& line : said) EXPECT_EQ(line.find("request"), std::string::npos) << line;

    ASSERT_TRUE(activate(stayed));
    ASSERT_TRUE(xdotool({"key", "--clearmodifiers", key}));
    current = waitForState([&](const json& s) { return paneOf(s, stayed) == toPane; });
    ASSERT_FALSE(current.is_null()) << "no control interface after " << commands[0] << ":\n" << log();
    ASSERT_EQ(paneOf(current, stayed), toPane) << commands[0] << ": " << current.dump();
    EXPECT_EQ(framesOff(framesOf(current)), "");
  };
  ASSERT_NO_FATAL_FAILURE(saveAndGoOn({"checkpoint"}, "ctrl+alt+Right", 1));
  ASSERT_NO_FATAL_FAILURE(saveAndGoOn({"logout", "cancel"}, "ctrl+alt+Left", 0));

  // Die, and later SIGTERM, end it with the windows where the layout put
  // them (witnessed at once, not waited for) and the layout remembered.
  const auto endsKeepingTheLayout = [&](const std::function<void()>& end) {
    const std::map<xcb_window_t, Rect> placed = framesOf(current);
    end();
    EXPECT_EQ(program_->wait(kSettleTimeout), std::optional<int>(0)) << log();
    settle();
    EXPECT_EQ(misfits(placed, 0, near), "") << "moved at exit";
    ui::QSettingsUserDefaults defaults(QString::fromStdString(settingsPath()));
    EXPECT_EQ(defaults.stringValue("rememberedLayout"), std::optional<std::string>("tabs:split2"));
    return placed;
  };
  const std::map<xcb_window_t, Rect> placed = endsKeepingTheLayout([&] { ASSERT_TRUE(manager->writeLine("die")); });

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
  for (const auto& [window, frame] : framesOf(current)) held.insert(window);
  EXPECT_EQ(held, (std::set<xcb_window_t>{stayed, other})) << current.dump();
  EXPECT_EQ(framesOff(framesOf(current)), "");
  endsKeepingTheLayout([&] { program_->signal(SIGTERM); });
}

// Through the tray menu to the settings window, a new chord for "move left"
// recorded there is stored in the settings file and moves tabs at once; then
// the system sleeps and the screen locks.
TEST_F(ProgramTest, ChordRecordedInTheSettingsWindowTakesEffectAndSleepAndLockPauseAndResume) {
  ASSERT_TRUE(startTray()) << "trayer did not come up";

  const auto clients = startClients("chord", 2);
  ASSERT_EQ(clients.size(), 2u);
  ASSERT_FALSE(startTessarapane().is_null());

  // The tray icon: a window of this program's inside the tray panel at the
  // top right, a small square.
  std::optional<Rect> icon;
  ASSERT_TRUE(waitUntil([&] {
    const auto found = Subprocess::run({"xdotool", "search", "--classname", "^tessarapane$"}, 5.0);
    std::istringstream ids(found ? found->output : "");
    for (std::string id; std::getline(ids, id);) {
      const auto frame = witnessFrame(static_cast<xcb_window_t>(std::stoul(id)));
      if (frame && frame->width() > 4 && frame->width() <= 32 && frame->height() > 4 && frame->height() <= 32 &&
          frame->y() < 24 && frame->x() >= 1440 - 120) {
        icon = frame;
      }
    }
    return icon.has_value();
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
  EXPECT_EQ(framesOff(framesOf(current)), "");

  // logind's signal on the stand-in system bus pauses the layout before the
  // system sleeps and resumes it on waking: the log shows each step with its
  // exact text, and a window pushed away while paused is laid out again.
  // (The order of several reasons is PauseStories' and MappedPauses'.)
  const auto prepareForSleep = [&](bool asleep) {
    return succeeds({"dbus-send", "--bus=" + session().systemBusAddress(), "--type=signal", "/org/freedesktop/login1",
                     "org.freedesktop.login1.Manager.PrepareForSleep", asleep ? "boolean:true" : "boolean:false"});
  };
  const auto logHas = [&](const std::string& text) { return log().find(std::string(kLogPrefix) + text) != std::string::npos; };
  ASSERT_TRUE(prepareForSleep(true));
  current = waitForState([](const json& s) { return s.at("paused") == json::array({"systemAsleep"}); });
  EXPECT_EQ(current.at("paused"), json::array({"systemAsleep"}));
  EXPECT_TRUE(waitUntil([&] { return logHas("pause begin systemAsleep started=true active=true"); })) << log();
  EXPECT_TRUE(logHas("paused screens=")) << log();

  const xcb_window_t pushed = windowsOf(current.at("panes")[0]).at(0);
  const Rect paneFrame = rectOf(current.at("panes")[0].at("frame"));
  ASSERT_TRUE(xdotool({"windowmove", "--sync", std::to_string(pushed), "900", "500"}));
  ASSERT_TRUE(waitUntil([&] {
    const auto frame = witnessFrame(pushed);
    return frame && !near(*frame, paneFrame);
  }));
  ASSERT_TRUE(prepareForSleep(false));
  current = waitForState([](const json& s) { return s.at("paused").empty(); });
  EXPECT_EQ(current.at("paused"), json::array());
  EXPECT_TRUE(waitUntil([&] { return logHas("pause end systemAsleep resumed=true"); })) << log();
  EXPECT_EQ(framesOff({{pushed, paneFrame}}), "") << "the resume did not lay the window out again";
  EXPECT_TRUE(waitUntil([&] { return logHas("resume round 0 after screens="); }, 5.0)) << log();
}

}  // namespace
}  // namespace tessarapane::x11test
