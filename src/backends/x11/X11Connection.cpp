#include "backends/x11/X11Connection.h"

#include <poll.h>
#include <time.h>
#include <xcb/randr.h>
#include <xcb/res.h>
#include <xcb/xcbext.h>
#include <xcb/xinput.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "backends/x11/MonotonicClock.h"
#include "backends/x11/PollLoopScheduler.h"

namespace tessarapane {

namespace {

std::string describeConnectionError(int code) {
  switch (code) {
    case XCB_CONN_ERROR:
      return "the connection broke";
    case XCB_CONN_CLOSED_EXT_NOTSUPPORTED:
      return "an extension is not supported";
    case XCB_CONN_CLOSED_MEM_INSUFFICIENT:
      return "out of memory";
    case XCB_CONN_CLOSED_REQ_LEN_EXCEED:
      return "a request was too long";
    case XCB_CONN_CLOSED_PARSE_ERR:
      return "the display name could not be parsed";
    case XCB_CONN_CLOSED_INVALID_SCREEN:
      return "the display has no such screen";
    default:
      return "error " + std::to_string(code);
  }
}

}  // namespace

std::vector<std::uint32_t> XProperty::values32() const {
  std::vector<std::uint32_t> values;
  if (!exists() || format != 32) return values;
  values.resize(bytes.size() / 4);
  if (!values.empty()) std::memcpy(values.data(), bytes.data(), values.size() * 4);
  return values;
}

std::optional<std::uint32_t> XProperty::first32() const {
  if (!exists() || format != 32 || bytes.size() < 4) return std::nullopt;
  std::uint32_t value = 0;
  std::memcpy(&value, bytes.data(), 4);
  return value;
}

std::string XProperty::text() const {
  if (!exists() || format != 8) return {};
  return std::string(bytes.begin(), bytes.end());
}

std::shared_ptr<X11Connection> X11Connection::open(const std::optional<std::string>& displayName,
                                                   std::string* error) {
  std::shared_ptr<X11Connection> connection(new X11Connection());
  if (!connection->initialise(displayName, error)) return nullptr;
  return connection;
}

bool X11Connection::initialise(const std::optional<std::string>& displayName, std::string* error) {
  int screenNumber = 0;
  connection_ = xcb_connect(displayName ? displayName->c_str() : nullptr, &screenNumber);
  if (const int code = xcb_connection_has_error(connection_); code != 0) {
    if (error) *error = "cannot connect to the X server: " + describeConnectionError(code);
    return false;
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
  for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
  if (screens.rem == 0) {
    if (error) *error = "the X server has no such screen";
    return false;
  }
  screen_ = screens.data;

  // Every atom in one round trip.
  std::array<xcb_intern_atom_cookie_t, static_cast<std::size_t>(Atom::count)> cookies{};
  for (std::size_t i = 0; i < cookies.size(); ++i) {
    cookies[i] = xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(kAtomNames[i])),
                                 kAtomNames[i]);
  }
  const Deadline setupDeadline{monotonicSeconds() + 5.0};
  for (std::size_t i = 0; i < cookies.size(); ++i) {
    auto reply = await<xcb_intern_atom_reply_t>(cookies[i], setupDeadline);
    if (!reply.ok()) {
      if (error) *error = "cannot intern the window manager atoms";
      return false;
    }
    atoms_.set(static_cast<Atom>(i), reply->atom);
  }

  // The extensions are optional: what needs a missing one reports failure.
  if (const xcb_query_extension_reply_t* randr = xcb_get_extension_data(connection_, &xcb_randr_id);
      randr && randr->present) {
    auto version = await<xcb_randr_query_version_reply_t>(xcb_randr_query_version(connection_, 1, 5), setupDeadline);
    if (version.ok() && (version->major_version > 1 || version->minor_version >= 5)) {
      randrFirstEvent_ = randr->first_event;
    }
  }
  if (const xcb_query_extension_reply_t* input = xcb_get_extension_data(connection_, &xcb_input_id);
      input && input->present) {
    auto version = await<xcb_input_xi_query_version_reply_t>(xcb_input_xi_query_version(connection_, 2, 2),
                                                             setupDeadline);
    if (version.ok() && version->major_version >= 2) xinputOpcode_ = input->major_opcode;
  }
  if (const xcb_query_extension_reply_t* res = xcb_get_extension_data(connection_, &xcb_res_id); res && res->present) {
    auto version = await<xcb_res_query_version_reply_t>(xcb_res_query_version(connection_, 1, 2), setupDeadline);
    hasXRes_ = version.ok() && (version->server_major > 1 || version->server_minor >= 2);
  }
  return true;
}

X11Connection::~X11Connection() {
  readableWatch_.cancel();
  beforeWaitHook_.cancel();
  *alive_ = false;
  if (connection_) xcb_disconnect(connection_);
}

int X11Connection::fileDescriptor() const { return xcb_get_file_descriptor(connection_); }

Deadline X11Connection::deadline() const { return Deadline{monotonicSeconds() + replyTimeout_}; }

ReplyStatus X11Connection::awaitRaw(unsigned int sequence, Deadline deadline, void** reply, std::uint8_t* errorCode) {
  *reply = nullptr;
  if (errorCode) *errorCode = 0;
  if (xcb_connection_has_error(connection_)) {
    noticeLostConnection();
    return ReplyStatus::lost;
  }
  xcb_flush(connection_);
  for (;;) {
    xcb_generic_error_t* error = nullptr;
    if (xcb_poll_for_reply(connection_, sequence, reply, &error) != 0) {
      if (error) {
        if (errorCode) *errorCode = error->error_code;
        std::free(error);
        std::free(*reply);
        *reply = nullptr;
        return ReplyStatus::xError;
      }
      return ReplyStatus::ok;
    }
    if (xcb_connection_has_error(connection_)) {
      noticeLostConnection();
      return ReplyStatus::lost;
    }
    const double left = deadline.at - monotonicSeconds();
    if (left <= 0.0) {
      // Nobody will collect it: let xcb drop the reply when it comes.
      xcb_discard_reply(connection_, sequence);
      return ReplyStatus::timedOut;
    }
    pollfd fd{fileDescriptor(), POLLIN, 0};
    timespec timeout{};
    timeout.tv_sec = static_cast<time_t>(left);
    timeout.tv_nsec = static_cast<long>((left - static_cast<double>(timeout.tv_sec)) * 1e9);
    ppoll(&fd, 1, &timeout, nullptr);
  }
}

std::vector<ReplyStatus> X11Connection::checkRequests(const std::vector<xcb_void_cookie_t>& cookies,
                                                     Deadline deadline) {
  std::vector<ReplyStatus> results(cookies.size(), ReplyStatus::timedOut);
  // Once a later reply has come, every earlier request has completed and
  // its error, if any, is already here.
  auto sync = await<xcb_get_input_focus_reply_t>(xcb_get_input_focus(connection_), deadline);
  for (std::size_t i = 0; i < cookies.size(); ++i) {
    if (sync.status != ReplyStatus::ok) {
      xcb_discard_reply(connection_, cookies[i].sequence);
      results[i] = sync.status == ReplyStatus::lost ? ReplyStatus::lost : ReplyStatus::timedOut;
      continue;
    }
    void* reply = nullptr;
    xcb_generic_error_t* error = nullptr;
    xcb_poll_for_reply(connection_, cookies[i].sequence, &reply, &error);
    std::free(reply);
    results[i] = error ? ReplyStatus::xError : ReplyStatus::ok;
    std::free(error);
  }
  return results;
}

bool X11Connection::awaitCondition(const std::function<bool()>& condition, double timeout) {
  const double deadline = monotonicSeconds() + timeout;
  for (;;) {
    if (condition()) return true;
    const double left = deadline - monotonicSeconds();
    if (left <= 0.0 || !isConnected()) return false;
    pollfd fd{fileDescriptor(), POLLIN, 0};
    timespec wait{};
    wait.tv_sec = static_cast<time_t>(left);
    wait.tv_nsec = static_cast<long>((left - static_cast<double>(wait.tv_sec)) * 1e9);
    // The condition's own round trip has read everything so far: the
    // descriptor wakes us only for something new.
    ppoll(&fd, 1, &wait, nullptr);
  }
}

xcb_get_property_cookie_t X11Connection::requestProperty(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                                         std::uint32_t maxLongs) {
  return xcb_get_property(connection_, 0, window, property, type, 0, maxLongs);
}

XProperty X11Connection::awaitProperty(xcb_get_property_cookie_t cookie, Deadline deadline) {
  XProperty result;
  auto reply = await<xcb_get_property_reply_t>(cookie, deadline);
  result.status = reply.status;
  result.errorCode = reply.errorCode;
  if (!reply.ok()) return result;
  result.type = reply->type;
  result.format = reply->format;
  const int length = xcb_get_property_value_length(reply.value.get());
  const auto* data = static_cast<const std::uint8_t*>(xcb_get_property_value(reply.value.get()));
  if (length > 0 && data) result.bytes.assign(data, data + length);
  return result;
}

XProperty X11Connection::property(xcb_window_t window, xcb_atom_t property, std::uint32_t maxLongs) {
  return awaitProperty(requestProperty(window, property, XCB_ATOM_ANY, maxLongs), deadline());
}

void X11Connection::sendRootMessage(xcb_window_t window, Atom type, const std::array<std::uint32_t, 5>& data) {
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = atom(type);
  for (std::size_t i = 0; i < data.size(); ++i) event.data.data32[i] = data[i];
  xcb_send_event(connection_, 0, root(),
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(connection_);
}

void X11Connection::flush() { xcb_flush(connection_); }

Subscription X11Connection::addEventHandler(EventHandler handler) {
  if (!handler) return {};
  const std::uint64_t id = nextHandlerID_++;
  handlers_.emplace(id, std::make_shared<EventHandler>(std::move(handler)));
  return Subscription([this, id, alive = std::weak_ptr<bool>(alive_)] {
    if (auto flag = alive.lock(); flag && *flag) handlers_.erase(id);
  });
}

void X11Connection::dispatchPendingEvents() {
  for (;;) {
    xcb_generic_event_t* event = xcb_poll_for_event(connection_);
    if (!event) break;
    // Errors of requests sent without waiting (a window that vanished under
    // a configure or an event selection) are expected and carry no meaning.
    if (event->response_type != 0) {
      ++eventCount_;
      std::vector<std::pair<std::uint64_t, std::shared_ptr<EventHandler>>> handlers(handlers_.begin(),
                                                                                   handlers_.end());
      for (const auto& [id, handler] : handlers) {
        if (handlers_.count(id) != 0) (*handler)(*event);
      }
    }
    std::free(event);
  }
  if (xcb_connection_has_error(connection_)) noticeLostConnection();
  xcb_flush(connection_);
}

void X11Connection::attach(PollLoopScheduler& scheduler) {
  readableWatch_ = scheduler.watchFileDescriptor(fileDescriptor(), [this] { dispatchPendingEvents(); });
  beforeWaitHook_ = scheduler.addBeforeWaitHook([this] { dispatchPendingEvents(); });
}

bool X11Connection::isConnected() { return xcb_connection_has_error(connection_) == 0; }

void X11Connection::setConnectionLostHandler(std::function<void(const std::string&)> handler) {
  lostHandler_ = std::move(handler);
}

void X11Connection::noticeLostConnection() {
  if (lostNoticed_) return;
  lostNoticed_ = true;
  const std::string reason = describeConnectionError(xcb_connection_has_error(connection_));
  if (lostHandler_) {
    lostHandler_(reason);
    return;
  }
  std::fprintf(stderr, "tessarapane: lost the connection to the X server (%s); exiting\n", reason.c_str());
  std::fflush(stderr);
  std::exit(EXIT_FAILURE);
}

AXError axErrorFor(ReplyStatus status, std::uint8_t errorCode) {
  switch (status) {
    case ReplyStatus::ok:
      return AXError::success;
    case ReplyStatus::xError:
      return errorCode == XCB_WINDOW || errorCode == XCB_DRAWABLE ? AXError::invalidUIElement : AXError::failure;
    case ReplyStatus::timedOut:
    case ReplyStatus::lost:
      return AXError::cannotComplete;
  }
  return AXError::failure;
}

}  // namespace tessarapane
