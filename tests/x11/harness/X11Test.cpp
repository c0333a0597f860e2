#include "X11Test.h"

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace tessarapane::x11test {

namespace {

constexpr double kWitnessTimeout = 5.0;

std::optional<long> valueAfter(const std::string& text, const std::string& label) {
  const std::size_t at = text.find(label);
  if (at == std::string::npos) return std::nullopt;
  return std::strtol(text.c_str() + at + label.size(), nullptr, 10);
}

}  // namespace

std::vector<long> numbersAfterEquals(const std::string& line) {
  std::vector<long> numbers;
  const std::size_t equals = line.find('=');
  if (equals == std::string::npos) return numbers;
  std::string rest = line.substr(equals + 1);
  for (char& c : rest) {
    if (c == ',') c = ' ';
  }
  std::istringstream words(rest);
  std::string word;
  while (words >> word) numbers.push_back(std::strtol(word.c_str(), nullptr, 0));
  return numbers;
}

bool TestClient::command(const std::string& line, double timeout) {
  if (!process.writeLine(line)) return false;
  std::istringstream words(line);
  std::string name;
  words >> name;
  return process.waitForLine("ok " + name, timeout).has_value();
}

std::optional<xcb_window_t> TestClient::waitForDialog(double timeout) {
  const auto line = process.waitForLine("dialog ", timeout);
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
  Subprocess::Options options;
  options.pipeStdin = true;
  options.captureStdout = true;
  options.stderrPath = session().directory() + "/clients.log";
  options.environment["DISPLAY"] = session().display();
  std::string error;
  auto process = Subprocess::start(argv, options, &error);
  if (!process) {
    ADD_FAILURE() << error;
    return nullptr;
  }
  auto client = std::make_unique<TestClient>(TestClient{std::move(*process), XCB_NONE});
  const auto ready = client->process.waitForLine("ready ", timeout);
  if (!ready) {
    ADD_FAILURE() << "the test client did not map its window";
    return nullptr;
  }
  client->window = static_cast<xcb_window_t>(std::strtoul(ready->c_str() + 6, nullptr, 10));
  // Mapped is not yet managed: wait for the window manager's list.
  const bool listed = waitUntil([&] {
    const auto clients = backend().desktop->clientList(backend().connection->deadline());
    return clients && std::find(clients->begin(), clients->end(), client->window) != clients->end();
  }, timeout);
  if (!listed) ADD_FAILURE() << "the window manager did not take the test client's window";
  catchUp();
  return client;
}

std::unique_ptr<Subprocess> X11Test::startProgram(const std::vector<std::string>& argv) {
  Subprocess::Options options;
  options.stderrPath = session().directory() + "/programs.log";
  options.environment["DISPLAY"] = session().display();
  std::string error;
  auto process = Subprocess::start(argv, options, &error);
  if (!process) {
    ADD_FAILURE() << error;
    return nullptr;
  }
  return std::make_unique<Subprocess>(std::move(*process));
}

std::optional<xcb_window_t> X11Test::waitForClientOf(pid_t pid, double timeout) {
  std::optional<xcb_window_t> found;
  waitUntil([&] {
    const auto windows = backend().desktop->clientsOf(pid, backend().connection->deadline());
    if (windows && !windows->empty()) found = windows->front();
    return found.has_value();
  }, timeout);
  catchUp();
  return found;
}

bool X11Test::waitUntil(const std::function<bool()>& condition, double timeout) {
  return scheduler_->runUntil(condition, timeout);
}

void X11Test::settle() {
  // A window the window manager must answer about: it sets the frame
  // extents of a window that asks, after everything sent before.
  const xcb_window_t window = xcb_generate_id(probe_);
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(probe_)).data;
  const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_create_window(probe_, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 10, 10, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK, &mask);
  xcb_client_message_event_t request{};
  request.response_type = XCB_CLIENT_MESSAGE;
  request.format = 32;
  request.window = window;
  request.type = probeAtom("_NET_REQUEST_FRAME_EXTENTS");
  xcb_send_event(probe_, 0, screen->root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&request));
  xcb_flush(probe_);
  const xcb_atom_t extents = probeAtom("_NET_FRAME_EXTENTS");
  const double deadline = monotonicNow() + kWitnessTimeout;
  bool answered = false;
  while (!answered && monotonicNow() < deadline) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(probe_)) {
      if ((event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY &&
          reinterpret_cast<xcb_property_notify_event_t*>(event)->atom == extents) {
        answered = true;
      }
      std::free(event);
    }
    if (answered) break;
    pollfd fd{xcb_get_file_descriptor(probe_), POLLIN, 0};
    poll(&fd, 1, static_cast<int>((deadline - monotonicNow()) * 1000) + 1);
  }
  xcb_destroy_window(probe_, window);
  xcb_flush(probe_);
  EXPECT_TRUE(answered) << "the window manager did not answer a frame-extents request";
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
  const auto extents = Subprocess::run({"xprop", "-id", id, "_NET_FRAME_EXTENTS"}, kWitnessTimeout);
  if (!info || info->status != 0 || !extents || extents->status != 0) return std::nullopt;
  const auto x = valueAfter(info->output, "Absolute upper-left X:");
  const auto y = valueAfter(info->output, "Absolute upper-left Y:");
  const auto width = valueAfter(info->output, "Width:");
  const auto height = valueAfter(info->output, "Height:");
  if (!x || !y || !width || !height) return std::nullopt;
  std::vector<long> e = numbersAfterEquals(extents->output);
  if (e.size() < 4) e = {0, 0, 0, 0};  // undecorated
  return Rect(static_cast<double>(*x - e[0]), static_cast<double>(*y - e[2]), static_cast<double>(*width + e[0] + e[1]),
              static_cast<double>(*height + e[2] + e[3]));
}

std::optional<xcb_window_t> X11Test::witnessActiveWindow() {
  const auto result = Subprocess::run({"xprop", "-root", "_NET_ACTIVE_WINDOW"}, kWitnessTimeout);
  if (!result || result->status != 0) return std::nullopt;
  const std::size_t hash = result->output.find('#');
  if (hash == std::string::npos) return std::nullopt;
  return static_cast<xcb_window_t>(std::strtoul(result->output.c_str() + hash + 1, nullptr, 0));
}

std::vector<xcb_window_t> X11Test::witnessStacking() {
  std::vector<xcb_window_t> windows;
  const auto result = Subprocess::run({"xprop", "-root", "_NET_CLIENT_LIST_STACKING"}, kWitnessTimeout);
  if (!result || result->status != 0) return windows;
  const std::size_t hash = result->output.find('#');
  if (hash == std::string::npos) return windows;
  std::string rest = result->output.substr(hash + 1);
  for (char& c : rest) {
    if (c == ',') c = ' ';
  }
  std::istringstream words(rest);
  std::string word;
  while (words >> word) windows.push_back(static_cast<xcb_window_t>(std::strtoul(word.c_str(), nullptr, 0)));
  return windows;
}

}  // namespace tessarapane::x11test
