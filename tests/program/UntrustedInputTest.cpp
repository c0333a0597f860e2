// Text from other programs (window titles, D-Bus arguments) never ends the
// program, and an unreachable bus is told apart from a program not running.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include <nlohmann/json.hpp>

#include <string>

#include "program/ControlRequests.h"
#include "sim/coordinator/CoordinatorSimFixture.h"

namespace tessarapane::program {
namespace {

class UntrustedInputTest : public CoordinatorSim {
 protected:
  ControlRequests requests{[this] { return coordinator; }};
};

TEST_F(UntrustedInputTest, StateWritesTitlesThatAreNotUtf8WithReplacementCharacters) {
  const ProcessID editor = launch("Editor");
  const WindowID window = open(editor, "caf\xC3(\xFF");
  settle();
  ASSERT_TRUE(requests.start("fullScreen").ok());
  const ControlReply reply = requests.state();
  ASSERT_TRUE(reply.ok()) << reply.text;
  const nlohmann::json windows = nlohmann::json::parse(reply.text)["panes"][0]["windows"];
  EXPECT_EQ(windows, nlohmann::json::parse(R"([{"id":)" + std::to_string(window) + R"(,"title":"caf\ufffd(\ufffd"}])"));
}

TEST_F(UntrustedInputTest, ARefusedArgumentIsQuotedOnlyUpToTwoHundredCharacters) {
  const std::string kind = std::string(199, 'x') + "\xC3\xA9\xC3\xA9" + std::string(100000, 'y');
  const ControlReply reply = requests.start(kind);
  EXPECT_EQ(reply.status, ControlReply::Status::invalidArgument);
  EXPECT_EQ(reply.text, "unknown layout kind \"" + std::string(199, 'x') + "\xC3\xA9…\"");
}

TEST_F(UntrustedInputTest, CtlWithoutAReachableSessionBusSaysSoRatherThanNotRunning) {
  QProcess ctl;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent/bus"));
  ctl.setProcessEnvironment(environment);
  ctl.start(QStringLiteral(TESSARAPANE_EXECUTABLE), {QStringLiteral("ctl"), QStringLiteral("state")});
  ASSERT_TRUE(ctl.waitForFinished(60'000));
  EXPECT_EQ(ctl.exitCode(), 1);
  const QString error = QString::fromUtf8(ctl.readAllStandardError());
  EXPECT_TRUE(error.contains(QStringLiteral("cannot be reached on the session bus"))) << error.toStdString();
}

}  // namespace
}  // namespace tessarapane::program
