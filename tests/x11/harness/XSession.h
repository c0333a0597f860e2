#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Subprocess.h"
#include "WindowManagerProbe.h"

namespace tessarapane::x11test {

// A private desktop for one test process: an Xvfb display (1440x900) on a
// free number, a window manager (openbox with a configuration that binds no
// keys, or with $TESSARAPANE_TEST_WM another stacking manager with its stock
// set-up in a private home), a private session bus and a second private bus
// exported as DBUS_SYSTEM_BUS_ADDRESS, where tests emit logind's signals
// themselves. Starting it points DISPLAY and both bus addresses of this
// process at it, so every client started afterwards lands there.
class XSession {
 public:
  static std::string defaultWindowManager();
  static std::unique_ptr<XSession> start(std::string* error);
  ~XSession();

  const std::string& display() const { return display_; }
  const std::string& systemBusAddress() const { return systemBusAddress_; }
  const std::string& directory() const { return directory_; }
  // The window manager's process, to check it is still alive.
  Subprocess& windowManager() { return *windowManager_; }

  // Whether an EWMH window manager has announced itself on the display.
  bool windowManagerRunning() const;
  // Waits until the window manager answers requests (a test that started
  // its own passes false, so the session's stopped one is not waited on).
  tools::WindowManagerState waitForWindowManager(double timeout, bool startedBySession = true) const;

 private:
  XSession() = default;

  std::string directory_, display_, systemBusAddress_;
  std::unique_ptr<Subprocess> server_, windowManager_, bus_, systemBus_;
  bool keepLogs_ = false;
};

// Starts this test executable's private desktop before its first test and
// stops it after the last. Listing the tests starts nothing.
class X11Environment : public ::testing::Environment {
 public:
  void SetUp() override;
  void TearDown() override;
  // The running session; tests only run while it exists.
  static XSession& session();
};

}  // namespace tessarapane::x11test
