// The real D-Bus wiring on a private bus: `tessarapane ctl` drives the control service of this process (whose
// loop keeps answering while ctl runs), the service refuses bad arguments, and logind's and the screensaver's
// signals arrive as system events.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QProcess>
#include <QProcessEnvironment>
#include <QtCore/qtestsupport_core.h>
#include <QVariantMap>

#include "PrivateBus.h"
#include "backends/sim/SimLog.h"
#include "program/ControlBus.h"
#include "program/ControlService.h"
#include "program/ProgramArguments.h"
#include "program/DBusSystemEvents.h"
#include "sim/coordinator/CoordinatorSimFixture.h"

namespace tessarapane::program {
namespace {

class DBusWiring : public CoordinatorSim {
 protected:
  void SetUp() override {
    if (privateBusAddress().isEmpty()) GTEST_SKIP() << "no dbus-daemon";
  }
  // Exit status, output and errors of `tessarapane ctl ARGS`, on the session bus at `bus` when one is given.
  std::tuple<int, std::string, std::string> ctl(const QStringList& args, const QString& bus = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!bus.isEmpty()) environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TESSARAPANE_EXECUTABLE), QStringList{QStringLiteral("ctl")} + args);
    EXPECT_TRUE(process.waitForStarted(10'000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning || process.waitForFinished(10); }, 60'000));
    return {process.exitCode(), process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
  }
  ControlRequests requests{[this] { return coordinator; }};
  ControlService service{requests};
};

TEST_F(DBusWiring, CtlDrivesTheRunningInstanceAndTheServiceRefusesBadArguments) {
  using Outcome = std::tuple<int, std::string, std::string>;
  const Outcome notRunning{1, "", "tessarapane ctl: Tessarapane is not running (no instance answers on the session bus).\n"};
  EXPECT_EQ(ctl({QStringLiteral("state")}), notRunning);
  // An unreachable bus is told apart from a program not running.
  const auto [status, out, err] = ctl({QStringLiteral("state")}, QStringLiteral("unix:path=/nonexistent/bus"));
  EXPECT_EQ(std::tuple(status, out, err.find("tessarapane ctl: Tessarapane cannot be reached on the session bus (")),
            std::tuple(1, "", std::size_t{0})) << err;

  open(launch("Editor"), "one");
  settle();
  QString error;
  ASSERT_TRUE(service.registerOnSessionBus(&error)) << error.toStdString();
  ControlService second{requests};
  EXPECT_FALSE(second.registerOnSessionBus(&error)) << "one instance answers";

  EXPECT_EQ(ctl({QStringLiteral("start"), QStringLiteral("split2")}), (Outcome{0, "", ""}));
  EXPECT_EQ(coordinator->snapshot().kindName(), "split2") << "carried out before ctl returned";
  // The state as ControlStory knows it.
  EXPECT_EQ(ctl({QStringLiteral("state")}), (Outcome{0, requests.state().text + "\n", ""}));
  EXPECT_EQ(ctl({QStringLiteral("start"), QStringLiteral("split9")}),
            (Outcome{2, "", "tessarapane: unknown layout kind \"split9\" (expected fullScreen|split2|split3|topBottom|focusStack|"
                            "stackFocus|split4)\n" + usageText()}));

  // A caller that skips the client's own checks gets D-Bus errors.
  QDBusConnection caller = QDBusConnection::connectToBus(QString::fromUtf8(privateBusAddress()), QStringLiteral("caller"));
  for (const auto& [method, argument] : {std::pair("Start", "grid"), std::pair("Move", "Left")}) {
    QDBusMessage message = QDBusMessage::createMethodCall(QString::fromLatin1(kControlServiceName), QString::fromLatin1(kControlObjectPath),
                                                          QString::fromLatin1(kControlInterface), QString::fromLatin1(method));
    message << QString::fromLatin1(argument);
    QDBusPendingCall pending = caller.asyncCall(message);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, 10'000));
    EXPECT_EQ(pending.reply().errorName(), QString::fromLatin1(kInvalidArgumentError));
    EXPECT_TRUE(pending.reply().errorMessage().contains(QString::fromLatin1(argument)));
  }
  QDBusConnection::disconnectFromBus(QStringLiteral("caller"));
  EXPECT_EQ(coordinator->snapshot().kindName(), "split2");

  EXPECT_EQ(ctl({QStringLiteral("exit")}), (Outcome{0, "", ""}));
  EXPECT_FALSE(coordinator->snapshot().isRunning());
  service.unregister();
  EXPECT_EQ(ctl({QStringLiteral("grid")}), notRunning);
}

// The private bus has no logind on it; signals come from an unnamed connection, as dbus-send sends them.
TEST(DBusSystemEvents, LogindAndScreensaverSignalsArriveAsSystemEvents) {
  const QByteArray address = privateBusAddress();
  if (address.isEmpty()) GTEST_SKIP() << "no dbus-daemon";
  qputenv("XDG_SESSION_ID", "c7");
  auto log = std::make_shared<SimLog>();
  DBusSystemEvents systemEvents(log);
  EXPECT_EQ(systemEvents.sessionPath(), QString()) << "any path: no session object exists without logind";
  ASSERT_EQ(log->lines().size(), 1u);
  EXPECT_EQ(log->lines()[0].subsystem + " [" + log->lines()[0].category + "] " + log->lines()[0].text,
            "org.tessarapane.Tessarapane [Pause] logind is not on the system bus; its signals count from any sender");
  std::vector<SystemEvent> events, later;
  Subscription subscription = systemEvents.subscribe([&events](SystemEvent event) { events.push_back(event); });
  QDBusConnection emitter = QDBusConnection::connectToBus(QString::fromUtf8(address), QStringLiteral("emitter"));
  const auto send = [&emitter](const char* path, const char* interface, const char* member, QVariantList args) {
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(path), QString::fromLatin1(interface), QString::fromLatin1(member));
    signal.setArguments(args);
    EXPECT_TRUE(emitter.send(signal));
  };
  const char* session = "/org/freedesktop/login1/session/c7";
  const auto properties = [](const char* interface, QVariantMap changed) {
    return QVariantList{QString::fromLatin1(interface), changed, QStringList{}};
  };
  // The screensaver speaks on the session bus, a connection of its own: awaited before the system bus's signals.
  send("/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged", {true});
  ASSERT_TRUE(QTest::qWaitFor([&] { return !events.empty(); }, 10'000));
  send("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", {true});
  send(session, "org.freedesktop.DBus.Properties", "PropertiesChanged",  // another interface's: not the session's
       properties("org.freedesktop.login1.User", {{QStringLiteral("Active"), false}}));
  send("/org/freedesktop/login1/session/c8", "org.freedesktop.login1.Session", "Lock", {});  // any session path counts
  send(session, "org.freedesktop.DBus.Properties", "PropertiesChanged",
       properties("org.freedesktop.login1.Session", {{QStringLiteral("Active"), false}, {QStringLiteral("LockedHint"), true}}));
  send("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", {QStringLiteral("no")});
  send(session, "org.freedesktop.login1.Session", "Unlock", {});
  // One sender's signals keep their order: once the last is in, every earlier one has been handled.
  EXPECT_TRUE(QTest::qWaitFor([&] { return events.back() == SystemEvent::screenUnlocked; }, 10'000));
  EXPECT_EQ(events, (std::vector{SystemEvent::screensDidSleep, SystemEvent::systemWillSleep, SystemEvent::screenLocked,
                                 SystemEvent::sessionDidResignActive, SystemEvent::screenUnlocked}));
  subscription.cancel();
  Subscription witness = systemEvents.subscribe([&later](SystemEvent event) { later.push_back(event); });
  send(session, "org.freedesktop.login1.Session", "Lock", {});
  EXPECT_TRUE(QTest::qWaitFor([&] { return !later.empty(); }, 10'000));
  EXPECT_EQ(std::pair(later, events.size()), std::pair(std::vector{SystemEvent::screenLocked}, std::size_t{5}))
      << "a cancelled subscription hears nothing";
}

}  // namespace
}  // namespace tessarapane::program
