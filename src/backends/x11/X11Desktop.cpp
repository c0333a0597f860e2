#include "backends/x11/X11Desktop.h"

#include <xcb/randr.h>
#include <xcb/res.h>

#include <algorithm>
#include <set>
#include <string_view>
#include <utility>

#include "backends/x11/MonotonicClock.h"
#include "text/Utf8Text.h"

namespace tessarapane {

namespace {

// How long an activation this process asked for outranks what the window
// manager reports: it applies requests a few milliseconds later.
constexpr double kActivationGrace = 0.5;
// A request for the window last asked for, this soon and with the focus not
// moved since, is the same request again.
constexpr double kActivationRepeat = 0.05;

// Window managers list a few hundred features at most; the name is shown.
constexpr std::uint32_t kMaxSupportedAtoms = 2048;
constexpr std::size_t kMaxWindowManagerName = 64;

// Window managers that tile every window by default; they announce
// themselves under these names. EWMH has no way to ask.
bool isTilingWindowManager(std::string_view name) {
  for (std::string_view tiling : {"i3", "bspwm", "herbstluftwm", "spectrwm", "qtile", "xmonad", "dwm"}) {
    if (name == tiling) return true;
  }
  return false;
}

constexpr std::uint32_t kClientEventMask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;

std::vector<xcb_window_t> windowsOf(const XProperty& property) {
  std::vector<xcb_window_t> windows;
  for (std::uint32_t value : property.values32()) windows.push_back(value);
  return windows;
}

}  // namespace

std::shared_ptr<X11Desktop> X11Desktop::create(std::shared_ptr<X11Connection> connection) {
  std::shared_ptr<X11Desktop> desktop(new X11Desktop(std::move(connection)));
  desktop->start();
  return desktop;
}

X11Desktop::X11Desktop(std::shared_ptr<X11Connection> connection)
    : connection_(std::move(connection)), clientCache_(*connection_) {}

X11Desktop::~X11Desktop() = default;

void X11Desktop::start() {
  X11Connection& c = *connection_;
  // The root's own configure notifications come with every change of the
  // monitors, including those RandR itself says nothing about (monitors set
  // by a client).
  const std::uint32_t rootMask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(c.raw(), c.root(), XCB_CW_EVENT_MASK, &rootMask);
  if (c.hasRandR()) {
    xcb_randr_select_input(c.raw(), c.root(),
                           XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE | XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE |
                               XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE);
  }
  events_ = c.addEventHandler([this](const xcb_generic_event_t& event) { handleEvent(event); });
  // The clients already there are known without being announced.
  const Deadline deadline = c.deadline();
  if (auto list = clientList(deadline)) {
    for (xcb_window_t window : *list) {
      xcb_change_window_attributes(c.raw(), window, XCB_CW_EVENT_MASK, &kClientEventMask);
      clientCache_.track(window);
    }
    const auto pids = pidsOf(*list, deadline);
    const auto infos = clientCache_.read(*list, ClientField::kDescribed, deadline);
    for (std::size_t i = 0; i < list->size(); ++i) {
      clients_[(*list)[i]] = pids[i].value_or(0);
      titles_[(*list)[i]] = infos[i].title.value_or("");
      if (infos[i].hasState(c.atom(Atom::_NET_WM_STATE_FULLSCREEN))) fullScreen_.insert((*list)[i]);
    }
  }
  lastActive_ = activeWindow(deadline).value_or(XCB_NONE);
  monitors_ = readMonitors(c, deadline);
  c.flush();
}

// The window manager's root properties are read once and then kept until it
// changes them (a property event on the root), so a pass over the windows
// does not ask for them again and again.
const XProperty& X11Desktop::rootProperty(Atom property, Deadline deadline) {
  X11Connection& c = *connection_;
  const xcb_atom_t atom = c.atom(property);
  if (!c.isConnected()) rootProperties_.clear();
  if (const auto known = rootProperties_.find(atom); known != rootProperties_.end()) return known->second;
  XProperty read = c.awaitProperty(c.requestProperty(c.root(), atom), deadline);
  // A failed read is not kept: the next one asks again.
  if (!read.ok()) {
    failedRead_ = std::move(read);
    return failedRead_;
  }
  return rootProperties_[atom] = std::move(read);
}

std::optional<std::vector<xcb_window_t>> X11Desktop::clientList(Deadline deadline) {
  const XProperty& list = rootProperty(Atom::_NET_CLIENT_LIST, deadline);
  if (!list.ok()) return std::nullopt;
  return windowsOf(list);
}

std::optional<std::vector<xcb_window_t>> X11Desktop::stackingList(Deadline deadline) {
  const XProperty& list = rootProperty(Atom::_NET_CLIENT_LIST_STACKING, deadline);
  if (!list.ok()) return std::nullopt;
  return windowsOf(list);
}

// Kept like the other root properties, except while an activation this
// process asked for is under way: the focus is what callers check right after
// asking for it, often before the change's event has been dispatched.
std::optional<xcb_window_t> X11Desktop::activeWindow(Deadline deadline) {
  X11Connection& c = *connection_;
  const bool activating = activation_ && !activeChangedSinceRequest_ &&
                          monotonicSeconds() - activation_->time <= kActivationGrace;
  if (!activating) {
    const XProperty& active = rootProperty(Atom::_NET_ACTIVE_WINDOW, deadline);
    if (!active.ok()) return std::nullopt;
    return active.first32().value_or(XCB_NONE);
  }
  const XProperty active = c.awaitProperty(c.requestProperty(c.root(), c.atom(Atom::_NET_ACTIVE_WINDOW)), deadline);
  if (!active.ok()) return std::nullopt;
  return active.first32().value_or(XCB_NONE);
}

std::optional<std::uint32_t> X11Desktop::currentDesktop(Deadline deadline) {
  const XProperty& desktop = rootProperty(Atom::_NET_CURRENT_DESKTOP, deadline);
  if (!desktop.ok()) return std::nullopt;
  return desktop.first32().value_or(0);
}

std::vector<std::optional<ProcessID>> X11Desktop::pidsOf(const std::vector<xcb_window_t>& windows,
                                                         Deadline deadline) {
  X11Connection& c = *connection_;
  std::vector<std::optional<ProcessID>> pids(windows.size());
  std::vector<std::size_t> unknown;
  for (std::size_t i = 0; i < windows.size(); ++i) {
    if (auto found = pidCache_.find(windows[i]); found != pidCache_.end()) {
      pids[i] = found->second;
    } else {
      unknown.push_back(i);
    }
  }
  if (unknown.empty()) return pids;

  std::vector<xcb_window_t> asked;
  for (std::size_t i : unknown) asked.push_back(windows[i]);
  const std::vector<ClientInfo> infos = readClients(c, asked, ClientField::kPid, deadline);
  std::vector<std::pair<std::size_t, xcb_res_query_client_ids_cookie_t>> fallbacks;
  for (std::size_t k = 0; k < unknown.size(); ++k) {
    const ClientInfo& info = infos[k];
    if (info.error != AXError::success) continue;
    if (info.pid) {
      pids[unknown[k]] = info.pid;
    } else if (c.hasXRes()) {
      // Clients that do not say their pid: ask the server who owns the window.
      xcb_res_client_id_spec_t query{asked[k], XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
      fallbacks.emplace_back(unknown[k], xcb_res_query_client_ids(c.raw(), 1, &query));
    }
  }
  for (auto& [index, cookie] : fallbacks) {
    auto reply = c.await<xcb_res_query_client_ids_reply_t>(cookie, deadline);
    if (!reply.ok()) continue;
    for (auto it = xcb_res_query_client_ids_ids_iterator(reply.value.get()); it.rem > 0;
         xcb_res_client_id_value_next(&it)) {
      // The reply's client id record is the value's first member (standard
      // layout), so the value pointer is also a pointer to it.
      const auto* clientId = reinterpret_cast<const xcb_res_client_id_spec_t*>(it.data);
      if ((clientId->mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) == 0) continue;
      if (xcb_res_client_id_value_value_length(it.data) < 1) continue;
      const std::uint32_t pid = *xcb_res_client_id_value_value(it.data);
      if (pid > 0) pids[index] = static_cast<ProcessID>(pid);
    }
  }
  for (std::size_t i : unknown) {
    if (pids[i]) pidCache_[windows[i]] = *pids[i];
  }
  return pids;
}

std::optional<ProcessID> X11Desktop::pidOf(xcb_window_t window) {
  return pidsOf({window}, connection_->deadline()).front();
}

std::optional<std::vector<xcb_window_t>> X11Desktop::clientsOf(ProcessID pid, Deadline deadline) {
  auto list = clientList(deadline);
  if (!list) return std::nullopt;
  const auto pids = pidsOf(*list, deadline);
  std::vector<xcb_window_t> windows;
  for (std::size_t i = 0; i < list->size(); ++i) {
    if (pids[i] == pid) windows.push_back((*list)[i]);
  }
  return windows;
}

bool X11Desktop::windowManagerRunning() { return windowManagerReport().found; }

WindowManagerReport X11Desktop::windowManagerReport() {
  X11Connection& c = *connection_;
  if (!c.isConnected()) {
    managerReport_.reset();
    return {};
  }
  if (managerReport_) return *managerReport_;
  xcb_window_t checkWindow = XCB_NONE;
  const WindowManagerReport report = readWindowManagerReport(checkWindow);
  // Every layout request asks, and the answer changes only when a manager
  // comes or goes. A manager that is there is kept while its check window
  // lives and neither it nor the root announces anything new; one that is
  // missing is asked for again next time (it may be half-way through starting).
  if (!report.found || checkWindow == c.root()) return report;
  const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(c.raw(), checkWindow, XCB_CW_EVENT_MASK, &mask);
  // Gone before the events were asked for, it would never report its end.
  const XProperty self = c.awaitProperty(c.requestProperty(checkWindow, c.atom(Atom::_NET_SUPPORTING_WM_CHECK)), c.deadline());
  if (self.first32() != checkWindow) return report;
  managerReport_ = report;
  managerCheckWindow_ = checkWindow;
  return report;
}

WindowManagerReport X11Desktop::readWindowManagerReport(xcb_window_t& checkWindow) {
  WindowManagerReport report;
  X11Connection& c = *connection_;
  const Deadline deadline = c.deadline();
  const XProperty check =
      c.awaitProperty(c.requestProperty(c.root(), c.atom(Atom::_NET_SUPPORTING_WM_CHECK)), deadline);
  const auto window = check.first32();
  if (!window || *window == XCB_NONE) return report;
  const auto supported = c.requestProperty(c.root(), c.atom(Atom::_NET_SUPPORTED), XCB_ATOM_ATOM, kMaxSupportedAtoms);
  const auto name = c.requestProperty(*window, c.atom(Atom::_NET_WM_NAME));
  // A stale property names a window that is gone or does not name itself.
  const XProperty self =
      c.awaitProperty(c.requestProperty(*window, c.atom(Atom::_NET_SUPPORTING_WM_CHECK)), deadline);
  const XProperty nameValue = c.awaitProperty(name, deadline);
  const std::vector<std::uint32_t> listed = c.awaitProperty(supported, deadline).values32();
  if (self.first32() != window) return report;
  report.found = true;
  checkWindow = *window;
  // Another program's text: valid UTF-8 and short, whatever it holds.
  report.name = std::string(Utf8Text::prefix(Utf8Text::valid(nameValue.text()), kMaxWindowManagerName));
  report.tiling = isTilingWindowManager(report.name);
  for (const auto& [atom, featureName] : {std::pair{Atom::_NET_MOVERESIZE_WINDOW, "_NET_MOVERESIZE_WINDOW"},
                                          std::pair{Atom::_NET_ACTIVE_WINDOW, "_NET_ACTIVE_WINDOW"},
                                          std::pair{Atom::_NET_CLIENT_LIST_STACKING, "_NET_CLIENT_LIST_STACKING"}}) {
    if (std::find(listed.begin(), listed.end(), c.atom(atom)) == listed.end()) report.missing.emplace_back(featureName);
  }
  return report;
}

void X11Desktop::managerAnnouncementChanged(const xcb_generic_event_t& event) {
  if (!managerReport_) return;
  X11Connection& c = *connection_;
  const std::uint8_t type = event.response_type & 0x7F;
  bool changed = false;
  if (type == XCB_PROPERTY_NOTIFY) {
    const auto& property = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    changed = property.window == managerCheckWindow_ ||
              (property.window == c.root() && (property.atom == c.atom(Atom::_NET_SUPPORTING_WM_CHECK) ||
                                               property.atom == c.atom(Atom::_NET_SUPPORTED)));
  } else if (type == XCB_DESTROY_NOTIFY) {
    changed = reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window == managerCheckWindow_;
  }
  if (!changed) return;
  managerReport_.reset();
  managerCheckWindow_ = XCB_NONE;
}

std::optional<std::vector<X11Monitor>> X11Desktop::monitors(Deadline deadline) {
  auto fresh = readMonitors(*connection_, deadline);
  if (fresh) monitors_ = fresh;
  return fresh;
}

Point X11Desktop::origin() {
  if (!monitors_) monitors_ = readMonitors(*connection_, connection_->deadline());
  if (!monitors_ || monitors_->empty()) return Point{0, 0};
  return monitors_->front().frame.origin;
}

Rect X11Desktop::toAccessibility(const Rect& rootRect) {
  const Point o = origin();
  return Rect(rootRect.x() - o.x, rootRect.y() - o.y, rootRect.width(), rootRect.height());
}

Point X11Desktop::toRoot(const Point& point) {
  const Point o = origin();
  return Point{point.x + o.x, point.y + o.y};
}

void X11Desktop::requestActivation(xcb_window_t window) {
  // A raise asks for its window up to three times in a row (focused window,
  // main window, process to front); each request would cost the window
  // manager a focus change of its own.
  const double now = monotonicSeconds();
  if (activation_ && activation_->window == window && !activeChangedSinceRequest_ &&
      now - activation_->time < kActivationRepeat) {
    return;
  }
  // Source 2: a pager acting for the user, which window managers honour
  // without focus-stealing checks.
  connection_->sendRootMessage(window, Atom::_NET_ACTIVE_WINDOW, {2, XCB_CURRENT_TIME, XCB_NONE, 0, 0});
  activeChangedSinceRequest_ = false;
  if (const auto pid = pidOf(window)) activation_ = Activation{window, *pid, now};
  else activation_.reset();
}

std::optional<xcb_window_t> X11Desktop::recentActivation(ProcessID pid) {
  if (!activation_ || activation_->pid != pid) return std::nullopt;
  if (monotonicSeconds() - activation_->time > kActivationGrace) return std::nullopt;
  return activation_->window;
}

std::optional<xcb_window_t> X11Desktop::frontWindowOf(ProcessID pid, Deadline deadline) {
  auto stacking = stackingList(deadline);
  if (!stacking) return std::nullopt;
  const auto pids = pidsOf(*stacking, deadline);
  auto owned = [&](xcb_window_t window) {
    for (std::size_t i = 0; i < stacking->size(); ++i) {
      if ((*stacking)[i] == window) return pids[i] == pid;
    }
    return false;
  };
  if (const auto recent = recentActivation(pid); recent && owned(*recent)) return recent;
  if (const auto active = activeWindow(deadline); active && *active != XCB_NONE && owned(*active)) return active;
  for (std::size_t i = stacking->size(); i-- > 0;) {
    if (pids[i] == pid) return (*stacking)[i];
  }
  return std::nullopt;
}

void X11Desktop::addListener(std::weak_ptr<X11DesktopListener> listener) { listeners_.push_back(std::move(listener)); }

template <class Call>
void X11Desktop::notify(Call call) {
  // A copy: listeners may add others while being told.
  const auto listeners = listeners_;
  for (const auto& weak : listeners) {
    if (auto listener = weak.lock()) call(*listener);
  }
  std::erase_if(listeners_, [](const std::weak_ptr<X11DesktopListener>& weak) { return weak.expired(); });
}

void X11Desktop::handleEvent(const xcb_generic_event_t& event) {
  clientCache_.eventArrived(event);
  managerAnnouncementChanged(event);
  notify([&](X11DesktopListener& l) { l.eventArrived(event); });
  X11Connection& c = *connection_;
  const std::uint8_t type = event.response_type & 0x7F;
  if (type == XCB_PROPERTY_NOTIFY) {
    const auto& property = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    if (property.window == c.root()) {
      rootProperties_.erase(property.atom);
      if (property.atom == c.atom(Atom::_NET_CLIENT_LIST)) {
        refreshClients();
      }
      else if (property.atom == c.atom(Atom::_NET_ACTIVE_WINDOW)) {
        activeChangedSinceRequest_ = true;
        refreshActiveWindow();
      }
      else if (property.atom == c.atom(Atom::_NET_CURRENT_DESKTOP)) {
        notify([](X11DesktopListener& l) { l.currentDesktopChanged(); });
      }
      return;
    }
    if (property.atom == c.atom(Atom::_NET_WM_STATE)) {
      fullScreenStateChanged(property.window);
      return;
    }
    if (property.atom != c.atom(Atom::_NET_WM_NAME) && property.atom != XCB_ATOM_WM_NAME) return;
    const auto client = clients_.find(property.window);
    if (client == clients_.end() || client->second == 0) return;
    const xcb_window_t window = client->first;
    const ProcessID pid = client->second;
    // Clients set both names at once; one change of the title is told once.
    const ClientInfo info = clientCache_.read(window, ClientField::kTitle);
    if (info.error != AXError::success) return;
    const std::string title = info.title.value_or("");
    auto& known = titles_[window];
    if (known == title) return;
    known = title;
    notify([&](X11DesktopListener& l) { l.titleChanged(window, pid); });
    return;
  }
  if (type == XCB_DESTROY_NOTIFY) {
    const auto& destroyed = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
    if (clients_.count(destroyed.window) != 0) removeClient(destroyed.window);
    pidCache_.erase(destroyed.window);
    return;
  }
  if (type == XCB_CONFIGURE_NOTIFY) {
    if (reinterpret_cast<const xcb_configure_notify_event_t&>(event).window == c.root()) refreshMonitors();
    return;
  }
  if (const auto first = c.randrFirstEvent();
      first && (type == *first + XCB_RANDR_SCREEN_CHANGE_NOTIFY || type == *first + XCB_RANDR_NOTIFY)) {
    refreshMonitors();
  }
}

void X11Desktop::refreshClients() {
  X11Connection& c = *connection_;
  const Deadline deadline = c.deadline();
  const auto list = clientList(deadline);
  if (!list) return;
  const std::set<xcb_window_t> listed(list->begin(), list->end());
  std::vector<xcb_window_t> gone;
  for (const auto& [window, pid] : clients_) {
    if (listed.count(window) == 0) gone.push_back(window);
  }
  for (xcb_window_t window : gone) removeClient(window);

  std::vector<xcb_window_t> added;
  for (xcb_window_t window : *list) {
    if (clients_.count(window) == 0) added.push_back(window);
  }
  if (added.empty()) return;
  for (xcb_window_t window : added) {
    xcb_change_window_attributes(c.raw(), window, XCB_CW_EVENT_MASK, &kClientEventMask);
    // Selected before anything is read: every later change is an event.
    clientCache_.track(window);
  }
  c.flush();
  const auto pids = pidsOf(added, deadline);
  const auto infos = clientCache_.read(added, ClientField::kDescribed, deadline);
  for (std::size_t i = 0; i < added.size(); ++i) {
    titles_[added[i]] = infos[i].title.value_or("");
    if (infos[i].hasState(c.atom(Atom::_NET_WM_STATE_FULLSCREEN))) fullScreen_.insert(added[i]);
    // A window whose pid could not be read because it is already gone is
    // left for the next list change; one that exists but names no process
    // is kept as unknown.
    if (!pids[i]) {
      const ClientInfo probe = readClient(c, added[i], 0);
      if (probe.error != AXError::success) continue;
    }
    clients_[added[i]] = pids[i].value_or(0);
  }
  for (std::size_t i = 0; i < added.size(); ++i) {
    if (!pids[i]) continue;
    const xcb_window_t window = added[i];
    const ProcessID pid = *pids[i];
    notify([&](X11DesktopListener& l) { l.clientAdded(window, pid); });
  }
}

// Maximising and other state changes leave the full-screen state as it was:
// only a change of that state is told.
void X11Desktop::fullScreenStateChanged(xcb_window_t window) {
  X11Connection& c = *connection_;
  const auto client = clients_.find(window);
  if (client == clients_.end() || client->second == 0) return;
  const ProcessID pid = client->second;
  const ClientInfo info = clientCache_.read(window, ClientField::kState);
  if (info.error != AXError::success) return;
  const bool now = info.hasState(c.atom(Atom::_NET_WM_STATE_FULLSCREEN));
  if (now == (fullScreen_.count(window) != 0)) return;
  if (now) fullScreen_.insert(window);
  else fullScreen_.erase(window);
  notify([&](X11DesktopListener& l) { l.fullScreenChanged(window, pid); });
}

void X11Desktop::removeClient(xcb_window_t window) {
  const auto found = clients_.find(window);
  if (found == clients_.end()) return;
  const ProcessID pid = found->second;
  clients_.erase(found);
  clientCache_.untrack(window);
  pidCache_.erase(window);
  titles_.erase(window);
  fullScreen_.erase(window);
  if (pid != 0) notify([&](X11DesktopListener& l) { l.clientRemoved(window, pid); });
}

void X11Desktop::refreshActiveWindow() {
  const auto active = activeWindow(connection_->deadline());
  // A switch passes through "none"; only a different window counts.
  if (!active || *active == XCB_NONE || *active == lastActive_) return;
  lastActive_ = *active;
  const auto pid = pidOf(*active);
  if (!pid) return;
  const xcb_window_t window = *active;
  notify([&](X11DesktopListener& l) { l.activeWindowChanged(window, *pid); });
}

void X11Desktop::refreshMonitors() {
  const auto before = monitors_;
  const auto fresh = readMonitors(*connection_, connection_->deadline());
  if (!fresh) return;
  monitors_ = fresh;
  auto same = [](const std::vector<X11Monitor>& a, const std::vector<X11Monitor>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (a[i].id != b[i].id || !(a[i].frame == b[i].frame) || a[i].primary != b[i].primary) return false;
    }
    return true;
  };
  if (before && same(*before, *fresh)) return;
  notify([](X11DesktopListener& l) { l.monitorsChanged(); });
}

}  // namespace tessarapane
