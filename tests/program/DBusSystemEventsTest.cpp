#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "PrivateBus.h"
#include "program/DBusSystemEvents.h"

namespace tessarapane::program {
namespace {

class RecordingLog final : public Log {
 public:
  void write(std::string_view subsystem, std::string_view category, std::string_view text) override {
    lines.push_back(std::string(subsystem) + " [" + std::string(category) + "] " + std::string(text));
  }
  std::vector<std::string> lines;
};

bool waitFor(const std::function<bool()>& condition) {
  QDeadlineTimer deadline(10'000);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// The private bus has no logind on it; signals come from an unnamed
// connection, as dbus-send sends them.
TEST(DBusSystemEvents, LogindAndScreensaverSignalsArriveAsSystemEvents) {
  const QByteArray address = privateBusAddress();
  if (address.isEmpty()) GTEST_SKIP() << "no dbus-daemon";
  qputenv("XDG_SESSION_ID", "c7");

  auto log = std::make_shared<RecordingLog>();
  std::vector<SystemEvent> events;
  {
    DBusSystemEvents systemEvents(log);
    EXPECT_EQ(systemEvents.sessionPath(), QString()) << "any path: no session object exists without logind";
    ASSERT_EQ(log->lines.size(), 1u);
    EXPECT_EQ(log->lines[0], "org.tessarapane.Tessarapane [Pause] logind is not on the system bus; its signals "
                             "count from any sender");
    Subscription subscription = systemEvents.subscribe([&events](SystemEvent event) { events.push_back(event); });

    QDBusConnection emitter = QDBusConnection::connectToBus(QString::fromUtf8(address), QStringLiteral("emitter"));
    ASSERT_TRUE(emitter.isConnected());
    const auto sendSignal = [&emitter](const char* path, const char* interface, const char* member, QVariantList args) {
      QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(path), QString::fromLatin1(interface),
                                                       QString::fromLatin1(member));
      signal.setArguments(args);
      ASSERT_TRUE(emitter.send(signal));
    };
    const char* session = "/org/freedesktop/login1/session/c7";
    // The screensaver speaks on the session bus, a connection of its own:
    // its signal is awaited before the system bus's, whose order is kept.
    sendSignal("/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged", {true});
    EXPECT_TRUE(waitFor([&] { return !events.empty(); }));
    sendSignal("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", {true});
    // A PropertiesChanged of another interface is not the session's.
    sendSignal(session, "org.freedesktop.DBus.Properties", "PropertiesChanged",
               {QStringLiteral("org.freedesktop.login1.User"), QVariantMap{{QStringLiteral("Active"), false}},
                QStringList{}});
    // $XDG_SESSION_ID names no object here: any session path counts.
    sendSignal("/org/freedesktop/login1/session/c8", "org.freedesktop.login1.Session", "Lock", {});
    sendSignal(session, "org.freedesktop.DBus.Properties", "PropertiesChanged",
               {QStringLiteral("org.freedesktop.login1.Session"),
                QVariantMap{{QStringLiteral("Active"), false}, {QStringLiteral("LockedHint"), true}}, QStringList{}});
    sendSignal("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep",
               {QStringLiteral("no")});
    sendSignal(session, "org.freedesktop.login1.Session", "Unlock", {});
    const std::vector<SystemEvent> expected = {
        SystemEvent::screensDidSleep,        SystemEvent::systemWillSleep, SystemEvent::screenLocked,
        SystemEvent::sessionDidResignActive, SystemEvent::screenUnlocked,
    };
    // One sender's signals keep their order: once the last one is in,
    // every earlier one has been handled.
    EXPECT_TRUE(waitFor([&] { return !events.empty() && events.back() == SystemEvent::screenUnlocked; }));
    EXPECT_EQ(events, expected);

    subscription.cancel();
    std::vector<SystemEvent> later;
    Subscription witness = systemEvents.subscribe([&later](SystemEvent event) { later.push_back(event); });
    sendSignal(session, "org.freedesktop.login1.Session", "Lock", {});
    EXPECT_TRUE(waitFor([&] { return !later.empty(); }));
    EXPECT_EQ(later, std::vector<SystemEvent>{SystemEvent::screenLocked});
    EXPECT_EQ(events.size(), expected.size()) << "a cancelled subscription hears nothing";
  }
}

}  // namespace
}  // namespace tessarapane::program
