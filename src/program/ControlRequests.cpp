#include "program/ControlRequests.h"

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

}  // namespace

ControlReply ControlRequests::start(std::string_view kind) {
  const std::optional<LayoutKind> parsed = fromRawValue<LayoutKind>(kind);
  if (!parsed) return refused(ControlReply::Status::invalidArgument, "unknown layout kind \"" + std::string(kind) + "\"");
  const auto coordinator = coordinator_ ? coordinator_() : nullptr;
  if (!coordinator) return notReady();
  coordinator->startLayout(*parsed);
  return {};
}

ControlReply ControlRequests::startGrid() {
  const auto coordinator = coordinator_ ? coordinator_() : nullptr;
  if (!coordinator) return notReady();
  coordinator->startBento();
  return {};
}

ControlReply ControlRequests::exit() {
  const auto coordinator = coordinator_ ? coordinator_() : nullptr;
  if (!coordinator) return notReady();
  coordinator->exitLayout(false);
  return {};
}

ControlReply ControlRequests::move(std::string_view direction) {
  const std::optional<PaneMoveDirection> parsed = fromRawValue<PaneMoveDirection>(direction);
  if (!parsed) {
    return refused(ControlReply::Status::invalidArgument, "unknown direction \"" + std::string(direction) + "\"");
  }
  const auto coordinator = coordinator_ ? coordinator_() : nullptr;
  if (!coordinator) return notReady();
  coordinator->moveFocusedTab(*parsed);
  return {};
}

ControlReply ControlRequests::state() {
  const auto coordinator = coordinator_ ? coordinator_() : nullptr;
  return ControlReply{ControlReply::Status::ok, layoutStateJson(coordinator.get()).dump()};
}

}  // namespace tessarapane::program
