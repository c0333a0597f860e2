#pragma once

#include <QDBusContext>
#include <QObject>
#include <QString>

#include "program/ControlRequests.h"

namespace tessarapane::program {

// The control interface on the session bus: each method carries the request
// out on the main thread and replies once the coordinator has returned.
// Refused requests come back as D-Bus errors; while an alert is open every
// request but State is refused.
class ControlService final : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.tessarapane.Tessarapane.Control")

 public:
  explicit ControlService(ControlRequests requests, QObject* parent = nullptr);

  // Claims the well-known name and exports the object; false (with the
  // reason) when the bus is missing or another instance holds the name.
  bool registerOnSessionBus(QString* error);
  void unregister();

 public Q_SLOTS:
  void Start(const QString& kind);
  void StartGrid();
  void Exit();
  void Move(const QString& direction);
  QString State();

 private:
  void answer(const ControlReply& reply);
  // True (and the caller refused) while a modal alert is open.
  bool refuseWhileModal();

  ControlRequests requests_;
  bool registered_ = false;
};

}  // namespace tessarapane::program
