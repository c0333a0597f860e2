#include "backends/x11/X11Screens.h"

#include <utility>

#include "windows/ScreenIdentity.h"

namespace tessarapane {

namespace {

bool sameScreens(const std::vector<Screen>& a, const std::vector<Screen>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].displayID != b[i].displayID || !(a[i].frame == b[i].frame) || !(a[i].visibleFrame == b[i].visibleFrame)) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::shared_ptr<X11Screens> X11Screens::create(std::shared_ptr<X11Desktop> desktop) {
  std::shared_ptr<X11Screens> screens(new X11Screens(desktop));
  desktop->addListener(screens);
  screens->last_ = screens->screens();
  return screens;
}

X11Screens::X11Screens(std::shared_ptr<X11Desktop> desktop) : desktop_(std::move(desktop)) {}

std::vector<Screen> X11Screens::screens() {
  if (!desktop_->x().isConnected()) return {};
  if (!known_) known_ = readScreens();
  return *known_;
}

// Windows moving and most property changes leave monitors and docks alone:
// only what can move a monitor or a dock's reserved edge is a reason to read
// the screens again.
void X11Screens::eventArrived(const xcb_generic_event_t& event) {
  if (!known_) return;
  X11Connection& x = desktop_->x();
  switch (event.response_type & 0x7F) {
    case XCB_CONFIGURE_NOTIFY:
      if (reinterpret_cast<const xcb_configure_notify_event_t&>(event).window == x.root()) known_.reset();
      return;
    case XCB_PROPERTY_NOTIFY: {
      const xcb_atom_t atom = reinterpret_cast<const xcb_property_notify_event_t&>(event).atom;
      if (atom == x.atom(Atom::_NET_WM_STRUT_PARTIAL) || atom == x.atom(Atom::_NET_WM_STRUT) ||
          atom == x.atom(Atom::_NET_WM_DESKTOP) || atom == x.atom(Atom::_NET_CURRENT_DESKTOP) ||
          atom == x.atom(Atom::_NET_CLIENT_LIST) || atom == x.atom(Atom::_NET_WORKAREA)) {
        known_.reset();
      }
      return;
    }
    // Held hot keys and requests to the window manager move nothing.
    case XCB_GE_GENERIC:
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE:
    case XCB_CLIENT_MESSAGE:
      return;
    default:
      // Maps, unmaps, RandR and anything else.
      known_.reset();
  }
}

std::vector<Screen> X11Screens::readScreens() {
  X11Connection& x = desktop_->x();
  const Deadline deadline = x.deadline();
  const auto monitors = desktop_->monitors(deadline);
  if (!monitors || monitors->empty()) return {};
  auto root = x.await<xcb_get_geometry_reply_t>(xcb_get_geometry(x.raw(), x.root()), deadline);
  const Rect rootFrame = root.ok() ? Rect(0, 0, root->width, root->height) : monitors->front().frame;

  // Struts of docks that are showing on the current desktop.
  std::vector<ClientInfo> docks;
  if (const auto clients = desktop_->clientList(deadline)) {
    for (ClientInfo& info : desktop_->clientCache().read(*clients, ClientField::kStrut | ClientField::kDesktop, deadline)) {
      if (info.error == AXError::success && info.viewable && !info.strut.empty()) docks.push_back(std::move(info));
    }
  }

  // The window manager's work area on the current desktop.
  std::optional<Rect> workArea;
  const std::vector<std::uint32_t> areas = x.property(x.root(), x.atom(Atom::_NET_WORKAREA)).values32();
  const std::uint32_t current = desktop_->currentDesktop(deadline).value_or(0);
  if (current < areas.size() / 4) {
    const std::uint32_t* area = &areas[static_cast<std::size_t>(current) * 4];
    workArea = Rect(area[0], area[1], area[2], area[3]);
  }

  // Root rectangles to accessibility space (primary at the origin), then
  // flipped about the primary into toolkit space.
  const Rect primary = desktop_->toAccessibility(monitors->front().frame);
  const std::vector<Screen> anchor{Screen{monitors->front().id, Rect(0, 0, primary.width(), primary.height()), {}}};
  std::vector<Screen> result;
  for (const X11Monitor& monitor : *monitors) {
    Screen screen;
    screen.displayID = monitor.id;
    screen.frame = ScreenIdentity::convertFrame(desktop_->toAccessibility(monitor.frame), anchor);
    screen.visibleFrame =
        ScreenIdentity::convertFrame(desktop_->toAccessibility(visibleFrame(monitor.frame, docks, rootFrame, workArea)), anchor);
    result.push_back(screen);
  }
  return result;
}

std::optional<Screen> X11Screens::mainScreen() {
  const std::vector<Screen> all = screens();
  if (all.empty()) return std::nullopt;
  // The screen holding most of the active window; the primary otherwise.
  X11Connection& x = desktop_->x();
  const auto active = desktop_->activeWindow(x.deadline());
  if (!active || *active == XCB_NONE) return all.front();
  const ClientInfo info = desktop_->clientCache().read(*active, ClientField::kFrame);
  if (info.error != AXError::success) return all.front();
  const Rect frame = ScreenIdentity::convertFrame(desktop_->toAccessibility(info.frame), all);
  std::vector<Rect> frames;
  for (const Screen& screen : all) frames.push_back(screen.frame);
  const auto index = ScreenIdentity::preferredScreenIndex(frames, {frame});
  return index ? all[*index] : all.front();
}

Subscription X11Screens::subscribeScreenParametersChanged(std::function<void()> handler) {
  if (!handler) return {};
  const std::uint64_t id = nextHandler_++;
  handlers_.emplace(id, std::make_shared<std::function<void()>>(std::move(handler)));
  return Subscription([weak = weak_from_this(), id] {
    if (auto self = weak.lock()) self->handlers_.erase(id);
  });
}

void X11Screens::notifyIfChanged() {
  known_.reset();
  std::vector<Screen> current = screens();
  if (sameScreens(current, last_)) return;
  last_ = std::move(current);
  std::vector<std::pair<std::uint64_t, std::shared_ptr<std::function<void()>>>> handlers(handlers_.begin(),
                                                                                       handlers_.end());
  for (const auto& [id, handler] : handlers) {
    if (handlers_.count(id) != 0) (*handler)();
  }
}

void X11Screens::monitorsChanged() { notifyIfChanged(); }

// A dock coming or going changes the visible frames.
void X11Screens::clientAdded(xcb_window_t, ProcessID) {
  if (!handlers_.empty()) notifyIfChanged();
}

void X11Screens::clientRemoved(xcb_window_t, ProcessID) {
  if (!handlers_.empty()) notifyIfChanged();
}

}  // namespace tessarapane
