#include "WindowManagerProbe.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace tessarapane::tools {

namespace {

// How long one frame-extents request may stay unanswered before it is sent
// again.
constexpr double kRetryInterval = 0.25;

double now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t value = reply ? reply->atom : XCB_NONE;
  std::free(reply);
  return value;
}

xcb_screen_t* screenOf(xcb_connection_t* c) { return xcb_setup_roots_iterator(xcb_get_setup(c)).data; }

xcb_window_t windowProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property) {
  xcb_get_property_reply_t* reply =
      xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, XCB_ATOM_WINDOW, 0, 1), nullptr);
  xcb_window_t value = XCB_NONE;
  if (reply && xcb_get_property_value_length(reply) >= 4) {
    value = *static_cast<xcb_window_t*>(xcb_get_property_value(reply));
  }
  std::free(reply);
  return value;
}

// Waits for events on the connection for at most `seconds`; the events are
// handed to `seen` and freed.
void pumpEvents(xcb_connection_t* c, double seconds, const std::function<void(xcb_generic_event_t*)>& seen) {
  pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
  poll(&fd, 1, static_cast<int>(std::max(seconds, 0.0) * 1000) + 1);
  while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
    if (seen) seen(event);
    std::free(event);
  }
}

}  // namespace

const char* describe(WindowManagerState state) {
  switch (state) {
    case WindowManagerState::ready: return "the window manager answers";
    case WindowManagerState::noServer: return "the X server cannot be reached";
    case WindowManagerState::noManager: return "no EWMH window manager announced itself (_NET_SUPPORTING_WM_CHECK)";
    case WindowManagerState::notAnswering:
      return "the window manager announced itself but did not answer a frame-extents or configure request";
  }
  return "unknown";
}

bool windowManagerAnnounced(xcb_connection_t* c) {
  const xcb_atom_t check = atom(c, "_NET_SUPPORTING_WM_CHECK");
  if (check == XCB_NONE) return false;
  const xcb_window_t window = windowProperty(c, screenOf(c)->root, check);
  return window != XCB_NONE && windowProperty(c, window, check) == window;
}

bool windowManagerAnswers(xcb_connection_t* c, double timeout, const std::function<bool()>& keepWaiting) {
  const xcb_screen_t* screen = screenOf(c);
  const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
  const xcb_atom_t extents = atom(c, "_NET_FRAME_EXTENTS");
  // An unmapped window of our own: the manager sets its frame extents when
  // asked, after handling everything sent to it before. Not every manager
  // does (KWin takes no such request, fluxbox answers only for its clients),
  // so it is also asked to resize the window: every manager passes such a
  // configure request on, in its turn.
  const xcb_window_t window = xcb_generate_id(c);
  const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                    screen->root_visual, XCB_CW_EVENT_MASK, &mask);
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = request;

  const double deadline = now() + timeout;
  bool answered = false;
  std::uint32_t width = 10;
  while (!answered && !xcb_connection_has_error(c)) {
    xcb_send_event(c, 0, screen->root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    width = width == 11 ? 12 : 11;
    xcb_configure_window(c, window, XCB_CONFIG_WINDOW_WIDTH, &width);
    xcb_flush(c);
    const double retryAt = std::min(deadline, now() + kRetryInterval);
    while (!answered && now() < retryAt) {
      pumpEvents(c, retryAt - now(), [&](xcb_generic_event_t* event) {
        const int type = event->response_type & 0x7F;
        const auto* property = reinterpret_cast<xcb_property_notify_event_t*>(event);
        const auto* configured = reinterpret_cast<xcb_configure_notify_event_t*>(event);
        if ((type == XCB_PROPERTY_NOTIFY && property->window == window && property->atom == extents) ||
            (type == XCB_CONFIGURE_NOTIFY && configured->window == window)) {
          answered = true;
        }
      });
    }
    if (now() >= deadline || (keepWaiting && !keepWaiting())) break;
  }
  xcb_destroy_window(c, window);
  xcb_flush(c);
  return answered;
}

WindowManagerState waitForWindowManager(xcb_connection_t* c, double timeout,
                                        const std::function<bool()>& keepWaiting) {
  if (!c || xcb_connection_has_error(c)) return WindowManagerState::noServer;
  // Root property changes wake the wait: the manager announces itself with one.
  const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
  const xcb_window_t root = screenOf(c)->root;
  xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(c);
  const double deadline = now() + timeout;
  while (!windowManagerAnnounced(c)) {
    if (xcb_connection_has_error(c)) return WindowManagerState::noServer;
    if (now() >= deadline || (keepWaiting && !keepWaiting())) return WindowManagerState::noManager;
    pumpEvents(c, std::min(deadline - now(), 0.25), {});
  }
  const std::uint32_t none = 0;
  xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &none);
  if (!windowManagerAnswers(c, std::max(deadline - now(), kRetryInterval), keepWaiting)) {
    return xcb_connection_has_error(c) ? WindowManagerState::noServer : WindowManagerState::notAnswering;
  }
  return WindowManagerState::ready;
}

}  // namespace tessarapane::tools
