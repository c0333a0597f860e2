// The real tessarapane program on the test desktop: driven through
// `tessarapane ctl`, clicks on its tab strips and its tray menu, key presses,
// a session manager and signals on a stand-in system bus; every effect is
// witnessed from outside (xwininfo and the frame extents, the window
// manager's lists, the program's log and its settings file).
#include "ProgramTest.h"

#include <signal.h>

#include <set>

#include "hotkeys/HotKeyBindingsCoding.h"
#include "hotkeys/KeyChord.h"
#include "ui/services/QSettingsUserDefaults.h"

namespace tessarapane::x11test {
namespace {

constexpr const char* kLogPrefix = "org.tessarapane.Tessarapane [Pause] ";

// A day with the program, as a user and the session see it: the
// one-instance rule; through the tray menu to the settings window, where a
// new chord for "move left" is recorded and stored in the settings file;
// every window of the program named for window managers; tab clicks
// (select, move, close); the move hot keys, the new chord among them, going
// on after a session checkpoint and a cancelled logout, neither of which
// asks to interact or to be restarted (the autostart entry starts the
// program); the system sleeping; Die ending it with the windows where the
// layout put them and the layout remembered (what a launch does with it is
// AppDelegateSim's; SIGTERM takes the same way out, PauseSignals tells it
// arrives).
TEST_F(ProgramTest, ADayWithTheProgramActsOnRealWindowsAndTheSessionsEndKeepsTheLayout) {
  const std::string managerErrors = home_ + "/session-manager.err";
  auto manager = Subprocess::start({TESSARAPANE_MINI_SESSION_MANAGER}, {{}, true, true, managerErrors});
  ASSERT_TRUE(manager);
  const auto listening = manager->waitForLine("listening ", kSettleTimeout);
  ASSERT_TRUE(listening) << readFile(managerErrors);
  programEnvironment_["SESSION_MANAGER"] = listening->substr(std::string("listening ").size());

  auto clients = startClients("tab", 3, 60, 200);
  ASSERT_EQ(clients.size(), 3u);
  ASSERT_FALSE(startTessarapane().is_null());
  ASSERT_TRUE(manager->waitForLine("registered", kSettleTimeout)) << "the program did not register";
  const Outcome second = run({});
  EXPECT_EQ(second.status, 1);
  EXPECT_NE(second.errors.find("Tessarapane is already running on this display."), std::string::npos) << second.errors;
  EXPECT_TRUE(program_->isRunning());

  // The tray icon: a window of this program's inside the tray panel at the
  // top right, a small square.
  std::optional<Rect> icon;
  ASSERT_TRUE(waitUntil([&] {
    for (xcb_window_t window : search({"--classname", "^tessarapane$"})) {
      const auto frame = witnessFrame(window);
      if (frame && frame->width() > 4 && frame->width() <= 32 && frame->height() > 4 && frame->height() <= 32 &&
          frame->y() < 24 && frame->x() >= 1440 - 120) {
        icon = frame;
      }
    }
    return icon.has_value();
  }, kStartTimeout)) << "no tray icon of the program in trayer";

  // class | name | type of each window of the program, mapped or not.
  const std::string pid = std::to_string(program_->pid());
  const auto programWindows = [&] {
    std::multiset<std::string> windows;
    for (xcb_window_t window : search({"--pid", pid})) {
      const auto props = Subprocess::run({"xprop", "-id", std::to_string(window), "WM_CLASS", "_NET_WM_NAME", "_NET_WM_WINDOW_TYPE"}, 5.0);
      std::string entry;
      std::istringstream lines(props ? props->output : "");
      for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find(" = ");
        entry += (entry.empty() ? "" : " | ") + (equals == std::string::npos ? "none" : line.substr(equals + 3));
      }
      windows.insert(entry);
    }
    return windows;
  };
  // The menu's items from the bottom: quit, the permission settings, the hot
  // key settings.
  const auto shownBefore = search({"--onlyvisible", "--pid", pid}).size();
  ASSERT_TRUE(xdotool({"mousemove", "--sync", std::to_string(std::lround(icon->midX())), std::to_string(std::lround(icon->midY())),
                       "click", "3"}));
  ASSERT_TRUE(waitUntil([&] { return search({"--onlyvisible", "--pid", pid}).size() > shownBefore; }, kSettleTimeout))
      << "the tray menu did not open";
  const std::multiset<std::string> withMenu = programWindows();
  ASSERT_TRUE(xdotool({"key", "--delay", "80", "Up", "Up", "Up", "Return"}));
  std::vector<xcb_window_t> settingsWindow;
  ASSERT_TRUE(waitUntil([&] { return !(settingsWindow = search({"--onlyvisible", "--name", "Keyboard Shortcuts"})).empty(); },
                        kSettleTimeout)) << "the hot key settings window did not open";
  ASSERT_TRUE(activate(settingsWindow.front()));

  // The first button of the window records "move left"; Control+Alt+J is
  // the new chord.
  ASSERT_TRUE(xdotool({"key", "--clearmodifiers", "space"}));
  ASSERT_TRUE(xdotool({"key", "--clearmodifiers", "ctrl+alt+j"}));
  const KeyChord wanted{38, KeyChord::kControl | KeyChord::kOption};  // J
  std::optional<HotKeyBindings> stored;
  EXPECT_TRUE(waitUntil([&] {
    ui::QSettingsUserDefaults defaults(QString::fromStdString(settingsPath()));
    const auto data = defaults.dataValue("hotKeyBindings");
    if (defaults.boolValue("hotKeyBindingsSaved") != true || !data) return false;
    stored = HotKeyBindingsCoding::decode(*data);
    return stored && stored->contains(HotKeyAction::moveLeft) && stored->at(HotKeyAction::moveLeft) == wanted;
  }, kSettleTimeout)) << "the settings file holds no Control+Alt+J for move left:\n" << readFile(settingsPath());
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->at(HotKeyAction::moveRight), KeyChord::defaultChord(HotKeyAction::moveRight));

  ASSERT_EQ(ctl({"start", "split2"}).status, 0);
  json current = waitForState([](const json& s) {
    return s.at("panes").size() == 2 && s.at("panes")[0].at("windows").size() == 2 && s.at("panes")[1].at("windows").size() == 1;
  });
  ASSERT_EQ(current.at("panes").size(), 2u) << current.dump();
  EXPECT_EQ(framesOff(framesOf(current)), "");

  // With the tab strips up, and before with the tray menu open, every window
  // of the program carries its class and a name, for window managers, pagers
  // and their rules; the settings window is an ordinary one.
  const std::string kClass = "\"tessarapane\", \"Tessarapane\" | ";
  const std::string kStrip = kClass + "\"Tessarapane tab strip\" | _NET_WM_WINDOW_TYPE_UTILITY, "
                             "_KDE_NET_WM_WINDOW_TYPE_OVERRIDE, _NET_WM_WINDOW_TYPE_NORMAL";
  const std::string kTrayIcon = kClass + "\"Tessarapane\" | _KDE_NET_WM_WINDOW_TYPE_OVERRIDE, _NET_WM_WINDOW_TYPE_NORMAL";
  // Four strips exist, hidden, from the start: a layout takes them up instead of making windows.
  EXPECT_EQ(withMenu, (std::multiset<std::string>{kTrayIcon, kClass + "\"Tessarapane menu\" | _NET_WM_WINDOW_TYPE_NORMAL",
                                                  kStrip, kStrip, kStrip, kStrip}));
  EXPECT_EQ(programWindows(), (std::multiset<std::string>{kTrayIcon, kClass + "\"Keyboard Shortcuts\" | _NET_WM_WINDOW_TYPE_NORMAL",
                                                          kStrip, kStrip, kStrip, kStrip}));

  // Select the tab that is not selected: it becomes the selection and its
  // window comes above the other of its pane.
  const xcb_window_t stayed = current.at("panes")[0].at("selected").get<xcb_window_t>();
  const xcb_window_t other = otherOf(current.at("panes")[0], stayed);
  ASSERT_TRUE(click(tabTargets(current, 0, other).at(0)));
  current = waitForState([&](const json& s) { return s.at("panes")[0].at("selected") == other; });
  EXPECT_EQ(current.at("panes")[0].at("selected"), other) << current.dump();
  EXPECT_TRUE(waitUntil([&] {
    const auto stacking = witnessStacking();
    const auto above = std::ranges::find(stacking, other), below = std::ranges::find(stacking, stayed);
    return above != stacking.end() && below != stacking.end() && above > below;
  })) << "the selected tab's window is not above the other";

  // Its right arrow moves it into the right pane, onto that pane's frame.
  const auto moves = directions(current, 0);
  ASSERT_TRUE(click(tabTargets(current, 0, other).at(2 + (std::ranges::find(moves, PaneMoveDirection::right) - moves.begin()))));
  current = waitForState([&](const json& s) { return paneOf(s, other) == 1; });
  ASSERT_EQ(paneOf(current, other), 1) << current.dump();
  EXPECT_EQ(current.at("panes")[1].at("windows").size(), 2u);
  EXPECT_EQ(framesOff(framesOf(current)), "");

  // The close button of the right pane's other tab closes that window: its
  // client is asked to close and ends, and the pane lets it go.
  const xcb_window_t doomed = otherOf(current.at("panes")[1], other);
  ASSERT_TRUE(click(tabTargets(current, 1, doomed).at(1)));
  const auto doomedClient = std::ranges::find_if(clients, [&](const auto& c) { return c->window == doomed; });
  ASSERT_NE(doomedClient, clients.end());
  EXPECT_TRUE((*doomedClient)->process.wait(kSettleTimeout).has_value()) << "the closed window's client still runs";
  current = waitForState([&](const json& s) { return paneOf(s, doomed) == -1; });
  EXPECT_EQ(std::make_pair(paneOf(current, doomed), paneOf(current, other)), std::make_pair(-1, 1)) << current.dump();
  clients.erase(doomedClient);

  // A checkpoint and a cancelled logout are answered at once; the hot keys
  // move the focused window's tab after each.
  const auto saveAndGoOn = [&](const std::vector<std::string>& commands, const std::string& key, int toPane) {
    const std::size_t before = manager->history().size();
    ASSERT_TRUE(manager->writeLine(commands[0]));
    ASSERT_EQ(manager->waitForLine("save-yourself-done", kSettleTimeout), "save-yourself-done 1") << commands[0];
    for (std::size_t i = 1; i < commands.size(); ++i) ASSERT_TRUE(manager->writeLine(commands[i]));
    const std::vector<std::string> said(manager->history().begin() + static_cast<std::ptrdiff_t>(before), manager->history().end());
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
  ASSERT_NO_FATAL_FAILURE(saveAndGoOn({"logout", "cancel"}, "ctrl+alt+j", 0));

  // logind's signal on the stand-in system bus pauses the layout before the
  // system sleeps and resumes it on waking: the log shows each step with its
  // exact text, and a window pushed away while paused is laid out again.
  // (The order of several reasons is PauseStories' and ControlStory's.)
  const auto prepareForSleep = [&](bool asleep) {
    return succeeds({"dbus-send", "--bus=" + session().systemBusAddress(), "--type=signal", "/org/freedesktop/login1",
                     "org.freedesktop.login1.Manager.PrepareForSleep", asleep ? "boolean:true" : "boolean:false"});
  };
  const auto logSays = [&](const std::string& text) { return waitUntil([&] { return logHas(kLogPrefix + text); }, 5.0); };
  ASSERT_TRUE(prepareForSleep(true));
  current = waitForState([](const json& s) { return s.at("paused") == json::array({"systemAsleep"}); });
  EXPECT_EQ(current.at("paused"), json::array({"systemAsleep"}));
  EXPECT_TRUE(logSays("pause begin systemAsleep started=true active=true") && logSays("paused screens=")) << log();

  const xcb_window_t pushed = windowsOf(current.at("panes")[0]).at(0);
  const Rect paneFrame = rectOf(current.at("panes")[0].at("frame"));
  ASSERT_TRUE(xdotool({"windowmove", "--sync", std::to_string(pushed), "900", "500"}));
  ASSERT_TRUE(waitUntil([&] { return !near(witnessFrame(pushed).value_or(paneFrame), paneFrame); }));
  ASSERT_TRUE(prepareForSleep(false));
  current = waitForState([](const json& s) { return s.at("paused").empty(); });
  EXPECT_EQ(current.at("paused"), json::array());
  EXPECT_TRUE(logSays("pause end systemAsleep resumed=true")) << log();
  EXPECT_EQ(framesOff({{pushed, paneFrame}}), "") << "the resume did not lay the window out again";
  EXPECT_TRUE(logSays("resume round 0 after screens=")) << log();


  ASSERT_NO_FATAL_FAILURE(endsKeepingTheLayout(current, [&] { ASSERT_TRUE(manager->writeLine("die")); }));
}

}  // namespace
}  // namespace tessarapane::x11test
