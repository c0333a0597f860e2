#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "backends/x11/X11Connection.h"
#include "geometry/Rect.h"
#include "platform/AXError.h"

namespace tessarapane {

// What to read about a client window; combine with |.
namespace ClientField {
inline constexpr unsigned kAttributes = 1U << 0;   // map state
inline constexpr unsigned kFrame = 1U << 1;        // outer frame (root coordinates) and extents
inline constexpr unsigned kType = 1U << 2;         // _NET_WM_WINDOW_TYPE and WM_TRANSIENT_FOR
inline constexpr unsigned kState = 1U << 3;        // _NET_WM_STATE and WM_STATE
inline constexpr unsigned kPid = 1U << 4;          // _NET_WM_PID
inline constexpr unsigned kTitle = 1U << 5;        // _NET_WM_NAME, WM_NAME
inline constexpr unsigned kClass = 1U << 6;        // WM_CLASS
inline constexpr unsigned kDesktop = 1U << 7;      // _NET_WM_DESKTOP
inline constexpr unsigned kOpacity = 1U << 8;      // _NET_WM_WINDOW_OPACITY
inline constexpr unsigned kProtocols = 1U << 9;    // WM_PROTOCOLS
inline constexpr unsigned kSizeHints = 1U << 10;   // WM_NORMAL_HINTS
inline constexpr unsigned kActions = 1U << 11;     // _NET_WM_ALLOWED_ACTIONS
inline constexpr unsigned kStrut = 1U << 12;       // _NET_WM_STRUT_PARTIAL, _NET_WM_STRUT
// What the window list and the accessibility interface ask about a client:
// read once when a client appears, kept until it changes.
inline constexpr unsigned kDescribed = kFrame | kType | kState | kTitle | kClass | kDesktop | kOpacity |
                                       kProtocols | kSizeHints | kActions;
}  // namespace ClientField

// The window type as the accessibility layer sees it.
enum class ClientKind : std::uint8_t {
  none,     // no type of its own and not transient
  normal,   // NORMAL
  dialog,   // DIALOG, or a transient without a type (as EWMH reads it)
  utility,  // UTILITY, TOOLBAR
  dock,
  desktop,
  other,    // menus, splash screens, notifications and the like
};

// One client window as read in one batch. Fields not asked for keep their
// defaults.
struct ClientInfo {
  xcb_window_t window = XCB_NONE;
  AXError error = AXError::success;  // invalidUIElement: the window is gone

  bool viewable = false;
  // Mapped by its client, though perhaps not viewable (its frame is hidden:
  // another desktop, iconic). Unmapped and unmanaged: withdrawn.
  bool mapped = false;
  Rect frame;  // outer frame, root coordinates
  std::uint32_t extents[4] = {0, 0, 0, 0};  // left, right, top, bottom
  std::uint32_t borderWidth = 0;

  ClientKind kind = ClientKind::none;
  std::optional<xcb_window_t> transientFor;
  std::vector<xcb_atom_t> states;
  std::optional<std::uint32_t> icccmState;  // WM_STATE: 1 normal, 3 iconic
  std::optional<std::int32_t> pid;
  std::optional<std::string> title;
  std::optional<std::string> instanceName;  // WM_CLASS, first part
  std::optional<std::string> className;     // WM_CLASS, second part
  std::optional<std::uint32_t> desktop;
  std::optional<std::uint32_t> opacity;
  std::vector<xcb_atom_t> protocols;
  bool fixedSize = false;
  std::vector<xcb_atom_t> allowedActions;
  std::vector<std::uint32_t> strut;  // 12 values of _NET_WM_STRUT_PARTIAL (the older 4 extended)

  bool hasState(xcb_atom_t atom) const;
  bool hasProtocol(xcb_atom_t atom) const;
  bool allows(xcb_atom_t action) const;
};

// Reads `fields` of every window with all requests sent first, so a batch
// costs one round trip.
std::vector<ClientInfo> readClients(X11Connection& connection, const std::vector<xcb_window_t>& windows,
                                    unsigned fields, Deadline deadline);

ClientInfo readClient(X11Connection& connection, xcb_window_t window, unsigned fields);

// Copies what `fields` (and the attributes, with kAttributes) cover.
void copyClientFields(ClientInfo& to, const ClientInfo& from, unsigned fields);

// A text property in UTF-8: UTF8_STRING as it is, STRING converted from
// Latin-1.
std::string textOf(const XProperty& property, xcb_atom_t utf8Atom);

}  // namespace tessarapane
