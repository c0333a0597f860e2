#include "ui/overlay/CompositingWatch.h"

#include <xcb/xfixes.h>

#include <QCoreApplication>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "ui/services/X11Display.h"

namespace tessarapane::ui {

CompositingWatch::CompositingWatch(std::function<void(bool)> changed) : changed_(std::move(changed)) {
  xcb_connection_t* connection = x11Connection();
  if (!connection) return;
  selection_ = internAtom(connection, "_NET_WM_CM_S" + std::to_string(x11ScreenNumber()));
  if (selection_ == XCB_NONE) return;
  const xcb_window_t root = x11Root(connection);

  const auto owner = xcbReply(xcb_get_selection_owner_reply(
      connection, xcb_get_selection_owner(connection, selection_), nullptr));
  active_ = owner && owner->owner != XCB_NONE;

  const xcb_query_extension_reply_t* fixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
  if (!fixes || !fixes->present) return;
  // The server answers XFixes requests only after this handshake.
  xcbReply(xcb_xfixes_query_version_reply(
      connection, xcb_xfixes_query_version(connection, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
      nullptr));
  xcb_xfixes_select_selection_input(connection, root, selection_,
                                    XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                        XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                        XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
  xcb_flush(connection);
  notifyEvent_ = fixes->first_event + XCB_XFIXES_SELECTION_NOTIFY;
  QCoreApplication::instance()->installNativeEventFilter(this);
}

CompositingWatch::~CompositingWatch() {
  if (notifyEvent_ && QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool CompositingWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7f) != notifyEvent_) return false;
  const auto* notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
  if (notify->selection != selection_) return false;
  // A destroyed owner or a closed client leaves the selection unowned.
  const bool active = notify->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER && notify->owner != XCB_NONE;
  if (active != active_) {
    active_ = active;
    if (changed_) changed_(active_);
  }
  return false;
}

}  // namespace tessarapane::ui
