// How logind's and the screensaver's signals become the pause notifications (the pauses they cause are
// PauseStories' and ControlStory's); termination signals arrive on the event loop.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QtCore/qtestsupport_core.h>

#include <csignal>

#include "program/PauseSignalMapping.h"
#include "program/TerminationSignals.h"
#include "platform/SystemEvents.h"

namespace tessarapane::program {
namespace {

using E = SystemEvent;

TEST(PauseSignals, SignalsBecomeSystemEventsAndSessionPropertiesPassOnlyWhenTheyChange) {
  PauseSignalMapping mapping;
  mapping.setInitialSession(true, false);
  const std::vector<std::pair<std::optional<E>, std::optional<E>>> steps = {
      {mapping.prepareForSleep(true), E::systemWillSleep},    {mapping.prepareForSleep(false), E::systemDidWake},
      {mapping.screenSaverActive(true), E::screensDidSleep},  {mapping.screenSaverActive(false), E::screensDidWake},
      {mapping.sessionActive(true), std::nullopt},            {mapping.sessionLockedHint(false), std::nullopt},
      {mapping.sessionActive(false), E::sessionDidResignActive}, {mapping.sessionActive(false), std::nullopt},
      {mapping.sessionActive(true), E::sessionDidBecomeActive},
      // The hint after a Lock signal is the same lock, and the other way round; Unlock signals always pass.
      {mapping.sessionLock(), E::screenLocked},               {mapping.sessionLockedHint(true), std::nullopt},
      {mapping.sessionLockedHint(false), E::screenUnlocked},  {mapping.sessionUnlock(), E::screenUnlocked},
      {mapping.sessionLockedHint(true), E::screenLocked}};
  for (std::size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(steps[i].first, steps[i].second) << "step " << i;
  EXPECT_EQ(PauseSignalMapping().sessionActive(true), E::sessionDidBecomeActive) << "unknown at start: the first report passes";
  // Session object paths are escaped as logind escapes them.
  EXPECT_EQ(loginSessionObjectPath("c1") + loginSessionObjectPath("12") + loginSessionObjectPath("a-b.c") + loginSessionObjectPath(""),
            "/org/freedesktop/login1/session/c1/org/freedesktop/login1/session/_312/org/freedesktop/login1/session/a_2db_2ec"
            "/org/freedesktop/login1/session/_");
}

// Signals reach the handler on the loop's turn, not inside the signal handler; the default actions return after.
TEST(PauseSignals, TerminationSignalsArriveOnTheEventLoop) {
  std::vector<int> received;
  {
    TerminationSignals signalPipe([&received](int signalNumber) { received.push_back(signalNumber); });
    ASSERT_TRUE(signalPipe.isInstalled());
    ASSERT_EQ(std::raise(SIGTERM) + std::raise(SIGINT), 0);
    EXPECT_TRUE(received.empty()) << "nothing runs inside the signal handler";
    EXPECT_TRUE(QTest::qWaitFor([&] { return received.size() >= 2; }, 10'000));
    EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGINT}));
  }
  struct sigaction current {};
  ASSERT_EQ(sigaction(SIGTERM, nullptr, &current), 0);
  EXPECT_EQ(current.sa_handler, SIG_DFL);
}

}  // namespace
}  // namespace tessarapane::program
