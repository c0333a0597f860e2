#include "backends/x11/X11Platform.h"

#include <utility>

#include "backends/x11/StderrLog.h"
#include "backends/x11/X11Accessibility.h"
#include "backends/x11/X11HotKeys.h"
#include "backends/x11/X11Input.h"
#include "backends/x11/X11Screens.h"
#include "backends/x11/X11SystemEvents.h"
#include "backends/x11/X11WindowServer.h"
#include "backends/x11/X11Workspace.h"

namespace tessarapane {

std::optional<X11Backend> makeX11Backend(const std::optional<std::string>& displayName,
                                         std::shared_ptr<Scheduler> scheduler, std::string* error) {
  auto connection = X11Connection::open(displayName, error);
  if (!connection) return std::nullopt;
  X11Backend backend;
  backend.connection = connection;
  backend.desktop = X11Desktop::create(connection);
  if (auto* loop = dynamic_cast<PollLoopScheduler*>(scheduler.get())) connection->attach(*loop);
  Platform& p = backend.platform;
  p.accessibility = X11Accessibility::create(backend.desktop, scheduler);
  p.windowServer = std::make_shared<X11WindowServer>(backend.desktop);
  p.workspace = X11Workspace::create(backend.desktop, AddressOpener::create(scheduler));
  p.screens = X11Screens::create(backend.desktop);
  p.scheduler = std::move(scheduler);
  p.input = std::make_shared<X11Input>(connection);
  p.hotKeys = X11HotKeys::create(connection);
  p.systemEvents = std::make_shared<X11SystemEvents>();
  p.log = std::make_shared<StderrLog>();
  p.localizer = std::make_shared<IdentityLocalizer>();
  return backend;
}

}  // namespace tessarapane
