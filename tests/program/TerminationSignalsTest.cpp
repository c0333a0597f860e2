#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <csignal>
#include <vector>

#include "program/TerminationSignals.h"

namespace tessarapane::program {
namespace {

// Signals reach the handler on the loop's turn, not inside the signal
// handler, and the default actions return once the watcher goes.
TEST(TerminationSignals, SigtermAndSigintArriveOnTheEventLoop) {
  std::vector<int> received;
  {
    TerminationSignals signalPipe([&received](int signalNumber) { received.push_back(signalNumber); });
    ASSERT_TRUE(signalPipe.isInstalled());
    ASSERT_EQ(std::raise(SIGTERM), 0);
    ASSERT_EQ(std::raise(SIGINT), 0);
    EXPECT_TRUE(received.empty()) << "nothing runs inside the signal handler";
    QDeadlineTimer deadline(10'000);
    while (received.size() < 2 && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGINT}));
  }
  struct sigaction current {};
  ASSERT_EQ(sigaction(SIGTERM, nullptr, &current), 0);
  EXPECT_EQ(current.sa_handler, SIG_DFL);
}

}  // namespace
}  // namespace tessarapane::program
