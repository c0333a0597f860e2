#include "X11Test.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace tessarapane::x11test {

namespace {

constexpr double kWitnessTimeout = 5.0;

// The numbers of a tool's answer after `marker` ("=", "#" or nothing), commas or not.
std::vector<long> numbersAfter(const std::vector<std::string>& argv, const std::string& marker) {
  const auto result = Subprocess::run(argv, kWitnessTimeout);
  const std::size_t at = result && result->status == 0 ? result->output.find(marker) : std::string::npos;
  std::vector<long> numbers;
  if (at == std::string::npos) return numbers;
  std::string rest = result->output.substr(at + marker.size());
  std::replace(rest.begin(), rest.end(), ',', ' ');
  std::istringstream words(rest);
  for (std::string word; words >> word;) numbers.push_back(std::strtol(word.c_str(), nullptr, 0));
  return numbers;
}

}  // namespace

bool TestClient::command(const std::string& line, double timeout) {
  return process.writeLine(line) && process.waitForLine("ok " + line.substr(0, line.find(' ')), timeout);
}

std::optional<xcb_window_t> TestClient::openDialog(double timeout) {
  const auto line = process.writeLine("dialog") ? process.waitForLine("dialog ", timeout) : std::nullopt;
  if (!line) return std::nullopt;
  return static_cast<xcb_window_t>(std::strtoul(line->c_str() + 7, nullptr, 10));
}

void X11Test::SetUp() {
  scheduler_ = std::make_shared<PollLoopScheduler>();
  std::string error;
  backend_ = makeX11Backend(session().display(), scheduler_, &error);
  ASSERT_TRUE(backend_.has_value()) << error;
  probe_ = xcb_connect(session().display().c_str(), nullptr);
  ASSERT_EQ(xcb_connection_has_error(probe_), 0);
}

void X11Test::TearDown() {
  programs_.clear();
  backend_.reset();
  if (probe_) xcb_disconnect(probe_);
  probe_ = nullptr;
}

xcb_atom_t X11Test::probeAtom(const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      probe_, xcb_intern_atom(probe_, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : XCB_NONE;
  std::free(reply);
  return atom;
}

std::unique_ptr<TestClient> X11Test::startClient(const std::vector<std::string>& arguments, double timeout) {
  std::vector<std::string> argv{TESSARAPANE_X11_TEST_CLIENT};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  const std::string log = session().directory() + "/clients.log";
  std::string error;
  auto process = Subprocess::start(argv, {{}, true, true, log}, &error);
  if (!process) {
    ADD_FAILURE() << error;
    return nullptr;
  }
  auto client = std::make_unique<TestClient>(std::move(process));
  const auto ready = client->process.waitForLine("ready ", timeout);
  const std::string managerGone = session().windowManager().isRunning() ? "" : "; the window manager has exited";
  if (!ready) {
    const auto status = client->process.wait(0.5);
    ADD_FAILURE() << "the test client " << (status ? "exited with status " + std::to_string(*status) : "did not map its window")
                  << " (it said: " << ::testing::PrintToString(client->process.history()) << ")" << managerGone << "; log: " << log;
    return nullptr;
  }
  client->window = static_cast<xcb_window_t>(std::strtoul(ready->c_str() + 6, nullptr, 10));
  // Mapped is not yet managed: wait for the window manager's list.
  EXPECT_TRUE(waitUntil([&] {
    const auto clients = backend().desktop->clientList(backend().connection->deadline());
    return clients && std::find(clients->begin(), clients->end(), client->window) != clients->end();
  }, timeout)) << "the window manager did not take the test client's window " << client->window << managerGone;
  return client;
}

std::unique_ptr<Subprocess> X11Test::startProgram(const std::vector<std::string>& argv) {
  std::string error;
  auto process = Subprocess::start(argv, {{}, false, false, session().directory() + "/programs.log"}, &error);
  if (!process) ADD_FAILURE() << error;
  return process;
}

xcb_window_t X11Test::xterm(const std::string& geometry, pid_t* pid) {
  programs_.push_back(startProgram({"xterm", "-geometry", geometry}));
  if (!programs_.back()) return XCB_NONE;
  if (pid) *pid = programs_.back()->pid();
  xcb_window_t found = XCB_NONE;
  EXPECT_TRUE(waitUntil([&] {
    const auto windows = backend().desktop->clientsOf(programs_.back()->pid(), backend().connection->deadline());
    if (windows && !windows->empty()) found = windows->front();
    return found != XCB_NONE;
  })) << "xterm " << geometry << " did not map";
  return found;
}

bool X11Test::waitUntil(const std::function<bool()>& condition, double timeout) {
  const bool met = scheduler_->runUntil(condition, timeout);
  // What an outside witness saw may still wait in the backend's queue: read
  // it before the test acts, as the program reads its events first.
  catchUp();
  return met;
}

void X11Test::settle() {
  EXPECT_TRUE(tools::windowManagerAnswers(probe_, kWitnessTimeout))
      << "the window manager did not answer a frame-extents or configure request";
  catchUp();
}

void X11Test::catchUp() {
  X11Connection& x = *backend().connection;
  x.await<xcb_get_input_focus_reply_t>(xcb_get_input_focus(x.raw()), x.deadline());
  x.dispatchPendingEvents();
  scheduler_->runOnce(0);
}

std::optional<Rect> X11Test::witnessFrame(xcb_window_t window) {
  const std::string id = std::to_string(window);
  const auto info = Subprocess::run({"xwininfo", "-id", id}, kWitnessTimeout);
  std::vector<long> values;
  for (const char* label : {"Absolute upper-left X:", "Absolute upper-left Y:", "Width:", "Height:"}) {
    const std::size_t at = info && info->status == 0 ? info->output.find(label) : std::string::npos;
    if (at == std::string::npos) return std::nullopt;
    values.push_back(std::strtol(info->output.c_str() + at + std::strlen(label), nullptr, 10));
  }
  std::vector<long> e = numbersAfter({"xprop", "-id", id, "_NET_FRAME_EXTENTS"}, "=");
  if (e.size() < 4) e = {0, 0, 0, 0};  // undecorated
  return Rect(static_cast<double>(values[0] - e[0]), static_cast<double>(values[1] - e[2]),
              static_cast<double>(values[2] + e[0] + e[1]), static_cast<double>(values[3] + e[2] + e[3]));
}

std::string X11Test::misfits(const std::map<xcb_window_t, Rect>& wanted, double timeout,
                             const std::function<bool(const Rect&, const Rect&)>& fits) {
  std::string report;
  waitUntil([&] {
    std::ostringstream text;
    for (const auto& [window, frame] : wanted) {
      const auto seen = witnessFrame(window);
      if (!seen || !(fits ? fits(*seen, frame) : *seen == frame)) {
        text << "window " << window << " is at " << ::testing::PrintToString(seen) << ", not at " << frame << "\n";
      }
    }
    report = text.str();
    return report.empty();
  }, timeout);
  return report;
}

std::optional<xcb_window_t> X11Test::witnessActiveWindow() {
  const auto ids = numbersAfter({"xprop", "-root", "_NET_ACTIVE_WINDOW"}, "#");
  if (ids.empty()) return std::nullopt;
  return static_cast<xcb_window_t>(ids.front());
}

std::vector<xcb_window_t> X11Test::witnessStacking() {
  const auto ids = numbersAfter({"xprop", "-root", "_NET_CLIENT_LIST_STACKING"}, "#");
  return std::vector<xcb_window_t>(ids.begin(), ids.end());
}

std::vector<xcb_window_t> X11Test::search(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), {"xdotool", "search"});
  const auto ids = numbersAfter(arguments, "");
  return std::vector<xcb_window_t>(ids.begin(), ids.end());
}

bool X11Test::succeeds(const std::vector<std::string>& argv, double timeout) {
  const auto result = Subprocess::run(argv, timeout);
  return result && result->status == 0;
}

}  // namespace tessarapane::x11test
