#include "XSession.h"

#include <stdlib.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace tessarapane::x11test {

namespace {

constexpr double kStartTimeout = 20.0;

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
std::optional<std::pair<std::vector<std::string>, std::map<std::string, std::string>>> windowManagerCommand(
    const std::string& name, const std::string& directory) {
  const std::map<std::string, std::string> gsettings{{"GSETTINGS_BACKEND", "memory"}};
  const std::map<std::string, std::pair<std::vector<std::string>, std::map<std::string, std::string>>> commands{
      {"openbox", {{"openbox", "--sm-disable", "--config-file", directory + "/rc.xml"}, {}}},
      {"xfwm4", {{"xfwm4", "--compositor=off", "--replace"}, {}}},
      {"marco", {{"marco", "--no-composite", "--sm-disable", "--replace"}, gsettings}},
      {"metacity", {{"metacity", "--no-composite", "--sm-disable", "--replace"}, gsettings}},
      {"mutter", {{"mutter", "--x11", "--sm-disable", "--replace"}, gsettings}},
      {"kwin_x11", {{"kwin_x11", "--replace"}, {{"QT_QPA_PLATFORM", "xcb"}, {"KWIN_COMPOSE", "N"}}}},
      {"icewm", {{"icewm", "--replace"}, {}}},
      {"fluxbox", {{"fluxbox"}, {}}}};
  std::ofstream(directory + "/rc.xml") << kOpenboxConfiguration;
  // Fluxbox's stock style sets a wallpaper through fbsetbg, which without a
  // setter installed says so in a window of its own: it is left alone.
  std::filesystem::create_directories(directory + "/home/.fluxbox");
  std::ofstream(directory + "/home/.fluxbox/overlay") << "background: unset\n";
  const auto found = commands.find(name);
  return found == commands.end() ? std::nullopt : std::optional(found->second);
}

// Deleted by TearDown only, never by a static destructor: a death test's
// child that exits must not take the parent's display down with it.
XSession* current = nullptr;

}  // namespace

std::string XSession::defaultWindowManager() {
  const char* chosen = std::getenv("TESSARAPANE_TEST_WM");
  return chosen && *chosen ? chosen : "openbox";
}

std::unique_ptr<XSession> XSession::start(std::string* error) {
  std::unique_ptr<XSession> session(new XSession());
  char pattern[] = "/tmp/tessarapane-x11-XXXXXX";
  if (!mkdtemp(pattern)) {
    *error = "cannot make a temporary directory";
    return nullptr;
  }
  session->directory_ = pattern;
  const std::string log = session->directory_ + "/session.log", home = session->directory_ + "/home";
  std::filesystem::create_directories(home);
  std::map<std::string, std::string> environment{{"HOME", home},
                                                 {"XDG_CONFIG_HOME", session->directory_},
                                                 {"XDG_CACHE_HOME", session->directory_},
                                                 {"XDG_DATA_HOME", home}};
  // Starts a server that prints where to reach it (a display number, a bus
  // address) as its first line, and exports that as `variable`.
  const auto startServer = [&](std::unique_ptr<Subprocess>& server, const std::vector<std::string>& argv,
                               const char* variable, const std::string& prefix) {
    server = Subprocess::start(argv, {environment, false, true, log}, error);
    const auto line = server ? server->readLine(kStartTimeout) : std::nullopt;
    if (!line || line->empty()) {
      if (server) *error = argv[0] + " did not start (see " + log + ")";
      return std::string();
    }
    setenv(variable, (prefix + *line).c_str(), 1);
    return environment[variable] = prefix + *line;
  };
  // Xvfb picks a free display number itself and writes it to its output.
  session->display_ = startServer(session->server_, {"Xvfb", "-displayfd", "1", "-screen", "0", "1440x900x24",
                                                     "-nolisten", "tcp", "-noreset"}, "DISPLAY", ":");
  const std::vector<std::string> bus{"dbus-daemon", "--session", "--nofork", "--print-address"};
  if (session->display_.empty() || startServer(session->bus_, bus, "DBUS_SESSION_BUS_ADDRESS", "").empty()) return nullptr;
  session->systemBusAddress_ = startServer(session->systemBus_, bus, "DBUS_SYSTEM_BUS_ADDRESS", "");
  if (session->systemBusAddress_.empty()) return nullptr;

  const std::string name = defaultWindowManager();
  auto manager = windowManagerCommand(name, session->directory_);
  if (!manager) {
    *error = "no test set-up for the window manager " + name;
    return nullptr;
  }
  environment.insert(manager->second.begin(), manager->second.end());
  session->windowManager_ = Subprocess::start(manager->first, {environment, false, false, log}, error);
  if (!session->windowManager_) return nullptr;
  // Clients start only once the manager answers: a map request sent while
  // it is still starting can be lost for good.
  const auto state = session->waitForWindowManager(kStartTimeout);
  if (state != tools::WindowManagerState::ready) {
    session->keepLogs_ = true;
    std::string why = tools::describe(state);
    if (const auto status = session->windowManager_->wait(0.5)) why = "it exited with status " + std::to_string(*status);
    *error = name + " is not ready: " + why + " (see " + log + ")";
    return nullptr;
  }
  return session;
}

XSession::~XSession() {
  for (auto* process : {&windowManager_, &bus_, &systemBus_, &server_}) {
    if (*process) (*process)->terminate();
  }
  // A failed test keeps its desktop's logs (servers, clients, the program)
  // as evidence; a passing one leaves nothing behind.
  const ::testing::UnitTest* run = ::testing::UnitTest::GetInstance();
  if (keepLogs_ || (run && run->Failed())) {
    // The last lines of every log, so a failure on a machine that is gone
    // afterwards (CI) still shows what the processes said.
    std::fprintf(stderr, "The test desktop's logs are kept in %s\n", directory_.c_str());
    std::fflush(stderr);
    [[maybe_unused]] const int shown = std::system(("tail -n 25 $(find " + directory_ + " -name '*.log') >&2").c_str());
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

void X11Environment::SetUp() {
  std::string error;
  current = XSession::start(&error).release();
  ASSERT_TRUE(current != nullptr) << "cannot start the test desktop: " << error;
}

void X11Environment::TearDown() {
  delete current;
  current = nullptr;
}

XSession& X11Environment::session() { return *current; }

}  // namespace tessarapane::x11test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new tessarapane::x11test::X11Environment());
  return RUN_ALL_TESTS();
}
