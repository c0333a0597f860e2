#pragma once

// What every mover of the settle benchmark shares: the plan file, reading
// outer frames (client geometry in root coordinates grown by
// _NET_FRAME_EXTENTS) with all requests of a round in flight at once, and
// the settled test (every window within the frame-fit tolerance of a target).

#include <poll.h>
#include <xcb/xcb.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/Rect.h"
#include "layout/PaneFrameFit.h"

namespace tessarapane::settlebench {

inline double nowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Outer frames in root coordinates (accessibility space while the primary
// monitor sits at the origin, as on the benchmark's one-monitor desktop).
struct Move {
  xcb_window_t window = XCB_NONE;
  Rect frame;
};

// A plan file: "target X Y W H" lines (the layout's window frames) and
// "move ID X Y W H" lines (which window goes where).
struct Plan {
  std::vector<Rect> targets;
  std::vector<Move> moves;

  std::vector<xcb_window_t> windows() const {
    std::vector<xcb_window_t> result;
    for (const Move& move : moves) result.push_back(move.window);
    return result;
  }

  static std::optional<Plan> read(const std::string& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    Plan plan;
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream words(line);
      std::string kind;
      words >> kind;
      double x = 0, y = 0, w = 0, h = 0;
      if (kind == "target" && (words >> x >> y >> w >> h)) plan.targets.emplace_back(x, y, w, h);
      if (kind == "move") {
        unsigned long id = 0;
        if (words >> id >> x >> y >> w >> h) plan.moves.push_back(Move{static_cast<xcb_window_t>(id), Rect(x, y, w, h)});
      }
    }
    return plan;
  }

  std::string text() const {
    std::ostringstream out;
    for (const Rect& t : targets) out << "target " << t.x() << ' ' << t.y() << ' ' << t.width() << ' ' << t.height() << '\n';
    for (const Move& m : moves) {
      out << "move " << m.window << ' ' << m.frame.x() << ' ' << m.frame.y() << ' ' << m.frame.width() << ' '
          << m.frame.height() << '\n';
    }
    return out.str();
  }
};

// A plain connection of the benchmark's own.
class XClient {
 public:
  XClient() : connection_(xcb_connect(nullptr, nullptr)) {
    if (!ok()) return;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    extentsAtom_ = atom("_NET_FRAME_EXTENTS");
    moveResizeAtom_ = atom("_NET_MOVERESIZE_WINDOW");
  }
  ~XClient() { xcb_disconnect(connection_); }
  XClient(const XClient&) = delete;
  XClient& operator=(const XClient&) = delete;

  bool ok() const { return xcb_connection_has_error(connection_) == 0; }
  xcb_connection_t* raw() const { return connection_; }
  int fd() const { return xcb_get_file_descriptor(connection_); }

  xcb_atom_t atom(const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return value;
  }

  // Left, right, top, bottom decorations of each window; read once, they
  // stay while a window is neither maximised nor full screen.
  std::vector<std::array<std::int32_t, 4>> extents(const std::vector<xcb_window_t>& windows) {
    std::vector<xcb_get_property_cookie_t> cookies;
    for (xcb_window_t w : windows) cookies.push_back(xcb_get_property(connection_, 0, w, extentsAtom_, XCB_ATOM_CARDINAL, 0, 4));
    std::vector<std::array<std::int32_t, 4>> result;
    for (auto cookie : cookies) {
      std::array<std::int32_t, 4> e{0, 0, 0, 0};
      if (xcb_get_property_reply_t* reply = xcb_get_property_reply(connection_, cookie, nullptr)) {
        if (xcb_get_property_value_length(reply) >= 16) std::memcpy(e.data(), xcb_get_property_value(reply), 16);
        std::free(reply);
      }
      result.push_back(e);
    }
    return result;
  }

  // The outer frame of each window; none for a window that is gone.
  std::vector<std::optional<Rect>> outerFrames(const std::vector<xcb_window_t>& windows,
                                               const std::vector<std::array<std::int32_t, 4>>& extents) {
    std::vector<xcb_get_geometry_cookie_t> geometry;
    std::vector<xcb_translate_coordinates_cookie_t> origin;
    for (xcb_window_t w : windows) {
      geometry.push_back(xcb_get_geometry(connection_, w));
      origin.push_back(xcb_translate_coordinates(connection_, w, root_, 0, 0));
    }
    std::vector<std::optional<Rect>> result;
    for (std::size_t i = 0; i < windows.size(); ++i) {
      xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(connection_, geometry[i], nullptr);
      xcb_translate_coordinates_reply_t* t = xcb_translate_coordinates_reply(connection_, origin[i], nullptr);
      if (g && t) {
        const auto& e = extents[i];
        result.emplace_back(Rect(t->dst_x - e[0], t->dst_y - e[2], g->width + e[0] + e[1], g->height + e[2] + e[3]));
      } else {
        result.emplace_back(std::nullopt);
      }
      std::free(g);
      std::free(t);
    }
    return result;
  }

  // Asks the window manager to put the outer frame exactly there:
  // north-west gravity, source 2 (a tool acting for the user), the size
  // less the decorations.
  void moveResize(xcb_window_t window, const Rect& frame, const std::array<std::int32_t, 4>& e) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = moveResizeAtom_;
    event.data.data32[0] = 1U | (0xFU << 8) | (2U << 12);
    event.data.data32[1] = static_cast<std::uint32_t>(static_cast<std::int32_t>(frame.x()));
    event.data.data32[2] = static_cast<std::uint32_t>(static_cast<std::int32_t>(frame.y()));
    event.data.data32[3] = static_cast<std::uint32_t>(static_cast<std::int32_t>(frame.width()) - e[0] - e[1]);
    event.data.data32[4] = static_cast<std::uint32_t>(static_cast<std::int32_t>(frame.height()) - e[2] - e[3]);
    xcb_send_event(connection_, 0, root_, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
  }

  // Configure events of the windows wake the waits below.
  void watch(const std::vector<xcb_window_t>& windows) {
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    for (xcb_window_t w : windows) xcb_change_window_attributes(connection_, w, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection_);
  }

  // Waits for an event or `ms`, and drops whatever arrived.
  void waitForEvents(int ms) {
    xcb_flush(connection_);
    bool any = drain();
    if (!any) {
      pollfd p{fd(), POLLIN, 0};
      poll(&p, 1, ms);
      drain();
    }
  }

  bool drain() {
    bool any = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
      any = true;
      std::free(event);
    }
    return any;
  }

 private:
  xcb_connection_t* connection_;
  xcb_window_t root_ = XCB_NONE;
  xcb_atom_t extentsAtom_ = XCB_NONE;
  xcb_atom_t moveResizeAtom_ = XCB_NONE;
};

// Whether every window lies within the frame-fit tolerance of one of the
// targets (or, with `exact`, of its own move exactly).
inline bool settled(XClient& x, const Plan& plan, const std::vector<std::array<std::int32_t, 4>>& extents, bool exact) {
  const std::vector<std::optional<Rect>> frames = x.outerFrames(plan.windows(), extents);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    if (!frames[i]) return false;
    if (exact) {
      if (!(*frames[i] == plan.moves[i].frame)) return false;
      continue;
    }
    bool fits = false;
    for (const Rect& target : plan.targets) fits = fits || PaneFrameFit::matches(*frames[i], target);
    if (!fits) return false;
  }
  return true;
}

}  // namespace tessarapane::settlebench
