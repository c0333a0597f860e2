#pragma once

#include <QDBusMessage>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "coordinator/LogChannel.h"
#include "platform/SystemEvents.h"
#include "program/PauseSignalMapping.h"

namespace tessarapane::program {

// The pause notifications from D-Bus: logind's PrepareForSleep and this
// session's Lock, Unlock and Active/LockedHint changes on the system bus,
// the screensaver's ActiveChanged on the session bus.
//
// Signals are matched by interface and member. When logind owns its name,
// only its signals count and the session is the one of this process
// (GetSessionByPID, else GetSession("auto"), else $XDG_SESSION_ID). Without
// logind (a private bus standing in for the system bus) any sender and any
// object path count. A missing bus or logind is one log line; the program
// runs on without those pauses (or, without logind, on whoever sends them).
// Losing a bus later (its daemon ended) is one log line too.
class DBusSystemEvents final : public QObject, public SystemEvents {
  Q_OBJECT

 public:
  explicit DBusSystemEvents(std::shared_ptr<Log> log);
  ~DBusSystemEvents() override;

  Subscription subscribe(std::function<void(SystemEvent)> handler) override;

  // The session object listened to: empty for any path, none for no session.
  const std::optional<QString>& sessionPath() const { return sessionPath_; }

 private Q_SLOTS:
  void onPrepareForSleep(const QDBusMessage& message);
  void onSessionLock(const QDBusMessage& message);
  void onSessionUnlock(const QDBusMessage& message);
  void onSessionProperties(const QDBusMessage& message);
  void onScreenSaverActiveChanged(const QDBusMessage& message);
  void onSystemBusLost(const QDBusMessage& message);
  void onSessionBusLost(const QDBusMessage& message);

 private:
  using Handlers = std::map<std::uint64_t, std::function<void(SystemEvent)>>;

  void connectSystemBus();
  void connectSessionBus();
  void deliver(std::optional<SystemEvent> event);

  LogChannel log_;
  PauseSignalMapping mapping_;
  std::optional<QString> sessionPath_;
  std::shared_ptr<Handlers> handlers_ = std::make_shared<Handlers>();
  std::uint64_t nextHandlerID_ = 1;
};

}  // namespace tessarapane::program
