#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDeadlineTimer>
#include <QProcess>

#include <nlohmann/json.hpp>

#include <string>

#include "PrivateBus.h"
#include "program/ControlBus.h"
#include "program/ControlService.h"
#include "sim/coordinator/CoordinatorSimFixture.h"

namespace tessarapane::program {
namespace {

struct CtlRun {
  int status = -1;
  std::string out;
  std::string err;
};

// The control interface on the private session bus, served by this process
// for a coordinator on the simulated desktop, and driven by the real
// `tessarapane ctl` (which the loop here must keep answering while it runs).
class ControlServiceTest : public CoordinatorSim {
 protected:
  void SetUp() override {
    if (privateBusAddress().isEmpty()) GTEST_SKIP() << "no dbus-daemon";
  }

  CtlRun ctl(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(TESSARAPANE_EXECUTABLE), QStringList{QStringLiteral("ctl")} + args);
    EXPECT_TRUE(process.waitForStarted(10'000));
    QDeadlineTimer deadline(60'000);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      process.waitForFinished(10);
    }
    return CtlRun{process.exitCode(), process.readAllStandardOutput().toStdString(),
               process.readAllStandardError().toStdString()};
  }

  ControlService service{ControlRequests([this] { return coordinator; })};
};

TEST_F(ControlServiceTest, CtlDrivesTheRunningInstanceAndReportsWhenNoneRuns) {
  CtlRun run = ctl({QStringLiteral("state")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("not running"), std::string::npos) << run.err;

  const ProcessID editor = launch("Editor");
  const WindowID window = open(editor, "one");
  settle();
  QString error;
  ASSERT_TRUE(service.registerOnSessionBus(&error)) << error.toStdString();

  run = ctl({QStringLiteral("start"), QStringLiteral("split2")});
  EXPECT_EQ(run.status, 0) << run.err;
  ASSERT_NE(coordinator->session, nullptr) << "carried out before ctl returned";
  EXPECT_EQ(coordinator->session->kind, LayoutKind::split2);

  run = ctl({QStringLiteral("state")});
  EXPECT_EQ(run.status, 0) << run.err;
  const nlohmann::json state = nlohmann::json::parse(run.out);
  EXPECT_EQ(state["layout"], "split2");
  EXPECT_EQ(state["panes"][0]["selected"], window);

  run = ctl({QStringLiteral("start"), QStringLiteral("split9")});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("usage:"), std::string::npos) << run.err;

  run = ctl({QStringLiteral("exit")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(coordinator->session, nullptr);

  service.unregister();
  EXPECT_EQ(ctl({QStringLiteral("grid")}).status, 1);
}

TEST_F(ControlServiceTest, TheServiceRefusesBadArgumentsAsDBusErrors) {
  QString error;
  ASSERT_TRUE(service.registerOnSessionBus(&error)) << error.toStdString();
  ControlService second{ControlRequests([this] { return coordinator; })};
  EXPECT_FALSE(second.registerOnSessionBus(&error)) << "one instance answers";

  // A caller that skips the client's own checks.
  QDBusConnection caller = QDBusConnection::connectToBus(QString::fromUtf8(privateBusAddress()),
                                                         QStringLiteral("caller"));
  const auto call = [&caller](const char* method, const QString& argument) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        QString::fromLatin1(kControlServiceName), QString::fromLatin1(kControlObjectPath),
        QString::fromLatin1(kControlInterface), QString::fromLatin1(method));
    message << argument;
    QDBusPendingCall pending = caller.asyncCall(message);
    QDeadlineTimer deadline(10'000);
    while (!pending.isFinished() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return pending.reply();
  };
  QDBusMessage reply = call("Start", QStringLiteral("grid"));
  EXPECT_EQ(reply.errorName(), QString::fromLatin1(kInvalidArgumentError));
  EXPECT_TRUE(reply.errorMessage().contains(QStringLiteral("grid")));
  reply = call("Move", QStringLiteral("Left"));
  EXPECT_EQ(reply.errorName(), QString::fromLatin1(kInvalidArgumentError));
  EXPECT_EQ(coordinator->session, nullptr);
  QDBusConnection::disconnectFromBus(QStringLiteral("caller"));
  service.unregister();
}

}  // namespace
}  // namespace tessarapane::program
