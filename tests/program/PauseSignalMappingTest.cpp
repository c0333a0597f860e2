#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "program/PauseSignalMapping.h"
#include "sim/coordinator/CoordinatorSimFixture.h"

namespace tessarapane::program {
namespace {

using Reason = LayoutPause::Reason;

TEST(PauseSignalMapping, EachSignalBecomesItsSystemEvent) {
  PauseSignalMapping mapping;
  EXPECT_EQ(mapping.prepareForSleep(true), SystemEvent::systemWillSleep);
  EXPECT_EQ(mapping.prepareForSleep(false), SystemEvent::systemDidWake);
  EXPECT_EQ(mapping.sessionLock(), SystemEvent::screenLocked);
  EXPECT_EQ(mapping.sessionUnlock(), SystemEvent::screenUnlocked);
  EXPECT_EQ(mapping.sessionActive(false), SystemEvent::sessionDidResignActive);
  EXPECT_EQ(mapping.sessionActive(true), SystemEvent::sessionDidBecomeActive);
  EXPECT_EQ(mapping.screenSaverActive(true), SystemEvent::screensDidSleep);
  EXPECT_EQ(mapping.screenSaverActive(false), SystemEvent::screensDidWake);
}

TEST(PauseSignalMapping, SessionPropertiesPassOnlyWhenTheyChange) {
  PauseSignalMapping mapping;
  mapping.setInitialSession(true, false);
  // Reported again with another property: not a change.
  EXPECT_EQ(mapping.sessionActive(true), std::nullopt);
  EXPECT_EQ(mapping.sessionLockedHint(false), std::nullopt);
  EXPECT_EQ(mapping.sessionActive(false), SystemEvent::sessionDidResignActive);
  EXPECT_EQ(mapping.sessionActive(false), std::nullopt);

  // The hint after a Lock signal is the same lock, and the other way round.
  EXPECT_EQ(mapping.sessionLock(), SystemEvent::screenLocked);
  EXPECT_EQ(mapping.sessionLockedHint(true), std::nullopt);
  EXPECT_EQ(mapping.sessionLockedHint(false), SystemEvent::screenUnlocked);
  EXPECT_EQ(mapping.sessionUnlock(), SystemEvent::screenUnlocked) << "Unlock signals always pass";
  EXPECT_EQ(mapping.sessionLockedHint(true), SystemEvent::screenLocked);

  // Unknown at start: the first report passes.
  PauseSignalMapping unknown;
  EXPECT_EQ(unknown.sessionActive(true), SystemEvent::sessionDidBecomeActive);
  EXPECT_EQ(unknown.sessionLockedHint(false), SystemEvent::screenUnlocked);
}

TEST(PauseSignalMapping, SessionObjectPathsAreEscapedAsLogindDoes) {
  EXPECT_EQ(loginSessionObjectPath("c1"), "/org/freedesktop/login1/session/c1");
  EXPECT_EQ(loginSessionObjectPath("2"), "/org/freedesktop/login1/session/_32");
  EXPECT_EQ(loginSessionObjectPath("12"), "/org/freedesktop/login1/session/_312");
  EXPECT_EQ(loginSessionObjectPath("a-b.c"), "/org/freedesktop/login1/session/a_2db_2ec");
  EXPECT_EQ(loginSessionObjectPath(""), "/org/freedesktop/login1/session/_");
}

// The mapped signals drive the coordinator's pause reasons on the simulated
// desktop as the system's own notifications would.
class MappedPauseTest : public CoordinatorSim {
 protected:
  void post(std::optional<SystemEvent> event) {
    if (event) desktop->postSystemEvent(*event);
    settle();
  }
  std::set<Reason> reasons() const { return coordinator->pause.reasons; }

  PauseSignalMapping mapping;
};

TEST_F(MappedPauseTest, ScreensaverSleepAndLockHoldUntilTheUnlockClearsEverything) {
  mapping.setInitialSession(true, false);
  post(mapping.screenSaverActive(true));
  post(mapping.prepareForSleep(true));
  post(mapping.sessionLock());
  post(mapping.sessionActive(false));
  EXPECT_EQ(reasons(), (std::set<Reason>{Reason::screensAsleep, Reason::screenLocked, Reason::systemAsleep,
                                         Reason::sessionInactive}));
  post(mapping.prepareForSleep(false));
  post(mapping.screenSaverActive(false));
  EXPECT_EQ(reasons(), (std::set<Reason>{Reason::screenLocked, Reason::sessionInactive}));
  // The session coming back reported together with an unchanged hint.
  post(mapping.sessionLockedHint(true));
  EXPECT_EQ(reasons(), (std::set<Reason>{Reason::screenLocked, Reason::sessionInactive}));
  post(mapping.sessionUnlock());
  EXPECT_TRUE(reasons().empty());
  post(mapping.sessionActive(true));
  EXPECT_TRUE(reasons().empty());
}

}  // namespace
}  // namespace tessarapane::program
