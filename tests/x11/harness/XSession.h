#pragma once

#include <memory>
#include <optional>
#include <string>

#include "Subprocess.h"
#include "WindowManagerProbe.h"

namespace tessarapane::x11test {

// A private desktop for one test process: an Xvfb display on a free number,
// a window manager (openbox with a configuration that binds no keys, or
// another stacking manager with its stock set-up in a private home) and
// (when asked) a private session bus. Starting it points DISPLAY (and DBUS_SESSION_BUS_ADDRESS) of
// this process at it, so every client started afterwards lands there.
class XSession {
 public:
  struct Options {
    int width = 1440;
    int height = 900;
    bool sessionBus = false;
    // A second private bus exported as DBUS_SYSTEM_BUS_ADDRESS, where a test
    // emits logind's signals itself.
    bool systemBus = false;
    // openbox, xfwm4, marco, metacity, mutter, kwin_x11, icewm, fluxbox, or
    // empty for none; $TESSARAPANE_TEST_WM when set.
    std::string windowManager = defaultWindowManager();
    // Point this process's DISPLAY (and bus address) at the session.
    bool exportEnvironment = true;
    double startTimeout = 20.0;
  };

  static std::string defaultWindowManager();
  static std::unique_ptr<XSession> start(const Options& options, std::string* error);
  ~XSession();

  const std::string& display() const { return display_; }
  const std::string& busAddress() const { return busAddress_; }
  const std::string& systemBusAddress() const { return systemBusAddress_; }
  const std::string& directory() const { return directory_; }
  // The window manager's process, to check it is still alive.
  Subprocess& windowManager() { return *windowManager_; }

  // Whether an EWMH window manager has announced itself on the display.
  bool windowManagerRunning() const;
  // Waits until the window manager answers requests (a test that restarts
  // it waits for this before starting clients; one that started its own
  // passes false, so the session's stopped one is not waited on).
  tools::WindowManagerState waitForWindowManager(double timeout, bool startedBySession = true) const;
  // Keeps the session folder and its logs when the session ends.
  void keepLogs();

 private:
  XSession() = default;

  std::string directory_;
  std::string display_;
  std::string busAddress_;
  std::string systemBusAddress_;
  std::unique_ptr<Subprocess> server_;
  std::unique_ptr<Subprocess> windowManager_;
  std::unique_ptr<Subprocess> bus_;
  std::unique_ptr<Subprocess> systemBus_;
  bool keepLogs_ = false;
};

}  // namespace tessarapane::x11test
