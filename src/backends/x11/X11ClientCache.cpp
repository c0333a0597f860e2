#include "backends/x11/X11ClientCache.h"

#include "backends/x11/MonotonicClock.h"

namespace tessarapane {

void X11ClientCache::untrack(xcb_window_t window) {
  tracked_.erase(window);
  entries_.erase(window);
}

std::vector<ClientInfo> X11ClientCache::read(const std::vector<xcb_window_t>& windows, unsigned fields,
                                             Deadline deadline) {
  // Nothing read before a lost connection counts any more.
  if (!x_.isConnected()) entries_.clear();
  // The attributes come with every read: they tell whether the window exists.
  const unsigned wanted = fields | ClientField::kAttributes;
  std::vector<ClientInfo> result(windows.size());
  std::vector<xcb_window_t> missing;
  std::vector<std::size_t> missingAt;
  unsigned missingFields = 0;
  for (std::size_t i = 0; i < windows.size(); ++i) {
    const auto found = entries_.find(windows[i]);
    const unsigned known = found != entries_.end() ? knownNow(found->second) : 0;
    if ((known & wanted) == wanted) {
      result[i] = found->second.info;
      continue;
    }
    missing.push_back(windows[i]);
    missingAt.push_back(i);
    missingFields |= wanted & ~known;
  }
  if (missing.empty()) return result;
  std::vector<ClientInfo> fresh = readClients(x_, missing, missingFields, deadline);
  for (std::size_t k = 0; k < missing.size(); ++k) {
    ClientInfo& read = fresh[k];
    const xcb_window_t window = missing[k];
    if (read.error != AXError::success || tracked_.count(window) == 0) {
      // A window that is gone is not remembered: it may be a new one next time.
      entries_.erase(window);
      result[missingAt[k]] = std::move(read);
      continue;
    }
    Entry& entry = entries_[window];
    entry.info.window = window;
    copyClientFields(entry.info, read, missingFields | ClientField::kAttributes);
    entry.known |= missingFields | ClientField::kAttributes;
    result[missingAt[k]] = entry.info;
  }
  return result;
}

ClientInfo X11ClientCache::read(xcb_window_t window, unsigned fields) {
  return read(std::vector<xcb_window_t>{window}, fields, x_.deadline()).front();
}

const ClientInfo* X11ClientCache::known(xcb_window_t window, unsigned fields) {
  const unsigned wanted = fields | ClientField::kAttributes;
  const auto found = entries_.find(window);
  if (found == entries_.end() || (knownNow(found->second) & wanted) != wanted) return nullptr;
  return &found->second.info;
}

void X11ClientCache::frameChanging(xcb_window_t window) {
  const auto found = entries_.find(window);
  if (found == entries_.end() || (found->second.known & ClientField::kFrame) == 0) return;
  // A second request before the report does not put the read off.
  if (!found->second.frameAskedAt) found->second.frameAskedAt = monotonicSeconds();
}

unsigned X11ClientCache::knownNow(Entry& entry) const {
  if (entry.frameAskedAt && monotonicSeconds() - *entry.frameAskedAt >= kFrameReportWait) {
    entry.known &= ~ClientField::kFrame;
    entry.frameAskedAt.reset();
  }
  return entry.known;
}

void X11ClientCache::drop(xcb_window_t window, unsigned fields) {
  if (const auto found = entries_.find(window); found != entries_.end()) {
    found->second.known &= ~fields;
    if (fields & ClientField::kFrame) found->second.frameAskedAt.reset();
  }
}

void X11ClientCache::dropEverywhere(unsigned fields) {
  for (auto& [window, entry] : entries_) {
    entry.known &= ~fields;
    if (fields & ClientField::kFrame) entry.frameAskedAt.reset();
  }
}

unsigned X11ClientCache::fieldsOfProperty(xcb_atom_t atom) const {
  using namespace ClientField;
  if (atom == x_.atom(Atom::_NET_FRAME_EXTENTS)) return kFrame;
  if (atom == x_.atom(Atom::_NET_WM_WINDOW_TYPE) || atom == XCB_ATOM_WM_TRANSIENT_FOR) return kType;
  // Iconifying and sending to another desktop hide the window.
  if (atom == x_.atom(Atom::_NET_WM_STATE) || atom == x_.atom(Atom::WM_STATE)) return kState | kAttributes;
  if (atom == x_.atom(Atom::_NET_WM_DESKTOP)) return kDesktop | kAttributes;
  if (atom == x_.atom(Atom::_NET_WM_PID)) return kPid;
  if (atom == x_.atom(Atom::_NET_WM_NAME) || atom == XCB_ATOM_WM_NAME) return kTitle;
  if (atom == XCB_ATOM_WM_CLASS) return kClass;
  if (atom == x_.atom(Atom::_NET_WM_WINDOW_OPACITY)) return kOpacity;
  if (atom == x_.atom(Atom::WM_PROTOCOLS)) return kProtocols;
  if (atom == XCB_ATOM_WM_NORMAL_HINTS) return kSizeHints;
  if (atom == x_.atom(Atom::_NET_WM_ALLOWED_ACTIONS)) return kActions;
  if (atom == x_.atom(Atom::_NET_WM_STRUT_PARTIAL) || atom == x_.atom(Atom::_NET_WM_STRUT)) return kStrut;
  // User times, icons and the like change often and are never read here.
  return 0;
}

void X11ClientCache::eventArrived(const xcb_generic_event_t& event) {
  switch (event.response_type & 0x7F) {
    case XCB_PROPERTY_NOTIFY: {
      const auto& property = reinterpret_cast<const xcb_property_notify_event_t&>(event);
      if (property.window == x_.root()) {
        // Another desktop shows other frames.
        if (property.atom == x_.atom(Atom::_NET_CURRENT_DESKTOP)) dropEverywhere(ClientField::kAttributes);
        return;
      }
      drop(property.window, fieldsOfProperty(property.atom));
      return;
    }
    case XCB_CONFIGURE_NOTIFY:
      drop(reinterpret_cast<const xcb_configure_notify_event_t&>(event).window, ClientField::kFrame);
      return;
    case XCB_MAP_NOTIFY:
      drop(reinterpret_cast<const xcb_map_notify_event_t&>(event).window, ClientField::kAttributes);
      return;
    case XCB_UNMAP_NOTIFY:
      drop(reinterpret_cast<const xcb_unmap_notify_event_t&>(event).window, ClientField::kAttributes);
      return;
    case XCB_REPARENT_NOTIFY:
      forget(reinterpret_cast<const xcb_reparent_notify_event_t&>(event).window);
      return;
    case XCB_DESTROY_NOTIFY:
      // Its id may come back as another window's.
      untrack(reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window);
      return;
    default:
      // Input, client messages, monitor changes and extensions' events say
      // nothing about a client's properties or frame.
      return;
  }
}

}  // namespace tessarapane
