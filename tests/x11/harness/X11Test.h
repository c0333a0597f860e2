#pragma once

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Subprocess.h"
#include "XSession.h"
#include "backends/x11/PollLoopScheduler.h"
#include "backends/x11/X11Platform.h"
#include "geometry/Rect.h"

namespace tessarapane::x11test {

// One run of the project's test client (tests/x11/client).
struct TestClient {
  explicit TestClient(std::unique_ptr<Subprocess> started) : owned(std::move(started)), process(*owned) {}
  std::unique_ptr<Subprocess> owned;
  Subprocess& process;
  xcb_window_t window = XCB_NONE;
  pid_t pid() const { return process.pid(); }
  // Sends a command and waits for the client to confirm it.
  bool command(const std::string& line, double timeout = 5.0);
  // Opens the client's modal dialog; its window once mapped.
  std::optional<xcb_window_t> openDialog(double timeout = 5.0);
};

// A test on the session's desktop with the X11 backend and its poll loop.
// Every wait is bounded and pumps the loop, so the backend's events are
// dispatched while it waits.
class X11Test : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the test client with these arguments and waits until the window
  // manager lists its window.
  std::unique_ptr<TestClient> startClient(const std::vector<std::string>& arguments, double timeout = 10.0);
  // Starts another program (xterm, xclock ...) on the session's display.
  std::unique_ptr<Subprocess> startProgram(const std::vector<std::string>& argv);
  // An xterm at `geometry` (cells and place), kept until the test ends; its
  // window once the window manager lists it (none when it does not).
  xcb_window_t xterm(const std::string& geometry, pid_t* pid = nullptr);

  // Runs the loop until the condition holds or the timeout passes, then lets
  // the backend read what the server sent meanwhile (catchUp).
  bool waitUntil(const std::function<bool()>& condition, double timeout = 10.0);
  // A round trip through the window manager (a request it must answer), then catchUp.
  void settle();
  // Dispatches every event the server has sent the backend so far (one
  // round trip), so the backend has seen what the test has seen.
  void catchUp();

  // The outer frame of a client window as xwininfo and xprop see it (root
  // coordinates): the independent witness of what the backend reports.
  std::optional<Rect> witnessFrame(xcb_window_t window);
  // Waits until every window's witnessed frame fits its wanted one (exactly
  // unless `fits` says otherwise); the windows that do not, empty when all do.
  std::string misfits(const std::map<xcb_window_t, Rect>& wanted, double timeout = 10.0,
                      const std::function<bool(const Rect& seen, const Rect& wanted)>& fits = {});
  // _NET_ACTIVE_WINDOW and _NET_CLIENT_LIST_STACKING (bottom to top) as xprop reads them.
  std::optional<xcb_window_t> witnessActiveWindow();
  std::vector<xcb_window_t> witnessStacking();

  // Seconds the call took.
  static double timed(const std::function<void()>& call) {
    const double start = monotonicNow();
    return call(), monotonicNow() - start;
  }
  // Runs a tool (wmctrl, xrandr, xprop ...) to its end; whether it succeeded.
  static bool succeeds(const std::vector<std::string>& argv, double timeout = 10.0);
  static bool xdotool(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "xdotool");
    return succeeds(arguments);
  }
  // The windows `xdotool search ARGUMENTS` finds.
  static std::vector<xcb_window_t> search(std::vector<std::string> arguments);

  XSession& session() const { return X11Environment::session(); }
  Platform& platform() { return backend_->platform; }
  X11Backend& backend() { return *backend_; }

  // A plain connection of the test's own, for what a test does as another
  // X client (its own windows, key grabs, pixels).
  xcb_connection_t* probe() { return probe_; }
  xcb_window_t root() { return xcb_setup_roots_iterator(xcb_get_setup(probe_)).data->root; }
  xcb_atom_t probeAtom(const char* name);

  std::shared_ptr<PollLoopScheduler> scheduler_;
  std::optional<X11Backend> backend_;
  xcb_connection_t* probe_ = nullptr;
  std::vector<std::unique_ptr<Subprocess>> programs_;
};

}  // namespace tessarapane::x11test
