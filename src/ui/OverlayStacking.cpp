#include "ui/OverlayStacking.h"

#include <QCoreApplication>

#include <algorithm>
#include <utility>

#include "ui/X11Display.h"

namespace tessarapane::ui {

OverlayStacking::OverlayStacking(std::function<std::vector<xcb_window_t>()> overlays)
    : overlays_(std::move(overlays)) {
  connection_ = x11Connection();
  if (!connection_) return;
  root_ = x11Root(connection_);
  clientListStacking_ = internAtom(connection_, "_NET_CLIENT_LIST_STACKING");
  activeWindow_ = internAtom(connection_, "_NET_ACTIVE_WINDOW");
  state_ = internAtom(connection_, "_NET_WM_STATE");
  stateFullScreen_ = internAtom(connection_, "_NET_WM_STATE_FULLSCREEN");
  // Added to the root events Qt already listens to on this connection.
  const auto attributes = xcbReply(
      xcb_get_window_attributes_reply(connection_, xcb_get_window_attributes(connection_, root_), nullptr));
  const std::uint32_t mask = (attributes ? attributes->your_event_mask : 0) | XCB_EVENT_MASK_PROPERTY_CHANGE |
                             XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(connection_);
  pass_.setSingleShot(true);
  pass_.setInterval(0);
  QObject::connect(&pass_, &QTimer::timeout, [this] { restack(); });
  QCoreApplication::instance()->installNativeEventFilter(this);
}

OverlayStacking::~OverlayStacking() {
  if (connection_ && QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
}

namespace {

// Events that only the substructure mask added here brings: the window the
// event is about is a child of the root, reported to the root.
bool rootSubstructureCopy(const xcb_generic_event_t* event, xcb_window_t root) {
  switch (event->response_type & 0x7f) {
    case XCB_CONFIGURE_NOTIFY:
    case XCB_MAP_NOTIFY:
    case XCB_UNMAP_NOTIFY:
    case XCB_DESTROY_NOTIFY:
    case XCB_CREATE_NOTIFY:
    case XCB_REPARENT_NOTIFY:
    case XCB_GRAVITY_NOTIFY:
    case XCB_CIRCULATE_NOTIFY: {
      // All of them carry the reporting window (a create event's parent)
      // and then the window, at the same places.
      const auto* notify = reinterpret_cast<const xcb_unmap_notify_event_t*>(event);
      return notify->event == root && notify->window != root;
    }
    default:
      return false;
  }
}

}  // namespace

bool OverlayStacking::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  switch (event->response_type & 0x7f) {
    case XCB_PROPERTY_NOTIFY: {
      const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
      if (notify->window == root_ && (notify->atom == clientListStacking_ || notify->atom == activeWindow_)) {
        pass_.start();
      }
      return false;
    }
    case XCB_CONFIGURE_NOTIFY: {
      const auto* notify = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
      if (notify->event != root_ || notify->window == root_ || isOverlay(notify->window)) break;
      const auto [seen, added] = above_.try_emplace(notify->window, notify->above_sibling);
      if (added || seen->second != notify->above_sibling) {
        seen->second = notify->above_sibling;
        pass_.start();
      }
      break;
    }
    case XCB_MAP_NOTIFY: {
      const auto* notify = reinterpret_cast<const xcb_map_notify_event_t*>(event);
      if (notify->event == root_ && notify->window != root_ && !isOverlay(notify->window)) pass_.start();
      break;
    }
    case XCB_DESTROY_NOTIFY: {
      const auto* notify = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
      if (notify->event == root_) above_.erase(notify->window);
      break;
    }
    default:
      break;
  }
  // Qt never asked for these; given to it, a root configure event would
  // make it read every screen anew.
  return rootSubstructureCopy(event, root_);
}

bool OverlayStacking::isOverlay(xcb_window_t window) const {
  const std::vector<xcb_window_t> overlays = overlays_ ? overlays_() : std::vector<xcb_window_t>{};
  return std::find(overlays.begin(), overlays.end(), window) != overlays.end();
}

xcb_window_t OverlayStacking::topLevelOf(xcb_window_t window) const {
  // Window managers nest clients a level or two deep; the bound stops a
  // tree that changes underneath.
  for (int depth = 0; depth < 8 && window != XCB_NONE; ++depth) {
    const auto tree = xcbReply(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr));
    if (!tree) return XCB_NONE;
    if (tree->parent == root_) return window;
    window = tree->parent;
  }
  return XCB_NONE;
}

bool OverlayStacking::fullScreen(xcb_window_t client) const {
  const auto reply = xcbReply(xcb_get_property_reply(
      connection_, xcb_get_property(connection_, 0, client, state_, XCB_ATOM_ATOM, 0, 64), nullptr));
  if (!reply || reply->format != 32) return false;
  const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
  const int count = xcb_get_property_value_length(reply.get()) / 4;
  return std::find(atoms, atoms + count, stateFullScreen_) != atoms + count;
}

void OverlayStacking::restack() {
  const std::vector<xcb_window_t> overlays = overlays_ ? overlays_() : std::vector<xcb_window_t>{};
  if (overlays.empty()) return;
  const auto list = xcbReply(xcb_get_property_reply(
      connection_, xcb_get_property(connection_, 0, root_, clientListStacking_, XCB_ATOM_WINDOW, 0, 16384), nullptr));
  if (!list || list->format != 32 || xcb_get_property_value_length(list.get()) < 4) return;
  const auto* clients = static_cast<const xcb_window_t*>(xcb_get_property_value(list.get()));
  const xcb_window_t topClient = clients[xcb_get_property_value_length(list.get()) / 4 - 1];
  if (fullScreen(topClient)) return;
  const xcb_window_t top = topLevelOf(topClient);
  if (top == XCB_NONE) return;

  const auto tree = xcbReply(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root_), nullptr));
  if (!tree) return;
  const xcb_window_t* children = xcb_query_tree_children(tree.get());
  const xcb_window_t* end = children + xcb_query_tree_children_length(tree.get());
  // Already in order above the top window: nothing to send.
  const xcb_window_t* at = std::find(children, end, top);
  if (at == end) return;
  bool inOrder = true;
  for (const xcb_window_t overlay : overlays) {
    at = std::find(at, end, overlay);
    if (at == end) {
      inOrder = false;
      break;
    }
  }
  if (inOrder) return;
  xcb_window_t below = top;
  for (const xcb_window_t overlay : overlays) {
    const std::uint32_t values[] = {below, XCB_STACK_MODE_ABOVE};
    xcb_configure_window(connection_, overlay, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, values);
    below = overlay;
  }
  xcb_flush(connection_);
}

}  // namespace tessarapane::ui
