#pragma once

#include <xcb/xcb.h>

#include <memory>
#include <string>

#include "backends/x11/X11Connection.h"

namespace tessarapane::program {

// One running instance per X display: the instance owns a selection on a
// small window of its own. The server drops the ownership when the window
// or the connection goes, so a crashed instance never blocks the next.
class SingleInstance {
 public:
  static constexpr const char* kSelectionName = "_TESSARAPANE_INSTANCE";

  enum class Outcome { acquired, alreadyRunning, failed };

  explicit SingleInstance(std::shared_ptr<X11Connection> connection);
  ~SingleInstance();

  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the selection unless another client holds it. Checked and taken
  // under a server grab, so two instances starting together cannot both win.
  Outcome acquire(std::string* error);

 private:
  std::shared_ptr<X11Connection> connection_;
  xcb_window_t window_ = XCB_NONE;
};

}  // namespace tessarapane::program
