#include "program/CtlClient.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QString>
#include <QVariant>

#include <cstdio>
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

QDBusMessage requestFor(const CtlCommand& command) {
  const auto call = [](const char* method) {
    return QDBusMessage::createMethodCall(QString::fromLatin1(kControlServiceName),
                                          QString::fromLatin1(kControlObjectPath),
                                          QString::fromLatin1(kControlInterface), QString::fromLatin1(method));
  };
  switch (command.verb) {
    case CtlVerb::start: {
      QDBusMessage message = call("Start");
      message << QString::fromStdString(command.argument);
      return message;
    }
    case CtlVerb::grid:
      return call("StartGrid");
    case CtlVerb::exit:
      return call("Exit");
    case CtlVerb::move: {
      QDBusMessage message = call("Move");
      message << QString::fromStdString(command.argument);
      return message;
    }
    case CtlVerb::state:
      return call("State");
  }
  return call("State");
}

}  // namespace

int runCtl(const CtlCommand& command) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    // Whether an instance runs cannot be told without the bus.
    printBusUnreachable(bus.lastError().message().toStdString());
    return kExitNotRunning;
  }
  const QDBusMessage reply = bus.call(requestFor(command), QDBus::Block, kReplyTimeoutMilliseconds);
  if (reply.type() == QDBusMessage::ErrorMessage) {
    const QString name = reply.errorName();
    if (name == QLatin1String(kInvalidArgumentError)) {
      printError(reply.errorMessage().toStdString());
      std::fputs(usageText().c_str(), stderr);
      return kExitBadArguments;
    }
    if (name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner")) {
      printError("Tessarapane is not running (no instance answers on the session bus).");
      return kExitNotRunning;
    }
    if (name == QLatin1String("org.freedesktop.DBus.Error.Disconnected") ||
        name == QLatin1String("org.freedesktop.DBus.Error.NoServer")) {
      printBusUnreachable(reply.errorMessage().toStdString());
      return kExitNotRunning;
    }
    printError("the running instance did not carry the request out: " + reply.errorMessage().toStdString() + " (" +
               name.toStdString() + ")");
    return kExitNotRunning;
  }
  if (reply.type() != QDBusMessage::ReplyMessage) {
    printError("no answer from the running instance");
    return kExitNotRunning;
  }
  if (command.verb == CtlVerb::state) {
    if (reply.arguments().isEmpty()) {
      printError("the running instance sent no state");
      return kExitNotRunning;
    }
    const std::string text = reply.arguments().constFirst().toString().toStdString() + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
  }
  return kExitSuccess;
}

}  // namespace tessarapane::program
