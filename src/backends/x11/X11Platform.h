#pragma once

#include <memory>
#include <optional>
#include <string>

#include "backends/x11/PollLoopScheduler.h"
#include "backends/x11/X11Connection.h"
#include "backends/x11/X11Desktop.h"
#include "platform/Platform.h"

namespace tessarapane {

// The X11 backend assembled: one connection, the desktop tracker and every
// interface over them. User defaults and alerts belong to the toolkit
// program and are left empty here, as is the localizer (the identity one).
struct X11Backend {
  std::shared_ptr<X11Connection> connection;
  std::shared_ptr<X11Desktop> desktop;
  Platform platform;
};

// Connects to the display (DISPLAY when none is named). The scheduler is the
// main loop's; give a PollLoopScheduler to have the connection's events
// dispatched by it (other loops call X11Connection::dispatchPendingEvents
// themselves). None, with the reason, when the display cannot be opened.
std::optional<X11Backend> makeX11Backend(const std::optional<std::string>& displayName,
                                         std::shared_ptr<Scheduler> scheduler, std::string* error);

}  // namespace tessarapane
