#include "backends/x11/X11ClientInfo.h"

#include <algorithm>
#include <utility>

#include "text/Utf8Text.h"

namespace tessarapane {

namespace {

// WM_NORMAL_HINTS flags and offsets (in 32-bit items).
constexpr std::uint32_t kMinSizeFlag = 1U << 4;
constexpr std::uint32_t kMaxSizeFlag = 1U << 5;
constexpr std::size_t kMinWidth = 5;
constexpr std::size_t kMaxWidth = 7;
// Properties are read up to X11Connection's default of 4096 32-bit items.
constexpr std::size_t kMaxTextBytes = 4096 * 4;

struct Pending {
  std::optional<xcb_get_window_attributes_cookie_t> attributes;
  std::optional<xcb_get_geometry_cookie_t> geometry;
  std::optional<xcb_translate_coordinates_cookie_t> translation;
  std::vector<std::pair<xcb_atom_t, xcb_get_property_cookie_t>> properties;
};

std::vector<xcb_atom_t> atomsOf(const XProperty& property) {
  std::vector<xcb_atom_t> atoms;
  if (property.format != 32) return atoms;
  for (std::uint32_t value : property.values32()) atoms.push_back(value);
  return atoms;
}

ClientKind kindOf(X11Connection& x, const std::vector<xcb_atom_t>& types, bool transient) {
  for (xcb_atom_t type : types) {
    if (type == x.atom(Atom::_NET_WM_WINDOW_TYPE_NORMAL)) return ClientKind::normal;
    if (type == x.atom(Atom::_NET_WM_WINDOW_TYPE_DIALOG)) return ClientKind::dialog;
    if (type == x.atom(Atom::_NET_WM_WINDOW_TYPE_UTILITY) || type == x.atom(Atom::_NET_WM_WINDOW_TYPE_TOOLBAR)) {
      return ClientKind::utility;
    }
    if (type == x.atom(Atom::_NET_WM_WINDOW_TYPE_DOCK)) return ClientKind::dock;
    if (type == x.atom(Atom::_NET_WM_WINDOW_TYPE_DESKTOP)) return ClientKind::desktop;
    for (Atom other : {Atom::_NET_WM_WINDOW_TYPE_SPLASH, Atom::_NET_WM_WINDOW_TYPE_MENU,
                       Atom::_NET_WM_WINDOW_TYPE_DROPDOWN_MENU, Atom::_NET_WM_WINDOW_TYPE_POPUP_MENU,
                       Atom::_NET_WM_WINDOW_TYPE_TOOLTIP, Atom::_NET_WM_WINDOW_TYPE_NOTIFICATION,
                       Atom::_NET_WM_WINDOW_TYPE_COMBO, Atom::_NET_WM_WINDOW_TYPE_DND}) {
      if (type == x.atom(other)) return ClientKind::other;
    }
    // Unknown types are skipped: the first one this side knows counts.
  }
  return transient ? ClientKind::dialog : ClientKind::none;
}

void fail(ClientInfo& info, ReplyStatus status, std::uint8_t errorCode) {
  if (info.error != AXError::success) return;
  info.error = axErrorFor(status, errorCode);
}

}  // namespace

bool ClientInfo::hasState(xcb_atom_t atom) const { return std::find(states.begin(), states.end(), atom) != states.end(); }

bool ClientInfo::hasProtocol(xcb_atom_t atom) const {
  return std::find(protocols.begin(), protocols.end(), atom) != protocols.end();
}

bool ClientInfo::allows(xcb_atom_t action) const {
  return std::find(allowedActions.begin(), allowedActions.end(), action) != allowedActions.end();
}

std::string textOf(const XProperty& property, xcb_atom_t utf8Atom) {
  if (!property.exists() || property.format != 8) return {};
  std::string bytes = property.text();
  // Some clients end the text with NUL bytes.
  while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  // Any client can write any bytes there, and a title as long as the
  // longest read (kMaxTextBytes) was cut there, maybe inside a character.
  if (property.type == utf8Atom) return Utf8Text::valid(bytes, property.bytes.size() >= kMaxTextBytes);
  std::string utf8;
  utf8.reserve(bytes.size());
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      utf8.push_back(static_cast<char>(c));
    } else {
      utf8.push_back(static_cast<char>(0xC0 | (c >> 6)));
      utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return utf8;
}

std::vector<ClientInfo> readClients(X11Connection& x, const std::vector<xcb_window_t>& windows, unsigned fields,
                                    Deadline deadline) {
  xcb_connection_t* c = x.raw();
  std::vector<Pending> pending(windows.size());
  for (std::size_t i = 0; i < windows.size(); ++i) {
    const xcb_window_t w = windows[i];
    Pending& p = pending[i];
    auto ask = [&](xcb_atom_t property) { p.properties.emplace_back(property, x.requestProperty(w, property)); };
    // The attributes are always read: they tell whether the window exists.
    p.attributes = xcb_get_window_attributes(c, w);
    if (fields & ClientField::kFrame) {
      p.geometry = xcb_get_geometry(c, w);
      p.translation = xcb_translate_coordinates(c, w, x.root(), 0, 0);
      ask(x.atom(Atom::_NET_FRAME_EXTENTS));
    }
    if (fields & ClientField::kType) {
      ask(x.atom(Atom::_NET_WM_WINDOW_TYPE));
      ask(XCB_ATOM_WM_TRANSIENT_FOR);
    }
    if (fields & ClientField::kState) {
      ask(x.atom(Atom::_NET_WM_STATE));
      ask(x.atom(Atom::WM_STATE));
    }
    if (fields & ClientField::kPid) ask(x.atom(Atom::_NET_WM_PID));
    if (fields & ClientField::kTitle) {
      ask(x.atom(Atom::_NET_WM_NAME));
      ask(XCB_ATOM_WM_NAME);
    }
    if (fields & ClientField::kClass) ask(XCB_ATOM_WM_CLASS);
    if (fields & ClientField::kDesktop) ask(x.atom(Atom::_NET_WM_DESKTOP));
    if (fields & ClientField::kOpacity) ask(x.atom(Atom::_NET_WM_WINDOW_OPACITY));
    if (fields & ClientField::kProtocols) ask(x.atom(Atom::WM_PROTOCOLS));
    if (fields & ClientField::kSizeHints) ask(XCB_ATOM_WM_NORMAL_HINTS);
    if (fields & ClientField::kActions) ask(x.atom(Atom::_NET_WM_ALLOWED_ACTIONS));
    if (fields & ClientField::kStrut) {
      ask(x.atom(Atom::_NET_WM_STRUT_PARTIAL));
      ask(x.atom(Atom::_NET_WM_STRUT));
    }
  }

  std::vector<ClientInfo> result(windows.size());
  for (std::size_t i = 0; i < windows.size(); ++i) {
    ClientInfo& info = result[i];
    Pending& p = pending[i];
    info.window = windows[i];

    auto attributes = x.await<xcb_get_window_attributes_reply_t>(*p.attributes, deadline);
    if (attributes.ok()) {
      info.viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
      info.mapped = attributes->map_state != XCB_MAP_STATE_UNMAPPED;
    } else {
      fail(info, attributes.status, attributes.errorCode);
    }
    std::optional<xcb_get_geometry_reply_t> geometry;
    std::optional<xcb_translate_coordinates_reply_t> translation;
    if (p.geometry) {
      auto reply = x.await<xcb_get_geometry_reply_t>(*p.geometry, deadline);
      if (reply.ok()) geometry = *reply.value;
      else fail(info, reply.status, reply.errorCode);
    }
    if (p.translation) {
      auto reply = x.await<xcb_translate_coordinates_reply_t>(*p.translation, deadline);
      if (reply.ok()) translation = *reply.value;
      else fail(info, reply.status, reply.errorCode);
    }

    XProperty netName;
    XProperty wmName;
    XProperty strutPartial;
    XProperty strut;
    std::vector<xcb_atom_t> types;
    for (auto& [name, cookie] : p.properties) {
      XProperty property = x.awaitProperty(cookie, deadline);
      if (!property.ok()) {
        fail(info, property.status, property.errorCode);
        continue;
      }
      if (name == x.atom(Atom::_NET_FRAME_EXTENTS)) {
        const auto values = property.values32();
        if (values.size() >= 4) std::copy(values.begin(), values.begin() + 4, info.extents);
      } else if (name == x.atom(Atom::_NET_WM_WINDOW_TYPE)) {
        types = atomsOf(property);
      } else if (name == XCB_ATOM_WM_TRANSIENT_FOR) {
        if (const auto parent = property.first32(); parent && *parent != XCB_NONE) info.transientFor = *parent;
      } else if (name == x.atom(Atom::_NET_WM_STATE)) {
        info.states = atomsOf(property);
      } else if (name == x.atom(Atom::WM_STATE)) {
        info.icccmState = property.first32();
      } else if (name == x.atom(Atom::_NET_WM_PID)) {
        if (const auto pid = property.first32(); pid && *pid > 0) info.pid = static_cast<std::int32_t>(*pid);
      } else if (name == x.atom(Atom::_NET_WM_NAME)) {
        netName = std::move(property);
      } else if (name == XCB_ATOM_WM_NAME) {
        wmName = std::move(property);
      } else if (name == XCB_ATOM_WM_CLASS) {
        if (property.exists() && property.format == 8) {
          const std::string value = property.text();
          const std::size_t split = value.find('\0');
          info.instanceName = Utf8Text::valid(value.substr(0, split));
          if (split != std::string::npos) {
            std::string className = value.substr(split + 1);
            while (!className.empty() && className.back() == '\0') className.pop_back();
            info.className = Utf8Text::valid(className);
          }
        }
      } else if (name == x.atom(Atom::_NET_WM_DESKTOP)) {
        info.desktop = property.first32();
      } else if (name == x.atom(Atom::_NET_WM_WINDOW_OPACITY)) {
        info.opacity = property.first32();
      } else if (name == x.atom(Atom::WM_PROTOCOLS)) {
        info.protocols = atomsOf(property);
      } else if (name == XCB_ATOM_WM_NORMAL_HINTS) {
        const auto hints = property.values32();
        if (hints.size() > kMaxWidth + 1 && (hints[0] & kMinSizeFlag) && (hints[0] & kMaxSizeFlag)) {
          info.fixedSize = hints[kMinWidth] > 0 && hints[kMinWidth] == hints[kMaxWidth] &&
                           hints[kMinWidth + 1] > 0 && hints[kMinWidth + 1] == hints[kMaxWidth + 1];
        }
      } else if (name == x.atom(Atom::_NET_WM_ALLOWED_ACTIONS)) {
        info.allowedActions = atomsOf(property);
      } else if (name == x.atom(Atom::_NET_WM_STRUT_PARTIAL)) {
        strutPartial = std::move(property);
      } else if (name == x.atom(Atom::_NET_WM_STRUT)) {
        strut = std::move(property);
      }
    }

    if (fields & ClientField::kType) info.kind = kindOf(x, types, info.transientFor.has_value());
    if (fields & ClientField::kTitle) {
      if (netName.exists()) info.title = textOf(netName, x.atom(Atom::UTF8_STRING));
      else if (wmName.exists()) info.title = textOf(wmName, x.atom(Atom::UTF8_STRING));
    }
    if (fields & ClientField::kStrut) {
      auto partial = strutPartial.values32();
      if (partial.size() >= 12) {
        partial.resize(12);
        info.strut = std::move(partial);
      } else if (const auto simple = strut.values32(); simple.size() >= 4) {
        // The older form reserves whole edges.
        const std::uint32_t big = 0x7FFFFFFF;
        info.strut = {simple[0], simple[1], simple[2], simple[3], 0, big, 0, big, 0, big, 0, big};
      }
    }
    if (geometry && translation) {
      const double bw = geometry->border_width;
      const double left = info.extents[0];
      const double right = info.extents[1];
      const double top = info.extents[2];
      const double bottom = info.extents[3];
      info.borderWidth = geometry->border_width;
      info.frame = Rect(translation->dst_x - bw - left, translation->dst_y - bw - top,
                        geometry->width + 2 * bw + left + right, geometry->height + 2 * bw + top + bottom);
    }
  }
  return result;
}

void copyClientFields(ClientInfo& to, const ClientInfo& from, unsigned fields) {
  using namespace ClientField;
  if (fields & kAttributes) {
    to.viewable = from.viewable;
    to.mapped = from.mapped;
  }
  if (fields & kFrame) {
    to.frame = from.frame;
    std::copy(std::begin(from.extents), std::end(from.extents), std::begin(to.extents));
    to.borderWidth = from.borderWidth;
  }
  if (fields & kType) {
    to.kind = from.kind;
    to.transientFor = from.transientFor;
  }
  if (fields & kState) {
    to.states = from.states;
    to.icccmState = from.icccmState;
  }
  if (fields & kPid) to.pid = from.pid;
  if (fields & kTitle) to.title = from.title;
  if (fields & kClass) {
    to.instanceName = from.instanceName;
    to.className = from.className;
  }
  if (fields & kDesktop) to.desktop = from.desktop;
  if (fields & kOpacity) to.opacity = from.opacity;
  if (fields & kProtocols) to.protocols = from.protocols;
  if (fields & kSizeHints) to.fixedSize = from.fixedSize;
  if (fields & kActions) to.allowedActions = from.allowedActions;
  if (fields & kStrut) to.strut = from.strut;
}

ClientInfo readClient(X11Connection& connection, xcb_window_t window, unsigned fields) {
  return readClients(connection, {window}, fields, connection.deadline()).front();
}

}  // namespace tessarapane
