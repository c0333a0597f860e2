#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

#include "backends/x11/X11Desktop.h"
#include "platform/Scheduler.h"

namespace tessarapane {

// Tells when the window manager has handled every request this connection
// sent it so far. A manager takes the requests to move windows and carries
// them out on its own time, in the order they came: a resize request for an
// unmapped window of this process, sent after them, comes back (as that
// window's configure event) once it has handled them all. Without a manager
// the server answers at once. A manager that loses the request is waited for
// kLongestWait at most.
class X11ManagerCatchUp final : public X11DesktopListener, public std::enable_shared_from_this<X11ManagerCatchUp> {
 public:
  static constexpr double kLongestWait = 0.3;

  // Without a scheduler nothing is waited for.
  X11ManagerCatchUp(std::shared_ptr<X11Desktop> desktop, std::shared_ptr<Scheduler> scheduler);
  ~X11ManagerCatchUp() override;

  // `then` runs on a later turn of the loop, once the manager caught up.
  void after(std::function<void()> then);

  void eventArrived(const xcb_generic_event_t& event) override;

 private:
  struct Waiting {
    std::uint32_t width = 0;  // the size asked for: which request came back
    std::function<void()> then;
    Subscription timeout;
  };
  // Runs the waiting callbacks up to the one asked with `width`.
  void caughtUp(std::uint32_t width);

  std::shared_ptr<X11Desktop> desktop_;
  std::shared_ptr<Scheduler> scheduler_;
  xcb_window_t window_ = XCB_NONE;
  std::uint32_t lastWidth_ = 0;
  std::deque<Waiting> waiting_;
};

}  // namespace tessarapane
