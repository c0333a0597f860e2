#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "backends/x11/X11Atoms.h"
#include "platform/AXError.h"
#include "platform/Subscription.h"

namespace tessarapane {

class PollLoopScheduler;

// How waiting for one reply ended.
enum class ReplyStatus : std::uint8_t {
  ok,
  xError,    // the server refused the request (errorCode says why)
  timedOut,  // no answer before the deadline: the server is held up (a grab)
  lost,      // the connection is gone
};

// A reply of type R (an xcb_*_reply_t), owned.
template <class R>
struct XReply {
  ReplyStatus status = ReplyStatus::lost;
  std::uint8_t errorCode = 0;
  std::unique_ptr<R, decltype(&std::free)> value{nullptr, &std::free};

  bool ok() const { return status == ReplyStatus::ok && value != nullptr; }
  R* operator->() const { return value.get(); }
};

// A window property as read.
struct XProperty {
  ReplyStatus status = ReplyStatus::lost;
  std::uint8_t errorCode = 0;
  xcb_atom_t type = XCB_NONE;  // none: the window has no such property
  std::uint8_t format = 0;
  std::vector<std::uint8_t> bytes;

  bool ok() const { return status == ReplyStatus::ok; }
  bool exists() const { return ok() && type != XCB_NONE; }
  // The 32-bit items (CARDINAL, WINDOW, ATOM lists); empty for other formats.
  std::vector<std::uint32_t> values32() const;
  std::optional<std::uint32_t> first32() const;
  std::string text() const;
};

// A moment on the monotonic clock after which waiting for replies stops.
struct Deadline {
  double at = 0.0;
};

// The connection to the X server every part of the backend shares: atoms,
// requests with time-bounded replies, and event dispatch. Errors never abort:
// a window that vanished mid-operation is an ordinary failed reply, and a
// lost connection calls the lost-connection handler once (by default: a
// message on stderr and exit).
class X11Connection {
 public:
  // Connects to `displayName` (the DISPLAY variable when none); null with a
  // reason in `error` when that fails.
  static std::shared_ptr<X11Connection> open(const std::optional<std::string>& displayName, std::string* error);
  ~X11Connection();

  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  xcb_connection_t* raw() const { return connection_; }
  xcb_screen_t* screen() const { return screen_; }
  xcb_window_t root() const { return screen_->root; }
  xcb_atom_t atom(Atom which) const { return atoms_[which]; }
  int fileDescriptor() const;

  bool hasRandR() const { return randrFirstEvent_.has_value(); }
  std::optional<std::uint8_t> randrFirstEvent() const { return randrFirstEvent_; }
  std::optional<std::uint8_t> xinputOpcode() const { return xinputOpcode_; }
  bool hasXRes() const { return hasXRes_; }

  // How long one operation waits for the server before giving up.
  void setReplyTimeout(double seconds) { replyTimeout_ = seconds; }
  Deadline deadline() const;

  // Waits for the reply of `sequence` until the deadline. With a passed
  // deadline it only takes a reply that is already there.
  ReplyStatus awaitRaw(unsigned int sequence, Deadline deadline, void** reply, std::uint8_t* errorCode);

  template <class R, class Cookie>
  XReply<R> await(Cookie cookie, Deadline deadline) {
    XReply<R> result;
    void* reply = nullptr;
    result.status = awaitRaw(cookie.sequence, deadline, &reply, &result.errorCode);
    result.value.reset(static_cast<R*>(reply));
    if (result.status == ReplyStatus::ok && !reply) result.status = ReplyStatus::xError;
    return result;
  }

  // Whether each request sent with a _checked call (one without a reply) was
  // accepted: ok, xError (BadAccess: another client holds it), or timedOut.
  std::vector<ReplyStatus> checkRequests(const std::vector<xcb_void_cookie_t>& cookies, Deadline deadline);

  // Re-checks `condition` whenever the server sends something, until it
  // holds or `timeout` seconds pass. For the rare request whose outcome the
  // next request depends on; events read meanwhile stay queued for dispatch.
  bool awaitCondition(const std::function<bool()>& condition, double timeout);

  xcb_get_property_cookie_t requestProperty(xcb_window_t window, xcb_atom_t property,
                                            xcb_atom_t type = XCB_ATOM_ANY, std::uint32_t maxLongs = 4096);
  XProperty awaitProperty(xcb_get_property_cookie_t cookie, Deadline deadline);
  XProperty property(xcb_window_t window, xcb_atom_t property, std::uint32_t maxLongs = 4096);

  // Sends a client message to the root window, as EWMH asks of requests to
  // the window manager.
  void sendRootMessage(xcb_window_t window, Atom type, const std::array<std::uint32_t, 5>& data);
  void flush();

  // Every event passes through every handler, in the order they were added.
  using EventHandler = std::function<void(const xcb_generic_event_t& event)>;
  Subscription addEventHandler(EventHandler handler);

  // Handles every event already received or waiting on the socket. Any loop
  // may call it: on a readable descriptor and before it blocks (replies
  // awaited in between may have queued events without leaving the socket
  // readable).
  void dispatchPendingEvents();
  // Events dispatched so far: unchanged while the server reported nothing.
  std::uint64_t eventCount() const { return eventCount_; }

  // Hooks the connection into the poll loop, until the connection goes or
  // is attached to another loop.
  void attach(PollLoopScheduler& scheduler);

  bool isConnected();
  void setConnectionLostHandler(std::function<void(const std::string& reason)> handler);

 private:
  X11Connection() = default;
  bool initialise(const std::optional<std::string>& displayName, std::string* error);
  void noticeLostConnection();

  xcb_connection_t* connection_ = nullptr;
  xcb_screen_t* screen_ = nullptr;
  X11Atoms atoms_;
  std::optional<std::uint8_t> randrFirstEvent_;
  std::optional<std::uint8_t> xinputOpcode_;
  bool hasXRes_ = false;
  double replyTimeout_ = 1.0;

  std::map<std::uint64_t, std::shared_ptr<EventHandler>> handlers_;
  std::uint64_t nextHandlerID_ = 1;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

  Subscription readableWatch_;
  Subscription beforeWaitHook_;
  std::function<void(const std::string&)> lostHandler_;
  bool lostNoticed_ = false;
  std::uint64_t eventCount_ = 0;
};

// The accessibility code a failed reply stands for: a vanished window
// (BadWindow, BadDrawable) is an invalid element, a server that does not
// answer in time cannot complete.
AXError axErrorFor(ReplyStatus status, std::uint8_t errorCode);

}  // namespace tessarapane
