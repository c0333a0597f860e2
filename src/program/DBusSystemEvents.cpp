#include "program/DBusSystemEvents.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusVariant>
#include <QVariantMap>

#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "coordinator/LayoutCoordinator.h"

namespace tessarapane::program {

namespace {

const QString kLogindService = QStringLiteral("org.freedesktop.login1");
const QString kLogindPath = QStringLiteral("/org/freedesktop/login1");
const QString kManagerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSessionInterface = QStringLiteral("org.freedesktop.login1.Session");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kScreenSaverInterface = QStringLiteral("org.freedesktop.ScreenSaver");
// Start-up asks logind a few questions; a stuck bus must not hold the launch.
constexpr int kCallTimeoutMilliseconds = 2000;

QDBusMessage callLogind(QDBusConnection& bus, const QString& path, const QString& interface, const QString& method,
                        const QList<QVariant>& arguments) {
  QDBusMessage call = QDBusMessage::createMethodCall(kLogindService, path, interface, method);
  call.setArguments(arguments);
  return bus.call(call, QDBus::Block, kCallTimeoutMilliseconds);
}

std::optional<QString> objectPathReply(const QDBusMessage& reply) {
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
  const QVariant value = reply.arguments().constFirst();
  if (value.canConvert<QDBusObjectPath>()) {
    const QString path = value.value<QDBusObjectPath>().path();
    if (!path.isEmpty()) return path;
  }
  return std::nullopt;
}

std::optional<bool> boolProperty(QDBusConnection& bus, const QString& path, const QString& name) {
  const QDBusMessage reply =
      callLogind(bus, path, kPropertiesInterface, QStringLiteral("Get"), {kSessionInterface, name});
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
  const QVariant value = reply.arguments().constFirst().value<QDBusVariant>().variant();
  if (value.typeId() != QMetaType::Bool) return std::nullopt;
  return value.toBool();
}

// The first argument as a boolean, when the signal carries one.
std::optional<bool> boolArgument(const QDBusMessage& message) {
  if (message.arguments().isEmpty()) return std::nullopt;
  const QVariant value = message.arguments().constFirst();
  if (value.typeId() != QMetaType::Bool) return std::nullopt;
  return value.toBool();
}

// The bus library tells its own connection's end (the daemon went away) once,
// as a local signal.
void watchForLoss(QDBusConnection& bus, QObject* receiver, const char* slot) {
  bus.connect(QString(), QStringLiteral("/org/freedesktop/DBus/Local"), QStringLiteral("org.freedesktop.DBus.Local"),
              QStringLiteral("Disconnected"), receiver, slot);
}

}  // namespace

DBusSystemEvents::DBusSystemEvents(std::shared_ptr<Log> log)
    : log_(std::move(log), std::string(LayoutCoordinator::kLogSubsystem),
           std::string(LayoutCoordinator::kPauseLogCategory)) {
  connectSystemBus();
  connectSessionBus();
}

DBusSystemEvents::~DBusSystemEvents() { handlers_->clear(); }

void DBusSystemEvents::connectSystemBus() {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) {
    log_.write("no system bus (" + bus.lastError().message().toStdString() +
               "): sleep, lock and session changes are not detected");
    return;
  }
  const bool logindRuns = bus.interface() && bus.interface()->isServiceRegistered(kLogindService).value();
  // With logind running only its own signals count; without it (a private
  // stand-in bus) any sender does.
  const QString sender = logindRuns ? kLogindService : QString();

  std::string note;
  if (logindRuns) {
    sessionPath_ = objectPathReply(callLogind(bus, kLogindPath, kManagerInterface, QStringLiteral("GetSessionByPID"),
                                              {QVariant::fromValue(static_cast<uint>(::getpid()))}));
    if (!sessionPath_) {
      sessionPath_ = objectPathReply(
          callLogind(bus, kLogindPath, kManagerInterface, QStringLiteral("GetSession"), {QStringLiteral("auto")}));
    }
    const QString sessionID = qEnvironmentVariable("XDG_SESSION_ID");
    if (!sessionPath_ && !sessionID.isEmpty()) {
      sessionPath_ = QString::fromStdString(loginSessionObjectPath(sessionID.toStdString()));
    }
    if (!sessionPath_) note = "no login session found for this process: lock and session changes are not detected";
  } else {
    // No session object exists without logind, whatever $XDG_SESSION_ID
    // says: whoever speaks for it may use any path.
    sessionPath_ = QString();
    note = "logind is not on the system bus; its signals count from any sender";
  }

  bus.connect(sender, QString(), kManagerInterface, QStringLiteral("PrepareForSleep"), this,
              SLOT(onPrepareForSleep(QDBusMessage)));
  if (sessionPath_) {
    bus.connect(sender, *sessionPath_, kSessionInterface, QStringLiteral("Lock"), this,
                SLOT(onSessionLock(QDBusMessage)));
    bus.connect(sender, *sessionPath_, kSessionInterface, QStringLiteral("Unlock"), this,
                SLOT(onSessionUnlock(QDBusMessage)));
    bus.connect(sender, *sessionPath_, kPropertiesInterface, QStringLiteral("PropertiesChanged"), this,
                SLOT(onSessionProperties(QDBusMessage)));
    if (logindRuns) {
      mapping_.setInitialSession(boolProperty(bus, *sessionPath_, QStringLiteral("Active")),
                                 boolProperty(bus, *sessionPath_, QStringLiteral("LockedHint")));
    }
  }
  if (!note.empty()) log_.write(note);
  watchForLoss(bus, this, SLOT(onSystemBusLost(QDBusMessage)));
}

void DBusSystemEvents::connectSessionBus() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    log_.write("no session bus (" + bus.lastError().message().toStdString() +
               "): screensaver changes are not detected");
    return;
  }
  bus.connect(QString(), QString(), kScreenSaverInterface, QStringLiteral("ActiveChanged"), this,
              SLOT(onScreenSaverActiveChanged(QDBusMessage)));
  watchForLoss(bus, this, SLOT(onSessionBusLost(QDBusMessage)));
}

Subscription DBusSystemEvents::subscribe(std::function<void(SystemEvent)> handler) {
  const std::uint64_t id = nextHandlerID_++;
  (*handlers_)[id] = std::move(handler);
  std::weak_ptr<Handlers> weak = handlers_;
  return Subscription([weak, id] {
    if (const auto handlers = weak.lock()) handlers->erase(id);
  });
}

void DBusSystemEvents::deliver(std::optional<SystemEvent> event) {
  if (!event) return;
  // A handler may cancel subscriptions while it runs.
  std::vector<std::uint64_t> ids;
  for (const auto& entry : *handlers_) ids.push_back(entry.first);
  for (std::uint64_t id : ids) {
    const auto found = handlers_->find(id);
    if (found == handlers_->end()) continue;
    const auto handler = found->second;
    handler(*event);
  }
}

void DBusSystemEvents::onPrepareForSleep(const QDBusMessage& message) {
  if (const auto sleeping = boolArgument(message)) deliver(mapping_.prepareForSleep(*sleeping));
}

void DBusSystemEvents::onSessionLock(const QDBusMessage&) { deliver(mapping_.sessionLock()); }

void DBusSystemEvents::onSessionUnlock(const QDBusMessage&) { deliver(mapping_.sessionUnlock()); }

void DBusSystemEvents::onSessionProperties(const QDBusMessage& message) {
  const QList<QVariant> arguments = message.arguments();
  if (arguments.size() < 2 || arguments[0].toString() != kSessionInterface) return;
  const QVariantMap changed = qdbus_cast<QVariantMap>(arguments[1]);
  const auto flag = [&changed](const char* name) -> std::optional<bool> {
    const auto found = changed.constFind(QString::fromLatin1(name));
    if (found == changed.constEnd()) return std::nullopt;
    QVariant value = found.value();
    if (value.canConvert<QDBusVariant>() && value.typeId() != QMetaType::Bool) {
      value = value.value<QDBusVariant>().variant();
    }
    if (value.typeId() != QMetaType::Bool) return std::nullopt;
    return value.toBool();
  };
  if (const auto active = flag("Active")) deliver(mapping_.sessionActive(*active));
  if (const auto locked = flag("LockedHint")) deliver(mapping_.sessionLockedHint(*locked));
}

void DBusSystemEvents::onScreenSaverActiveChanged(const QDBusMessage& message) {
  if (const auto active = boolArgument(message)) deliver(mapping_.screenSaverActive(*active));
}

void DBusSystemEvents::onSystemBusLost(const QDBusMessage&) {
  log_.write("lost the system bus: sleep, lock and session changes are no longer detected");
}

void DBusSystemEvents::onSessionBusLost(const QDBusMessage&) {
  log_.write("lost the session bus: screensaver changes are no longer detected and tessarapane ctl cannot "
             "reach this instance");
}

}  // namespace tessarapane::program
