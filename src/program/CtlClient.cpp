#include "program/CtlClient.h"

#include <dbus/dbus.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "program/ControlBus.h"

namespace tessarapane::program {

namespace {

// A layout over many windows takes a while to be carried out; the bus's
// default of 25 s is too short for a busy machine.
constexpr int kReplyTimeoutMilliseconds = 120'000;

void printError(const std::string& text) {
  const std::string line = "tessarapane ctl: " + text + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
}

void printBusUnreachable(const std::string& reason) {
  printError("Tessarapane cannot be reached on the session bus (" + reason + ").");
}

struct Error {
  DBusError error;
  Error() { dbus_error_init(&error); }
  ~Error() { dbus_error_free(&error); }
  Error(const Error&) = delete;
  Error& operator=(const Error&) = delete;

  bool is(const char* name) const { return dbus_error_has_name(&error, name); }
  std::string name() const { return error.name ? error.name : ""; }
  std::string message() const { return error.message ? error.message : ""; }
};

// A private connection: closed and released at the end, never ending the
// process when the bus goes away.
struct ConnectionDeleter {
  void operator()(DBusConnection* connection) const {
    dbus_connection_close(connection);
    dbus_connection_unref(connection);
  }
};
using Connection = std::unique_ptr<DBusConnection, ConnectionDeleter>;

struct MessageDeleter {
  void operator()(DBusMessage* message) const { dbus_message_unref(message); }
};
using Message = std::unique_ptr<DBusMessage, MessageDeleter>;

const char* methodOf(CtlVerb verb) {
  switch (verb) {
    case CtlVerb::start:
      return "Start";
    case CtlVerb::grid:
      return "StartGrid";
    case CtlVerb::exit:
      return "Exit";
    case CtlVerb::move:
      return "Move";
    case CtlVerb::state:
      return "State";
  }
  return "State";
}

// Null when the request cannot be made (out of memory, or an argument that
// is not UTF-8, which libdbus would refuse by aborting).
Message requestFor(const CtlCommand& command) {
  Message message(dbus_message_new_method_call(kControlServiceName, kControlObjectPath, kControlInterface,
                                               methodOf(command.verb)));
  if (!message) return nullptr;
  if (command.verb == CtlVerb::start || command.verb == CtlVerb::move) {
    const char* argument = command.argument.c_str();
    if (!dbus_validate_utf8(argument, nullptr) ||
        !dbus_message_append_args(message.get(), DBUS_TYPE_STRING, &argument, DBUS_TYPE_INVALID)) {
      return nullptr;
    }
  }
  return message;
}

// The exit status for an error reply (or a call that got no reply).
int failed(const Error& error) {
  if (error.is(kInvalidArgumentError)) {
    printError(error.message());
    std::fputs(usageText().c_str(), stderr);
    return kExitBadArguments;
  }
  if (error.is(DBUS_ERROR_SERVICE_UNKNOWN) || error.is(DBUS_ERROR_NAME_HAS_NO_OWNER)) {
    printError("Tessarapane is not running (no instance answers on the session bus).");
    return kExitNotRunning;
  }
  if (error.is(DBUS_ERROR_DISCONNECTED) || error.is(DBUS_ERROR_NO_SERVER)) {
    printBusUnreachable(error.message());
    return kExitNotRunning;
  }
  printError("the running instance did not carry the request out: " + error.message() + " (" + error.name() + ")");
  return kExitNotRunning;
}

}  // namespace

int runCtl(const CtlCommand& command) {
  Error error;
  const Connection bus(dbus_bus_get_private(DBUS_BUS_SESSION, &error.error));
  if (!bus) {
    // Whether an instance runs cannot be told without the bus.
    printBusUnreachable(error.message());
    return kExitNotRunning;
  }
  dbus_connection_set_exit_on_disconnect(bus.get(), false);
  const Message request = requestFor(command);
  if (!request) {
    printError("the request cannot be sent");
    return kExitNotRunning;
  }
  const Message reply(
      dbus_connection_send_with_reply_and_block(bus.get(), request.get(), kReplyTimeoutMilliseconds, &error.error));
  if (!reply) return failed(error);
  if (command.verb == CtlVerb::state) {
    const char* state = nullptr;
    if (!dbus_message_get_args(reply.get(), &error.error, DBUS_TYPE_STRING, &state, DBUS_TYPE_INVALID)) {
      printError("the running instance sent no state");
      return kExitNotRunning;
    }
    const std::string text = std::string(state) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
  }
  return kExitSuccess;
}

}  // namespace tessarapane::program
