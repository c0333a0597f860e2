// Writes and actions of the X11 accessibility interface: every change is a
// request to the window manager, never a direct configure of the client.
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <utility>

#include "backends/x11/MonotonicClock.h"
#include "backends/x11/X11Accessibility.h"

namespace tessarapane {

namespace {

constexpr std::uint64_t kWindowMask = 0xFFFFFFFFULL;

// _NET_MOVERESIZE_WINDOW flags: gravity in the low byte, then which of x,
// y, width and height are given, then the source indication.
constexpr std::uint32_t kNorthWestGravity = 1;
constexpr std::uint32_t kMoveX = 1U << 8;
constexpr std::uint32_t kMoveY = 1U << 9;
constexpr std::uint32_t kResizeWidth = 1U << 10;
constexpr std::uint32_t kResizeHeight = 1U << 11;
// A pager or tool acting for the user: applied exactly, without the
// window manager's own placement policy.
constexpr std::uint32_t kSourcePager = 2;
constexpr std::uint32_t kSourceFlag = kSourcePager << 12;

// _NET_WM_STATE actions.
constexpr std::uint32_t kStateRemove = 0;
constexpr std::uint32_t kStateToggle = 2;

constexpr std::uint32_t kIconicState = 3;

// How long a size write waits for the window manager to restore a maximised
// window before it sizes it with what it knows.
constexpr double kRestoreTimeout = 0.25;

xcb_window_t windowOf(const AXElement& element) { return static_cast<xcb_window_t>(element.token & kWindowMask); }

template <typename T>
const T* as(const AXAttributeValue& value) {
  return std::get_if<T>(&value);
}

std::int32_t rounded(double value) { return static_cast<std::int32_t>(std::lround(value)); }

bool isReadOnlyWindowAttribute(std::string_view attribute) {
  return attribute == "AXRole" || attribute == "AXSubrole" || attribute == "AXTitle" || attribute == "AXModal" ||
         attribute == "AXMinimized" || attribute == "AXFullScreen" || attribute == "AXFocused" ||
         attribute == "AXParent" || attribute == "AXSheets" || attribute == "AXCloseButton" ||
         attribute == "AXMinimizeButton" || attribute == "AXZoomButton";
}

}  // namespace

void X11Accessibility::sendMove(xcb_window_t window, std::uint32_t flags, PendingMove move, std::uint32_t width,
                                std::uint32_t height) {
  desktop_->x().sendRootMessage(window, Atom::_NET_MOVERESIZE_WINDOW,
                                {kNorthWestGravity | flags | kSourceFlag, static_cast<std::uint32_t>(move.x),
                                 static_cast<std::uint32_t>(move.y), width, height});
}

void X11Accessibility::flushPendingMoves() {
  if (pendingMoves_.empty()) return;
  const auto moves = std::exchange(pendingMoves_, {});
  for (const auto& [window, move] : moves) sendMove(window, kMoveX | kMoveY, move, 0, 0);
}

AXError X11Accessibility::setAttributeValue(const AXElement& element, std::string_view attribute,
                                            const AXAttributeValue& value) {
  // Only a size write of the same window may join a held move.
  const bool sizing = element.kind == AXElementKind::window && attribute == "AXSize";
  if (!sizing) flushPendingMoves();
  switch (element.kind) {
    case AXElementKind::application:
      return writeApplication(element.pid, attribute, value);
    case AXElementKind::window:
      return writeWindow(element, attribute, value);
    case AXElementKind::control: {
      const ClientInfo info = desktop_->clientCache().read(windowOf(element), 0);
      return info.error != AXError::success ? info.error : AXError::attributeUnsupported;
    }
    case AXElementKind::none:
      break;
  }
  return AXError::illegalArgument;
}

AXError X11Accessibility::writeApplication(ProcessID pid, std::string_view attribute, const AXAttributeValue& value) {
  X11Connection& x = desktop_->x();
  if (attribute == "AXFocusedWindow") {
    const AXElement* window = as<AXElement>(value);
    if (!window || window->kind != AXElementKind::window || window->pid != pid) return AXError::illegalArgument;
    const ClientInfo info = client(windowOf(*window), 0);
    if (info.error != AXError::success) return info.error;
    desktop_->requestActivation(info.window);
    return AXError::success;
  }
  if (attribute == "AXFrontmost") {
    const bool* frontmost = as<bool>(value);
    if (!frontmost) return AXError::illegalArgument;
    if (!*frontmost) return AXError::success;
    const auto front = desktop_->frontWindowOf(pid, x.deadline());
    if (!front) return AXError::cannotComplete;
    desktop_->requestActivation(*front);
    return AXError::success;
  }
  return AXError::attributeUnsupported;
}

bool X11Accessibility::isMaximized(const ClientInfo& info) {
  X11Connection& x = desktop_->x();
  return info.hasState(x.atom(Atom::_NET_WM_STATE_MAXIMIZED_VERT)) ||
         info.hasState(x.atom(Atom::_NET_WM_STATE_MAXIMIZED_HORZ));
}

void X11Accessibility::removeMaximized(const ClientInfo& info) {
  X11Connection& x = desktop_->x();
  const xcb_atom_t vertical = x.atom(Atom::_NET_WM_STATE_MAXIMIZED_VERT);
  const xcb_atom_t horizontal = x.atom(Atom::_NET_WM_STATE_MAXIMIZED_HORZ);
  // A maximised window ignores moves until it is restored.
  if (!isMaximized(info)) return;
  restoring_[info.window] =
      Restoring{{info.extents[0], info.extents[1], info.extents[2], info.extents[3]}, monotonicSeconds()};
  x.sendRootMessage(info.window, Atom::_NET_WM_STATE, {kStateRemove, vertical, horizontal, kSourcePager, 0});
}

AXError X11Accessibility::writeWindow(const AXElement& element, std::string_view attribute,
                                      const AXAttributeValue& value) {
  X11Connection& x = desktop_->x();
  const xcb_window_t window = windowOf(element);
  if (attribute == "AXPosition") {
    const Point* position = as<Point>(value);
    if (!position) return AXError::illegalArgument;
    // The extents come with the state: a restore remembers the maximised
    // window's decorations.
    const ClientInfo info = client(window, ClientField::kState);
    if (info.error != AXError::success) return info.error;
    frameChanging(window);
    if (isMaximized(info)) forget(window);
    removeMaximized(info);
    // With north-west gravity the point is where the frame's outer corner goes.
    const Point target = desktop_->toRoot(*position);
    const PendingMove move{rounded(target.x), rounded(target.y)};
    if (!scheduler_) {
      sendMove(window, kMoveX | kMoveY, move, 0, 0);
      return AXError::success;
    }
    pendingMoves_[window] = move;
    if (!flushPosted_) {
      flushPosted_ = true;
      scheduler_->postToMainThread([weak = weak_from_this()] {
        if (auto self = weak.lock()) {
          self->flushPosted_ = false;
          self->flushPendingMoves();
        }
      });
    }
    return AXError::success;
  }
  if (attribute == "AXSize") {
    // A move held for this window goes with the size, or alone when the size
    // cannot be written; any other held move goes first.
    std::optional<PendingMove> move;
    if (const auto held = pendingMoves_.find(window); held != pendingMoves_.end()) {
      move = held->second;
      pendingMoves_.erase(held);
    }
    flushPendingMoves();
    struct SendAlone {
      X11Accessibility& self;
      xcb_window_t window;
      std::optional<PendingMove>& move;
      ~SendAlone() {
        if (move) self.sendMove(window, kMoveX | kMoveY, *move, 0, 0);
      }
    } sendAlone{*this, window, move};
    const Size* size = as<Size>(value);
    if (!size) return AXError::illegalArgument;
    const unsigned fields = ClientField::kFrame | ClientField::kState | ClientField::kSizeHints;
    // Only the extents of the frame matter here, and a move keeps them.
    ClientInfo info = client(window, ClientField::kState | ClientField::kSizeHints);
    if (info.error != AXError::success) return info.error;
    if (info.fixedSize) return AXError::attributeUnsupported;
    frameChanging(window);
    if (isMaximized(info)) forget(window);
    const auto restoring = restoring_.find(window);
    const bool recentlyRestored =
        restoring != restoring_.end() && monotonicSeconds() - restoring->second.time < kRestoreTimeout * 2;
    if (isMaximized(info) || recentlyRestored) {
      // A restored window's decorations differ from a maximised one's, so
      // the client size for this outer size is known only once the window
      // manager has restored it, a few milliseconds after the request.
      const std::array<std::uint32_t, 4> maximizedExtents =
          recentlyRestored ? restoring->second.extents
                           : std::array<std::uint32_t, 4>{info.extents[0], info.extents[1], info.extents[2], info.extents[3]};
      removeMaximized(info);
      x.awaitCondition([&] {
        info = readClient(x, window, fields);
        if (info.error != AXError::success) return true;
        const std::array<std::uint32_t, 4> now{info.extents[0], info.extents[1], info.extents[2], info.extents[3]};
        return !isMaximized(info) && now != maximizedExtents;
      }, kRestoreTimeout);
      restoring_.erase(window);
      if (info.error != AXError::success) return info.error;
    }
    // The request sizes the client; the frame adds the decorations.
    const std::int32_t horizontalExtra =
        static_cast<std::int32_t>(info.extents[0] + info.extents[1] + 2 * info.borderWidth);
    const std::int32_t verticalExtra =
        static_cast<std::int32_t>(info.extents[2] + info.extents[3] + 2 * info.borderWidth);
    const std::int32_t width = std::max(1, rounded(size->width) - horizontalExtra);
    const std::int32_t height = std::max(1, rounded(size->height) - verticalExtra);
    const std::uint32_t moving = move ? kMoveX | kMoveY : 0;
    sendMove(window, moving | kResizeWidth | kResizeHeight, move.value_or(PendingMove{}),
             static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
    move.reset();
    return AXError::success;
  }
  if (attribute == "AXMain") {
    const bool* main = as<bool>(value);
    if (!main) return AXError::illegalArgument;
    const ClientInfo info = client(window, 0);
    if (info.error != AXError::success) return info.error;
    if (*main) desktop_->requestActivation(window);
    return AXError::success;
  }
  const ClientInfo info = client(window, 0);
  return info.error != AXError::success ? info.error : AXError::attributeUnsupported;
}

AXSettableResult X11Accessibility::isAttributeSettable(const AXElement& element, std::string_view attribute) {
  flushPendingMoves();
  switch (element.kind) {
    case AXElementKind::application:
      if (attribute == "AXFocusedWindow" || attribute == "AXFrontmost") return {AXError::success, true};
      if (attribute == "AXRole" || attribute == "AXTitle" || attribute == "AXWindows" ||
          attribute == "AXMainWindow") {
        return {AXError::success, false};
      }
      return {AXError::attributeUnsupported, false};
    case AXElementKind::window: {
      const ClientInfo info = client(windowOf(element), ClientField::kSizeHints);
      if (info.error != AXError::success) return {info.error, false};
      // A fixed-size window still moves; only its size is fixed.
      if (attribute == "AXPosition" || attribute == "AXMain") return {AXError::success, true};
      if (attribute == "AXSize") return {AXError::success, !info.fixedSize};
      if (isReadOnlyWindowAttribute(attribute)) return {AXError::success, false};
      return {AXError::attributeUnsupported, false};
    }
    case AXElementKind::control: {
      const ClientInfo info = desktop_->clientCache().read(windowOf(element), 0);
      if (info.error != AXError::success) return {info.error, false};
      const bool known = attribute == "AXRole" || attribute == "AXSubrole" || attribute == "AXEnabled" ||
                         attribute == "AXWindow" || attribute == "AXParent";
      return {known ? AXError::success : AXError::attributeUnsupported, false};
    }
    case AXElementKind::none:
      break;
  }
  return {AXError::illegalArgument, false};
}

AXError X11Accessibility::performAction(const AXElement& element, std::string_view action) {
  flushPendingMoves();
  X11Connection& x = desktop_->x();
  if (element.kind == AXElementKind::window) {
    const ClientInfo info = client(windowOf(element), 0);
    if (info.error != AXError::success) return info.error;
    if (action != "AXRaise") return AXError::actionUnsupported;
    // Restacks without giving the window the focus.
    x.sendRootMessage(info.window, Atom::_NET_RESTACK_WINDOW, {kSourcePager, XCB_NONE, XCB_STACK_MODE_ABOVE, 0, 0});
    return AXError::success;
  }
  if (element.kind == AXElementKind::control) {
    if (action != "AXPress") {
      const ClientInfo info = desktop_->clientCache().read(windowOf(element), 0);
      return info.error != AXError::success ? info.error : AXError::actionUnsupported;
    }
    return pressControl(element);
  }
  if (element.kind == AXElementKind::application) return AXError::actionUnsupported;
  return AXError::illegalArgument;
}

AXError X11Accessibility::pressControl(const AXElement& element) {
  X11Connection& x = desktop_->x();
  const xcb_window_t window = windowOf(element);
  const ClientInfo info = readClient(x, window, ClientField::kProtocols | ClientField::kActions);
  if (info.error != AXError::success) return info.error;
  switch (element.token >> 32) {
    case static_cast<std::uint64_t>(Control::close):
      // Only a client that takes WM_DELETE_WINDOW is asked: for any other the
      // window manager would kill the process.
      if (!info.hasProtocol(x.atom(Atom::WM_DELETE_WINDOW))) return AXError::actionUnsupported;
      x.sendRootMessage(window, Atom::_NET_CLOSE_WINDOW, {XCB_CURRENT_TIME, kSourcePager, 0, 0, 0});
      return AXError::success;
    case static_cast<std::uint64_t>(Control::minimize):
      if (!info.allows(x.atom(Atom::_NET_WM_ACTION_MINIMIZE))) return AXError::actionUnsupported;
      x.sendRootMessage(window, Atom::WM_CHANGE_STATE, {kIconicState, 0, 0, 0, 0});
      return AXError::success;
    case static_cast<std::uint64_t>(Control::zoom):
      x.sendRootMessage(window, Atom::_NET_WM_STATE,
                        {kStateToggle, x.atom(Atom::_NET_WM_STATE_MAXIMIZED_VERT),
                         x.atom(Atom::_NET_WM_STATE_MAXIMIZED_HORZ), kSourcePager, 0});
      return AXError::success;
    default:
      return AXError::illegalArgument;
  }
}

}  // namespace tessarapane
