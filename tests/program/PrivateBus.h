#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>

#include <memory>

namespace tessarapane::program {

// One private dbus-daemon per test process standing in for both the system
// and the session bus (a process keeps its first connection to each, so
// every test shares it). Empty when dbus-daemon is not installed or did not
// start.
inline QByteArray privateBusAddress() {
  struct Daemon {
    QProcess process;
    QByteArray address;
    ~Daemon() {
      process.kill();
      process.waitForFinished(5000);
    }
  };
  static std::unique_ptr<Daemon> daemon = [] {
    auto started = std::make_unique<Daemon>();
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()) return started;
    started->process.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                           QStringLiteral("--print-address=1")});
    if (!started->process.waitForStarted(5000)) return started;
    QDeadlineTimer deadline(10'000);
    while (!started->process.canReadLine() && !deadline.hasExpired()) started->process.waitForReadyRead(100);
    started->address = started->process.readLine().trimmed();
    if (!started->address.isEmpty()) {
      qputenv("DBUS_SYSTEM_BUS_ADDRESS", started->address);
      qputenv("DBUS_SESSION_BUS_ADDRESS", started->address);
    }
    return started;
  }();
  return daemon->address;
}

}  // namespace tessarapane::program
