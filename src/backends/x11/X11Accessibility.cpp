// Trust, elements and attribute reads of the X11 accessibility interface.
#include "backends/x11/X11Accessibility.h"

#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "backends/x11/MonotonicClock.h"

namespace tessarapane {

namespace {

AXCopyResult value(AXAttributeValue v) { return AXCopyResult{AXError::success, std::move(v)}; }
AXCopyResult noValue() { return AXCopyResult{AXError::noValue, std::nullopt}; }
AXCopyResult unsupported() { return AXCopyResult{AXError::attributeUnsupported, std::nullopt}; }
AXCopyResult failed(AXError error) { return AXCopyResult{error, std::nullopt}; }

constexpr std::uint64_t kWindowMask = 0xFFFFFFFFULL;

xcb_window_t windowOf(const AXElement& element) { return static_cast<xcb_window_t>(element.token & kWindowMask); }

std::optional<X11Accessibility::Control> controlOf(const AXElement& element) {
  switch (element.token >> 32) {
    case 1:
      return X11Accessibility::Control::close;
    case 2:
      return X11Accessibility::Control::minimize;
    case 3:
      return X11Accessibility::Control::zoom;
    default:
      return std::nullopt;
  }
}

const char* subroleOf(ClientKind kind) {
  switch (kind) {
    case ClientKind::normal:
      return "AXStandardWindow";
    case ClientKind::dialog:
      return "AXDialog";
    case ClientKind::utility:
      return "AXFloatingWindow";
    case ClientKind::dock:
    case ClientKind::desktop:
    case ClientKind::other:
      return "AXUnknown";
    case ClientKind::none:
      break;
  }
  return nullptr;
}

}  // namespace

std::shared_ptr<X11Accessibility> X11Accessibility::create(std::shared_ptr<X11Desktop> desktop,
                                                           std::shared_ptr<Scheduler> scheduler) {
  std::shared_ptr<X11Accessibility> accessibility(new X11Accessibility(desktop));
  accessibility->catchUp_ = std::make_shared<X11ManagerCatchUp>(desktop, scheduler);
  accessibility->scheduler_ = std::move(scheduler);
  desktop->addListener(accessibility);
  desktop->addListener(accessibility->catchUp_);
  return accessibility;
}

namespace {
// Everything the window attributes need, in one batch.
constexpr unsigned kSnapshotFields = ClientField::kFrame | ClientField::kType | ClientField::kState |
                                     ClientField::kTitle | ClientField::kProtocols | ClientField::kSizeHints |
                                     ClientField::kActions;
// Clients read in one round trip at most.
constexpr std::size_t kSnapshotBatch = 64;
}  // namespace

ClientInfo X11Accessibility::client(xcb_window_t window, unsigned fields) {
  X11Connection& x = desktop_->x();
  if ((fields & ~kSnapshotFields) != 0) return readClient(x, window, fields);
  X11ClientCache& cache = desktop_->clientCache();
  if (x.isConnected()) {
    if (const ClientInfo* known = cache.known(window, fields)) return *known;
  }
  // The other clients come in the same round trip: a pass over the windows
  // asks about each of them next. Those already known cost nothing.
  const Deadline deadline = x.deadline();
  std::vector<xcb_window_t> batch{window};
  if (const auto clients = desktop_->clientList(deadline)) {
    for (xcb_window_t other : *clients) {
      if (batch.size() >= kSnapshotBatch) break;
      if (other != window) batch.push_back(other);
    }
  }
  return cache.read(batch, kSnapshotFields, deadline).front();
}

void X11Accessibility::frameChanging(xcb_window_t window) { desktop_->clientCache().frameChanging(window); }

void X11Accessibility::forget(xcb_window_t window) { desktop_->clientCache().forget(window); }

X11Accessibility::X11Accessibility(std::shared_ptr<X11Desktop> desktop) : desktop_(std::move(desktop)) {}

bool X11Accessibility::isWithdrawn(const ClientInfo& info) {
  if (info.mapped) return false;
  const auto clients = desktop_->clientList(desktop_->x().deadline());
  return clients && std::find(clients->begin(), clients->end(), info.window) == clients->end();
}

bool X11Accessibility::isProcessTrusted() { return desktop_->windowManagerReport().usable(); }

WindowManagerReport X11Accessibility::windowManagerReport() { return desktop_->windowManagerReport(); }

void X11Accessibility::whenWritesCarriedOut(std::function<void()> then) {
  // Held positions go first: the window manager is to carry them out too.
  flushPendingMoves();
  catchUp_->after(std::move(then));
}

// There is nothing to prompt for: the answer is the same.
bool X11Accessibility::isProcessTrustedWithPrompt() { return isProcessTrusted(); }

AXElement X11Accessibility::createApplication(ProcessID pid) {
  return AXElement{pid, AXElementKind::application, 0};
}

// A window element is the client window, the number the window list gives.
std::optional<WindowID> X11Accessibility::windowNumber(const AXElement& element) {
  if (element.kind != AXElementKind::window) return std::nullopt;
  return windowOf(element);
}

AXElement X11Accessibility::windowElement(ProcessID pid, xcb_window_t window) {
  return AXElement{pid, AXElementKind::window, window};
}

AXElement X11Accessibility::controlElement(ProcessID pid, xcb_window_t window, Control control) {
  return AXElement{pid, AXElementKind::control, (static_cast<std::uint64_t>(control) << 32) | window};
}

bool X11Accessibility::processExists(ProcessID pid) {
  if (pid <= 0) return false;
  return kill(pid, 0) == 0 || errno == EPERM;
}

AXCopyResult X11Accessibility::copyAttributeValue(const AXElement& element, std::string_view attribute) {
  flushPendingMoves();
  switch (element.kind) {
    case AXElementKind::application:
      return readApplication(element.pid, attribute);
    case AXElementKind::window:
      return readWindow(element, attribute);
    case AXElementKind::control:
      return readControl(element, attribute);
    case AXElementKind::none:
      break;
  }
  return failed(AXError::illegalArgument);
}

std::optional<xcb_window_t> X11Accessibility::focusedWindowOf(ProcessID pid, Deadline deadline) {
  auto stacking = desktop_->stackingList(deadline);
  if (!stacking) return std::nullopt;
  const auto pids = desktop_->pidsOf(*stacking, deadline);
  const auto active = desktop_->activeWindow(deadline);
  for (std::size_t i = 0; i < stacking->size(); ++i) {
    if (active && (*stacking)[i] == *active && pids[i] == pid) return *active;
  }
  for (std::size_t i = stacking->size(); i-- > 0;) {
    if (pids[i] == pid) return (*stacking)[i];
  }
  return std::nullopt;
}

AXCopyResult X11Accessibility::readApplication(ProcessID pid, std::string_view attribute) {
  X11Connection& x = desktop_->x();
  const Deadline deadline = x.deadline();
  const auto clients = desktop_->clientsOf(pid, deadline);
  if (!clients) return failed(AXError::cannotComplete);
  if (clients->empty() && !processExists(pid)) return failed(AXError::invalidUIElement);
  if (attribute == "AXRole") return value(std::string("AXApplication"));
  if (attribute == "AXWindows") {
    std::vector<AXElement> windows;
    for (xcb_window_t window : *clients) windows.push_back(windowElement(pid, window));
    return value(std::move(windows));
  }
  if (attribute == "AXTitle") {
    for (const ClientInfo& info : readClients(x, *clients, ClientField::kClass, deadline)) {
      if (info.className && !info.className->empty()) return value(*info.className);
    }
    return noValue();
  }
  if (attribute == "AXFocusedWindow" || attribute == "AXMainWindow") {
    const auto focused = focusedWindowOf(pid, deadline);
    return focused ? value(windowElement(pid, *focused)) : noValue();
  }
  if (attribute == "AXFrontmost") {
    const auto active = desktop_->activeWindow(deadline);
    if (!active) return failed(AXError::cannotComplete);
    return value(*active != XCB_NONE && desktop_->pidOf(*active) == pid);
  }
  return unsupported();
}

std::optional<std::vector<AXElement>> X11Accessibility::sheetsOf(xcb_window_t window, Deadline deadline) {
  X11Connection& x = desktop_->x();
  const auto clients = desktop_->clientList(deadline);
  if (!clients) return std::nullopt;
  const std::vector<ClientInfo> infos =
      readClients(x, *clients, ClientField::kType | ClientField::kState, deadline);
  std::vector<xcb_window_t> sheets;
  for (const ClientInfo& info : infos) {
    if (info.error != AXError::success || info.transientFor != window || !info.viewable) continue;
    // Palettes and toolbars that belong to the window do not block it.
    if (info.kind == ClientKind::dialog || info.hasState(x.atom(Atom::_NET_WM_STATE_MODAL))) {
      sheets.push_back(info.window);
    }
  }
  const auto pids = desktop_->pidsOf(sheets, deadline);
  std::vector<AXElement> elements;
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    if (pids[i]) elements.push_back(windowElement(*pids[i], sheets[i]));
  }
  return elements;
}

AXCopyResult X11Accessibility::readWindow(const AXElement& element, std::string_view attribute) {
  X11Connection& x = desktop_->x();
  const xcb_window_t window = windowOf(element);
  auto read = [&](unsigned fields) { return client(window, fields); };

  if (attribute == "AXRole") {
    const ClientInfo info = read(0);
    if (info.error != AXError::success) return failed(info.error);
    if (isWithdrawn(info)) return failed(AXError::invalidUIElement);
    return value(std::string("AXWindow"));
  }
  if (attribute == "AXSubrole") {
    const ClientInfo info = read(ClientField::kType);
    if (info.error != AXError::success) return failed(info.error);
    const char* subrole = subroleOf(info.kind);
    return subrole ? value(std::string(subrole)) : noValue();
  }
  if (attribute == "AXTitle") {
    const ClientInfo info = read(ClientField::kTitle);
    if (info.error != AXError::success) return failed(info.error);
    return value(info.title.value_or(""));
  }
  if (attribute == "AXPosition" || attribute == "AXSize") {
    const ClientInfo info = read(ClientField::kFrame);
    if (info.error != AXError::success) return failed(info.error);
    const Rect frame = desktop_->toAccessibility(info.frame);
    if (attribute == "AXPosition") return value(frame.origin);
    return value(frame.size);
  }
  if (attribute == "AXMinimized" || attribute == "AXFullScreen" || attribute == "AXModal") {
    const ClientInfo info = read(ClientField::kState);
    if (info.error != AXError::success) return failed(info.error);
    if (attribute == "AXMinimized") {
      return value(info.hasState(x.atom(Atom::_NET_WM_STATE_HIDDEN)) || info.icccmState == 3U);
    }
    if (attribute == "AXFullScreen") return value(info.hasState(x.atom(Atom::_NET_WM_STATE_FULLSCREEN)));
    return value(info.hasState(x.atom(Atom::_NET_WM_STATE_MODAL)));
  }
  if (attribute == "AXSheets") {
    const ClientInfo info = read(0);
    if (info.error != AXError::success) return failed(info.error);
    auto sheets = sheetsOf(window, x.deadline());
    return sheets ? value(std::move(*sheets)) : failed(AXError::cannotComplete);
  }
  if (attribute == "AXCloseButton") {
    const ClientInfo info = read(ClientField::kProtocols);
    if (info.error != AXError::success) return failed(info.error);
    // Without WM_DELETE_WINDOW the window manager could only kill the client.
    if (!info.hasProtocol(x.atom(Atom::WM_DELETE_WINDOW))) return noValue();
    return value(controlElement(element.pid, window, Control::close));
  }
  if (attribute == "AXMinimizeButton" || attribute == "AXZoomButton") {
    const ClientInfo info = read(ClientField::kActions);
    if (info.error != AXError::success) return failed(info.error);
    if (attribute == "AXMinimizeButton") {
      if (!info.allows(x.atom(Atom::_NET_WM_ACTION_MINIMIZE))) return noValue();
      return value(controlElement(element.pid, window, Control::minimize));
    }
    if (!info.allows(x.atom(Atom::_NET_WM_ACTION_MAXIMIZE_HORZ)) &&
        !info.allows(x.atom(Atom::_NET_WM_ACTION_MAXIMIZE_VERT))) {
      return noValue();
    }
    return value(controlElement(element.pid, window, Control::zoom));
  }
  if (attribute == "AXMain" || attribute == "AXFocused") {
    const ClientInfo info = read(0);
    if (info.error != AXError::success) return failed(info.error);
    const Deadline deadline = x.deadline();
    if (attribute == "AXFocused") {
      const auto active = desktop_->activeWindow(deadline);
      return active ? value(*active == window) : failed(AXError::cannotComplete);
    }
    const auto focused = focusedWindowOf(element.pid, deadline);
    return value(focused == window);
  }
  if (attribute == "AXParent") {
    const ClientInfo info = read(0);
    if (info.error != AXError::success) return failed(info.error);
    return value(createApplication(element.pid));
  }
  return unsupported();
}

AXCopyResult X11Accessibility::readControl(const AXElement& element, std::string_view attribute) {
  X11Connection& x = desktop_->x();
  const xcb_window_t window = windowOf(element);
  const auto control = controlOf(element);
  if (!control) return failed(AXError::illegalArgument);
  const ClientInfo info = client(window, ClientField::kProtocols | ClientField::kActions);
  if (info.error != AXError::success) return failed(info.error);
  if (attribute == "AXRole") return value(std::string("AXButton"));
  if (attribute == "AXSubrole") {
    switch (*control) {
      case Control::close:
        return value(std::string("AXCloseButton"));
      case Control::minimize:
        return value(std::string("AXMinimizeButton"));
      case Control::zoom:
        return value(std::string("AXZoomButton"));
    }
  }
  if (attribute == "AXEnabled") {
    switch (*control) {
      case Control::close: {
        // A window showing a modal dialog of its own cannot close until the
        // dialog is answered.
        if (!info.hasProtocol(x.atom(Atom::WM_DELETE_WINDOW))) return value(false);
        const auto sheets = sheetsOf(window, x.deadline());
        if (!sheets) return failed(AXError::cannotComplete);
        return value(sheets->empty());
      }
      case Control::minimize:
        return value(info.allows(x.atom(Atom::_NET_WM_ACTION_MINIMIZE)));
      case Control::zoom:
        return value(info.allows(x.atom(Atom::_NET_WM_ACTION_MAXIMIZE_HORZ)) ||
                     info.allows(x.atom(Atom::_NET_WM_ACTION_MAXIMIZE_VERT)));
    }
  }
  if (attribute == "AXWindow" || attribute == "AXParent") return value(windowElement(element.pid, window));
  return unsupported();
}

}  // namespace tessarapane
