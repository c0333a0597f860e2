#include "program/ControlRequests.h"

#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "layout/LayoutKind.h"
#include "layout/PaneMoveDirection.h"
#include "program/LayoutState.h"
#include "text/Utf8Text.h"

namespace tessarapane::program {

namespace {

ControlReply refused(ControlReply::Status status, std::string text) { return ControlReply{status, std::move(text)}; }

// An argument comes from any caller on the bus and may be of any length;
// the reply quotes only its start.
std::string quoted(std::string_view argument) { return Utf8Text::quoted(argument, 200); }

// Whatever goes wrong inside one request ends that request with an error
// reply, never the program.
template <typename Request>
ControlReply guarded(Request&& request) noexcept {
  try {
    return request();
  } catch (const std::exception& error) {
    return refused(ControlReply::Status::unavailable, std::string("the request failed: ") + error.what());
  } catch (...) {
    return refused(ControlReply::Status::unavailable, "the request failed");
  }
}

ControlReply notReady() {
  return refused(ControlReply::Status::unavailable, "Tessarapane is not ready (starting up or quitting)");
}

// Says what the window manager lacks; none when it lacks nothing.
std::optional<ControlReply> windowManagerRefusal(Accessibility& accessibility) {
  const WindowManagerReport report = accessibility.windowManagerReport();
  if (report.usable()) return std::nullopt;
  if (!report.found) {
    return refused(ControlReply::Status::unavailable,
                   "no window manager is running: Tessarapane cannot move windows without one");
  }
  if (report.tiling) {
    return refused(ControlReply::Status::unavailable, "the window manager " + Utf8Text::quoted(report.name, 64) +
                                                          " tiles windows itself: Tessarapane cannot place them there");
  }
  std::string missing;
  for (const std::string& feature : report.missing) missing += (missing.empty() ? "" : ", ") + feature;
  return refused(ControlReply::Status::unavailable, "the window manager " + Utf8Text::quoted(report.name, 64) +
                                                        " does not support " + missing +
                                                        ": Tessarapane cannot move windows with it");
}

}  // namespace

ControlReply ControlRequests::carryOut(LayoutCoordinator& coordinator, const std::function<void()>& request) {
  std::string message;
  auto previous = std::exchange(coordinator.messageRedirect, [&message](std::string_view title, std::string_view text) {
    if (message.empty()) message = std::string(title) + ": " + std::string(text);
  });
  // Put back even when the request throws (the caller turns that into an
  // error reply).
  using Redirect = decltype(previous);
  struct Restore {
    LayoutCoordinator& coordinator;
    Redirect& saved;
    ~Restore() { coordinator.messageRedirect = std::move(saved); }
  } restore{coordinator, previous};
  request();
  if (message.empty()) return {};
  return refused(ControlReply::Status::failed, std::move(message));
}

ControlReply ControlRequests::start(std::string_view kind) {
  const std::optional<LayoutKind> parsed = fromRawValue<LayoutKind>(kind);
  if (!parsed) return refused(ControlReply::Status::invalidArgument, "unknown layout kind " + quoted(kind));
  return onCoordinator([&](LayoutCoordinator& coordinator) {
    if (auto refusal = windowManagerRefusal(*coordinator.platform.accessibility)) return *refusal;
    return carryOut(coordinator, [&] { coordinator.startLayout(*parsed); });
  });
}

ControlReply ControlRequests::startGrid() {
  return onCoordinator([](LayoutCoordinator& coordinator) {
    if (auto refusal = windowManagerRefusal(*coordinator.platform.accessibility)) return *refusal;
    return carryOut(coordinator, [&] { coordinator.startBento(); });
  });
}

ControlReply ControlRequests::exit() {
  return onCoordinator([](LayoutCoordinator& coordinator) {
    if (coordinator.leaveLayout()) return ControlReply{};
    return refused(ControlReply::Status::unavailable,
                   "no window manager is running: the layout stays, and its windows go back to where they were "
                   "once a window manager runs");
  });
}

ControlReply ControlRequests::move(std::string_view direction) {
  const std::optional<PaneMoveDirection> parsed = fromRawValue<PaneMoveDirection>(direction);
  if (!parsed) return refused(ControlReply::Status::invalidArgument, "unknown direction " + quoted(direction));
  return onCoordinator([&](LayoutCoordinator& coordinator) {
    return carryOut(coordinator, [&] { coordinator.moveFocusedTab(*parsed); });
  });
}

ControlReply ControlRequests::state() {
  return guarded([this] {
    const auto coordinator = coordinator_ ? coordinator_() : nullptr;
    // Titles come from other programs: bytes that are not UTF-8 are written
    // as replacement characters instead of failing the whole state.
    return ControlReply{ControlReply::Status::ok,
                        layoutStateJson(coordinator ? coordinator->snapshot() : LayoutSnapshot{})
                            .dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)};
  });
}

ControlReply ControlRequests::onCoordinator(const std::function<ControlReply(LayoutCoordinator&)>& request) {
  return guarded([&] {
    const auto coordinator = coordinator_ ? coordinator_() : nullptr;
    if (!coordinator) return notReady();
    return request(*coordinator);
  });
}

}  // namespace tessarapane::program
