#include "XSession.h"

#include <stdlib.h>
#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace tessarapane::x11test {

namespace {

// Openbox's own defaults plus no key bindings at all: its usual ones take
// Control+Alt+arrows, which the hot-key tests need.
constexpr const char* kOpenboxConfiguration = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <resistance><strength>0</strength><screen_edge_strength>0</screen_edge_strength></resistance>
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy><center>no</center></placement>
  <desktops><number>2</number><firstdesk>1</firstdesk></desktops>
  <margins><top>0</top><bottom>0</bottom><left>0</left><right>0</right></margins>
  <keyboard></keyboard>
  <mouse></mouse>
</openbox_config>
)";

// How a window manager starts on the test desktop. Every one but openbox
// keeps its stock configuration (key bindings included) in a private home
// and settings in memory, so the user's files are never read; compositing
// is off where a manager has it, to compare managers alike.
struct WindowManagerCommand {
  std::vector<std::string> argv;
  std::map<std::string, std::string> environment;
  bool sessionBus = false;  // for its settings service or its shortcuts daemon
};

std::optional<WindowManagerCommand> windowManagerCommand(const std::string& name, const std::string& directory) {
  if (name == "openbox") {
    const std::string configuration = directory + "/rc.xml";
    std::ofstream(configuration) << kOpenboxConfiguration;
    return WindowManagerCommand{{"openbox", "--sm-disable", "--config-file", configuration}, {}, false};
  }
  const std::map<std::string, std::string> gsettings{{"GSETTINGS_BACKEND", "memory"}};
  if (name == "xfwm4") return WindowManagerCommand{{"xfwm4", "--compositor=off", "--replace"}, {}, true};
  if (name == "marco") return WindowManagerCommand{{"marco", "--no-composite", "--sm-disable", "--replace"}, gsettings, true};
  if (name == "metacity") {
    return WindowManagerCommand{{"metacity", "--no-composite", "--sm-disable", "--replace"}, gsettings, true};
  }
  if (name == "mutter") return WindowManagerCommand{{"mutter", "--x11", "--sm-disable", "--replace"}, gsettings, true};
  if (name == "kwin_x11") {
    return WindowManagerCommand{{"kwin_x11", "--replace"}, {{"QT_QPA_PLATFORM", "xcb"}, {"KWIN_COMPOSE", "N"}}, true};
  }
  if (name == "icewm") return WindowManagerCommand{{"icewm", "--replace"}, {}, false};
  if (name == "fluxbox") {
    // Its stock style sets a wallpaper through fbsetbg, which without a
    // setter installed says so in a window of its own: it is left alone.
    std::filesystem::create_directories(directory + "/home/.fluxbox");
    std::ofstream(directory + "/home/.fluxbox/overlay") << "background: unset\n";
    return WindowManagerCommand{{"fluxbox"}, {}, false};
  }
  return std::nullopt;
}

// The last lines of every log under the session folder, so a failure on a
// machine that is gone afterwards (CI) still shows what the processes said.
void printLogTails(const std::string& directory) {
  constexpr std::size_t kTailLines = 25;
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(directory, error)) {
    if (!entry.is_regular_file() || entry.path().extension() != ".log") continue;
    std::ifstream file(entry.path());
    std::deque<std::string> tail;
    for (std::string line; std::getline(file, line);) {
      tail.push_back(line);
      if (tail.size() > kTailLines) tail.pop_front();
    }
    std::fprintf(stderr, "--- last lines of %s\n", entry.path().c_str());
    for (const auto& line : tail) std::fprintf(stderr, "%s\n", line.c_str());
  }
}

}  // namespace

std::string XSession::defaultWindowManager() {
  const char* chosen = std::getenv("TESSARAPANE_TEST_WM");
  return chosen && *chosen ? chosen : "openbox";
}

std::unique_ptr<XSession> XSession::start(const Options& options, std::string* error) {
  std::unique_ptr<XSession> session(new XSession());
  char pattern[] = "/tmp/tessarapane-x11-XXXXXX";
  if (!mkdtemp(pattern)) {
    if (error) *error = "cannot make a temporary directory";
    return nullptr;
  }
  session->directory_ = pattern;
  const std::string log = session->directory_ + "/session.log";

  // Starts a server that prints where to reach it (a display number, a bus
  // address) as its first line; that line, or none with the error set.
  const auto startServer = [&](std::unique_ptr<Subprocess>& server, const std::vector<std::string>& argv,
                               const std::map<std::string, std::string>& environment) -> std::optional<std::string> {
    Subprocess::Options serverOptions;
    serverOptions.captureStdout = true;
    serverOptions.stderrPath = log;
    serverOptions.environment = environment;
    server = Subprocess::start(argv, serverOptions, error);
    auto line = server ? server->readLine(options.startTimeout) : std::nullopt;
    if (server && (!line || line->empty())) {
      if (error) *error = argv[0] + " did not start (see " + log + ")";
      return std::nullopt;
    }
    return line;
  };
  // Xvfb picks a free display number itself and writes it to its output.
  const std::string screen = std::to_string(options.width) + "x" + std::to_string(options.height) + "x24";
  const auto number =
      startServer(session->server_, {"Xvfb", "-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"}, {});
  if (!number) return nullptr;
  session->display_ = ":" + *number;
  if (options.exportEnvironment) setenv("DISPLAY", session->display_.c_str(), 1);

  std::optional<WindowManagerCommand> manager;
  if (!options.windowManager.empty()) {
    manager = windowManagerCommand(options.windowManager, session->directory_);
    if (!manager) {
      if (error) *error = "no test set-up for the window manager " + options.windowManager;
      return nullptr;
    }
  }
  const std::string home = session->directory_ + "/home";
  std::filesystem::create_directories(home);
  std::map<std::string, std::string> environment{{"DISPLAY", session->display_},
                                                 {"HOME", home},
                                                 {"XDG_CONFIG_HOME", session->directory_},
                                                 {"XDG_CACHE_HOME", session->directory_},
                                                 {"XDG_DATA_HOME", home}};
  const std::vector<std::string> busCommand{"dbus-daemon", "--session", "--nofork", "--print-address"};
  if (options.sessionBus || (manager && manager->sessionBus)) {
    const auto address = startServer(session->bus_, busCommand, environment);
    if (!address) return nullptr;
    session->busAddress_ = *address;
    if (options.exportEnvironment) setenv("DBUS_SESSION_BUS_ADDRESS", address->c_str(), 1);
    environment["DBUS_SESSION_BUS_ADDRESS"] = *address;
  }
  if (options.systemBus) {
    const auto address = startServer(session->systemBus_, busCommand, environment);
    if (!address) return nullptr;
    session->systemBusAddress_ = *address;
    if (options.exportEnvironment) setenv("DBUS_SYSTEM_BUS_ADDRESS", address->c_str(), 1);
  }

  if (!manager) return session;
  Subprocess::Options managerOptions;
  managerOptions.stderrPath = log;
  managerOptions.environment = environment;
  managerOptions.environment.insert(manager->environment.begin(), manager->environment.end());
  session->windowManager_ = Subprocess::start(manager->argv, managerOptions, error);
  if (!session->windowManager_) return nullptr;
  // Clients start only once the manager answers: a map request sent while
  // it is still starting can be lost for good.
  const auto state = session->waitForWindowManager(options.startTimeout);
  if (state != tools::WindowManagerState::ready) {
    session->keepLogs();
    std::string why = tools::describe(state);
    if (const auto status = session->windowManager_->wait(0.5)) why = "it exited with status " + std::to_string(*status);
    if (error) *error = options.windowManager + " is not ready: " + why + " (see " + log + ")";
    return nullptr;
  }
  return session;
}

XSession::~XSession() {
  if (windowManager_) windowManager_->terminate();
  if (bus_) bus_->terminate();
  if (systemBus_) systemBus_->terminate();
  if (server_) server_->terminate();
  if (directory_.empty()) return;
  // A failed test keeps its desktop's logs (servers, clients, the program)
  // as evidence; a passing one leaves nothing behind.
  const ::testing::UnitTest* run = ::testing::UnitTest::GetInstance();
  if (keepLogs_ || (run && run->Failed())) {
    std::fprintf(stderr, "The test desktop's logs are kept in %s\n", directory_.c_str());
    printLogTails(directory_);
    return;
  }
  std::error_code ignored;
  std::filesystem::remove_all(directory_, ignored);
}

bool XSession::windowManagerRunning() const {
  xcb_connection_t* c = xcb_connect(display_.c_str(), nullptr);
  const bool running = !xcb_connection_has_error(c) && tools::windowManagerAnnounced(c);
  xcb_disconnect(c);
  return running;
}

tools::WindowManagerState XSession::waitForWindowManager(double timeout, bool startedBySession) const {
  xcb_connection_t* c = xcb_connect(display_.c_str(), nullptr);
  const auto state = tools::waitForWindowManager(c, timeout, [this, startedBySession] {
    return !startedBySession || !windowManager_ || windowManager_->isRunning();
  });
  xcb_disconnect(c);
  return state;
}

void XSession::keepLogs() { keepLogs_ = true; }

}  // namespace tessarapane::x11test
