#include "program/ControlRequests.h"

#include <string>
#include <utility>

#include "layout/LayoutKind.h"
#include "layout/PaneMoveDirection.h"
#include "program/LayoutState.h"

namespace tessarapane::program {

namespace {

ControlReply refused(ControlReply::Status status, std::string text) { return ControlReply{status, std::move(text)}; }

ControlReply notReady() {
  return refused(ControlReply::Status::unavailable, "Tessarapane is not ready (starting up or quitting)");
}

ControlReply noWindowManager() {
  return refused(ControlReply::Status::unavailable,
                 "no window manager is running: Tessarapane cannot move windows without one");
}

}  // namespace

ControlReply ControlRequests::carryOut(LayoutCoordinator& coordinator, const std::function<void()>& request) {
  std::string message;
  auto previous = std::exchange(coordinator.messageRedirect, [&message](std::string_view title, std::string_view text) {
    if (message.empty()) message = std::string(title) + ": " + std::string(text);
  });
  request();
  coordinator.messageRedirect = std::move(previous);
  if (message.empty()) return {};
  return refused(ControlReply::Status::failed, std::move(message));
}

ControlReply ControlRequests::start(std::string_view kind) {
  const std::optional<LayoutKind> parsed = fromRawValue<LayoutKind>(kind);
  if (!parsed) return refused(ControlReply::Status::invalidArgument, "unknown layout kind \"" + std::string(kind) + "\"");
  const auto coordinator = coordinator_ ? coordinator_() : nullptr;
  if (!coordinator) return notReady();
  if (!coordinator->platform.accessibility->isProcessTrusted()) return noWindowManager();
  return carryOut(*coordinator, [&] { coordinator->startLayout(*parsed); });
}

ControlReply ControlRequests::startGrid() {
  const auto coordinator = coordinator_ ? coordinator_() : nullptr;
  if (!coordinator) return notReady();
  if (!coordinator->platform.accessibility->isProcessTrusted()) return noWindowManager();
  return carryOut(*coordinator, [&] { coordinator->startBento(); });
}

ControlReply ControlRequests::exit() {
  const auto coordinator = coordinator_ ? coordinator_() : nullptr;
  if (!coordinator) return notReady();
  if (!coordinator->leaveLayout()) {
    return refused(ControlReply::Status::unavailable,
                   "no window manager is running: the layout stays, and its windows go back to where they were "
                   "once a window manager runs");
  }
  return {};
}

ControlReply ControlRequests::move(std::string_view direction) {
  const std::optional<PaneMoveDirection> parsed = fromRawValue<PaneMoveDirection>(direction);
  if (!parsed) {
    return refused(ControlReply::Status::invalidArgument, "unknown direction \"" + std::string(direction) + "\"");
  }
  const auto coordinator = coordinator_ ? coordinator_() : nullptr;
  if (!coordinator) return notReady();
  return carryOut(*coordinator, [&] { coordinator->moveFocusedTab(*parsed); });
}

ControlReply ControlRequests::state() {
  const auto coordinator = coordinator_ ? coordinator_() : nullptr;
  return ControlReply{ControlReply::Status::ok, layoutStateJson(coordinator.get()).dump()};
}

}  // namespace tessarapane::program
