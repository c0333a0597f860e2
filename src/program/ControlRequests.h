#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "coordinator/LayoutCoordinator.h"

namespace tessarapane::program {

// How a control request ended.
struct ControlReply {
  // failed: carried out, but the layout could not do it (the text says why).
  enum class Status { ok, invalidArgument, unavailable, failed };

  Status status = Status::ok;
  // The state JSON of state(); the reason otherwise.
  std::string text;

  bool ok() const { return status == Status::ok; }
};

// The control interface's requests carried out on the coordinator, on the
// main thread, one after the other. Each returns once the coordinator call
// has returned (windows may still be settling). Arguments arrive as text from
// another process and are checked here, not trusted. A message the layout
// has for the user while it carries a request out comes back as the reply
// instead of a modal alert: nobody may be there to dismiss it, and until
// then the alert would hold every later request. A request that fails on the
// way (even by an exception) ends in an error reply, never in the end of the
// program.
class ControlRequests {
 public:
  // Gives the coordinator of the moment; none before launch and after
  // termination, when every request but state() is refused.
  using CoordinatorSource = std::function<std::shared_ptr<LayoutCoordinator>()>;

  explicit ControlRequests(CoordinatorSource coordinator) : coordinator_(std::move(coordinator)) {}

  ControlReply start(std::string_view kind);
  ControlReply startGrid();
  // Leaves the running layout as the menu's exit item does: the windows go
  // back and the remembered layout is forgotten. Without a window manager
  // the windows cannot go back: the layout stays, the reply says so, and it
  // is left once a window manager runs.
  ControlReply exit();
  ControlReply move(std::string_view direction);
  ControlReply state();

 private:
  // Runs `request`; failed with the layout's message for the user, if it
  // had one.
  static ControlReply carryOut(LayoutCoordinator& coordinator, const std::function<void()>& request);
  // Runs the request on the coordinator of the moment; refused without one.
  ControlReply onCoordinator(const std::function<ControlReply(LayoutCoordinator&)>& request);

  CoordinatorSource coordinator_;
};

}  // namespace tessarapane::program
