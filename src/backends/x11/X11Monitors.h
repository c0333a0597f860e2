#pragma once

#include <optional>
#include <vector>

#include "backends/x11/X11ClientInfo.h"
#include "backends/x11/X11Connection.h"
#include "geometry/Rect.h"
#include "platform/ManagedWindow.h"

namespace tessarapane {

// One RandR monitor in root coordinates.
struct X11Monitor {
  DisplayID id = 0;  // its first output, or its name's atom for a monitor without outputs
  Rect frame;
  bool primary = false;
};

// The active monitors, primary first (the server's order otherwise); the
// whole root window as one monitor when RandR has none to offer. None when
// the server does not answer.
std::optional<std::vector<X11Monitor>> readMonitors(X11Connection& connection, Deadline deadline);

// The monitor less the edges that docks reserve (their struts, measured
// from the root window's edges) and, where the window manager's work area
// (_NET_WORKAREA of the current desktop) keeps more of a root edge free than
// those struts explain, that much more on monitors along that edge: the
// window manager's own panels and override-redirect taskbars have no strut.
Rect visibleFrame(const Rect& monitor, const std::vector<ClientInfo>& docks, const Rect& rootFrame,
                  const std::optional<Rect>& workArea = std::nullopt);

}  // namespace tessarapane
