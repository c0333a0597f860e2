#pragma once

#include <xcb/xcb.h>

#include <functional>
#include <string>

namespace tessarapane::tools {

// Whether a window manager on the display is ready for clients.
//
// Announcing itself (_NET_SUPPORTING_WM_CHECK) is not enough: openbox sets
// that property before its event loop runs, and a map request sent in that
// gap can be lost for good. A manager that answers a request it must reply
// to (_NET_REQUEST_FRAME_EXTENTS, answered with _NET_FRAME_EXTENTS, or a
// configure request of an unmanaged window, passed on) is reading its events.
enum class WindowManagerState {
  ready,
  noServer,       // the X server cannot be reached
  noManager,      // nothing announced itself as an EWMH window manager in time
  notAnswering,   // announced, but never answered
};

const char* describe(WindowManagerState state);

// Waits at most `timeout` seconds. `keepWaiting` is asked between tries
// (a manager process that died ends the wait early).
WindowManagerState waitForWindowManager(xcb_connection_t* connection, double timeout,
                                        const std::function<bool()>& keepWaiting = {});

// Whether the manager announced itself on this connection's screen.
bool windowManagerAnnounced(xcb_connection_t* connection);

// A round trip through the window manager: a request it answers after
// everything sent to it before. The request is sent again while unanswered
// (a manager still starting may drop it). True when it answered in time.
bool windowManagerAnswers(xcb_connection_t* connection, double timeout,
                          const std::function<bool()>& keepWaiting = {});

}  // namespace tessarapane::tools
