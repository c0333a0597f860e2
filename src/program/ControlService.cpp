#include "program/ControlService.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QApplication>
#include <QWidget>

#include <utility>

#include "program/ControlBus.h"
#include "ui/windows/QtAlerts.h"

namespace tessarapane::program {

ControlService::ControlService(ControlRequests requests, QObject* parent)
    : QObject(parent), requests_(std::move(requests)) {}

bool ControlService::registerOnSessionBus(QString* error) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    if (error) *error = QStringLiteral("no session bus: %1").arg(bus.lastError().message());
    return false;
  }
  if (!bus.registerObject(QString::fromLatin1(kControlObjectPath), this, QDBusConnection::ExportAllSlots)) {
    if (error) *error = QStringLiteral("cannot export %1").arg(QString::fromLatin1(kControlObjectPath));
    return false;
  }
  if (!bus.registerService(QString::fromLatin1(kControlServiceName))) {
    bus.unregisterObject(QString::fromLatin1(kControlObjectPath));
    if (error) {
      *error = QStringLiteral("the name %1 is taken (%2)")
                   .arg(QString::fromLatin1(kControlServiceName), bus.lastError().message());
    }
    return false;
  }
  registered_ = true;
  return true;
}

void ControlService::unregister() {
  if (!registered_) return;
  registered_ = false;
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.unregisterService(QString::fromLatin1(kControlServiceName));
  bus.unregisterObject(QString::fromLatin1(kControlObjectPath));
}

void ControlService::answer(const ControlReply& reply) {
  if (reply.ok() || !calledFromDBus()) return;
  const char* name = reply.status == ControlReply::Status::invalidArgument ? kInvalidArgumentError
                     : reply.status == ControlReply::Status::failed          ? kFailedError
                                                                             : kUnavailableError;
  sendErrorReply(QString::fromLatin1(name), QString::fromStdString(reply.text));
}

bool ControlService::refuseWhileModal() {
  // An alert runs its own event loop in the middle of a coordinator
  // operation; a request carried out inside it would change the layout
  // under that operation's feet. A notice interrupts no operation: the
  // missing-tray notice even says that these requests keep working.
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
  const QWidget* modal = QApplication::activeModalWidget();
  if (!modal || modal->property(ui::QtAlerts::kNoticeProperty).toBool()) return false;
  answer(ControlReply{ControlReply::Status::unavailable, "a message of Tessarapane is waiting to be dismissed"});
  return true;
}

void ControlService::Start(const QString& kind) {
  if (!refuseWhileModal()) answer(requests_.start(kind.toStdString()));
}

void ControlService::StartGrid() {
  if (!refuseWhileModal()) answer(requests_.startGrid());
}

void ControlService::Exit() {
  if (!refuseWhileModal()) answer(requests_.exit());
}

void ControlService::Move(const QString& direction) {
  if (!refuseWhileModal()) answer(requests_.move(direction.toStdString()));
}

QString ControlService::State() {
  const ControlReply reply = requests_.state();
  answer(reply);
  return QString::fromStdString(reply.text);
}

}  // namespace tessarapane::program
