// Pause reasons from the system's sleep, lock and session events, and what
// they log.
#include <gtest/gtest.h>

#include "sim/coordinator_pause/PauseSimFixture.h"

namespace tessarapane {
namespace {

using Reason = LayoutPause::Reason;

struct ReasonEvents {
  SystemEvent begins;
  SystemEvent ends;
  Reason reason;
  const char* name;
};

class PauseReasonSim : public PauseSim, public ::testing::WithParamInterface<ReasonEvents> {};

TEST_P(PauseReasonSim, BeginsStopsMaintenanceOnceAndEndsWithAResume) {
  const ReasonEvents& events = GetParam();
  const std::string name = events.name;
  const IDs ids = openWindows(2);
  coordinator->startLayout(LayoutKind::split2);
  settle();
  ASSERT_TRUE(maintenanceRuns());
  desktop->log()->clear();

  post(events.begins);

  EXPECT_EQ(coordinator->pause.reasons, std::set<Reason>{events.reason});
  EXPECT_EQ(pauseLog(), (std::vector<std::string>{"pause begin " + name + " started=true active=true", "paused"}));
  EXPECT_FALSE(coordinator->reconciliationTimer.isActive());
  EXPECT_FALSE(coordinator->windowObservationService->isRunning());
  // The layout's record survives the pause.
  EXPECT_EQ(paneIDs(), (PaneIDs{{ids[0]}, {ids[1]}}));
  EXPECT_EQ(session()->originalFrames.size(), 2u);

  post(events.ends);

  EXPECT_TRUE(coordinator->pause.reasons.empty());
  EXPECT_EQ(pauseLog().back(), "pause end " + name + " resumed=true");
  EXPECT_TRUE(resumePending());
}

INSTANTIATE_TEST_SUITE_P(
    EachReason, PauseReasonSim,
    ::testing::Values(
        ReasonEvents{SystemEvent::screensDidSleep, SystemEvent::screensDidWake, Reason::screensAsleep, "screensAsleep"},
        ReasonEvents{SystemEvent::systemWillSleep, SystemEvent::systemDidWake, Reason::systemAsleep, "systemAsleep"},
        ReasonEvents{SystemEvent::sessionDidResignActive, SystemEvent::sessionDidBecomeActive,
                     Reason::sessionInactive, "sessionInactive"}),
    [](const ::testing::TestParamInfo<ReasonEvents>& info) { return std::string(info.param.name); });

TEST_F(PauseSim, TheLockPausesAndTheUnlockResumes) {
  openWindows(2);
  coordinator->startBento();
  settle();
  desktop->log()->clear();

  post(SystemEvent::screenLocked);
  EXPECT_EQ(coordinator->pause.reasons, std::set<Reason>{Reason::screenLocked});
  EXPECT_FALSE(maintenanceRuns());
  post(SystemEvent::screenUnlocked);

  EXPECT_EQ(pauseLog(), (std::vector<std::string>{"pause begin screenLocked started=true active=true", "paused",
                                                  "pause end all (unlock) resumed=true"}));
  EXPECT_TRUE(resumePending());
  for (const SimLog::Line& line : desktop->log()->lines()) {
    EXPECT_EQ(line.subsystem, "org.tessarapane.Tessarapane");
    EXPECT_EQ(line.category, "Pause");
  }
}

TEST_F(PauseSim, OverlappingReasonsHoldThePauseUntilTheLastEnds) {
  openWindows(2);
  coordinator->startLayout(LayoutKind::split2);
  settle();
  desktop->log()->clear();

  post(SystemEvent::screensDidSleep);
  post(SystemEvent::screenLocked);
  post(SystemEvent::screensDidWake);
  EXPECT_TRUE(coordinator->isPaused());
  EXPECT_FALSE(resumePending());
  advance(10);
  EXPECT_FALSE(maintenanceRuns());

  post(SystemEvent::screenUnlocked);

  EXPECT_EQ(pauseLog(), (std::vector<std::string>{"pause begin screensAsleep started=true active=true", "paused",
                                                  "pause begin screenLocked started=false active=true",
                                                  "pause end screensAsleep resumed=false",
                                                  "pause end all (unlock) resumed=true"}));
  EXPECT_TRUE(resumePending());
}

TEST_F(PauseSim, TheUnlockClearsEveryReasonAndLateWakesOnlyLog) {
  openWindows(2);
  coordinator->startLayout(LayoutKind::split2);
  settle();
  post(SystemEvent::systemWillSleep);
  post(SystemEvent::screensDidSleep);
  post(SystemEvent::sessionDidResignActive);
  post(SystemEvent::screenLocked);
  ASSERT_EQ(coordinator->pause.reasons.size(), 4u);
  desktop->log()->clear();

  post(SystemEvent::screenUnlocked);
  EXPECT_FALSE(coordinator->isPaused());
  post(SystemEvent::screensDidWake);
  post(SystemEvent::systemDidWake);
  advance(10);

  EXPECT_EQ(logged("pause end all (unlock) resumed=true"), 1u);
  EXPECT_EQ(logged("pause end screensAsleep resumed=false"), 1u);
  EXPECT_EQ(logged("pause end systemAsleep resumed=false"), 1u);
  // One resume, so each pass once.
  EXPECT_EQ(logged("resume round 0 before"), 1u);
  EXPECT_EQ(logged("resume round 2 after"), 1u);
  EXPECT_TRUE(maintenanceRuns());
}

TEST_F(PauseSim, AnUnlockWithNothingHeldSchedulesNothing) {
  openWindows(2);
  coordinator->startBento();
  settle();
  desktop->log()->clear();

  post(SystemEvent::screenUnlocked);
  post(SystemEvent::systemDidWake);
  advance(10);

  EXPECT_EQ(pauseLog(), (std::vector<std::string>{"pause end all (unlock) resumed=false",
                                                  "pause end systemAsleep resumed=false"}));
  EXPECT_FALSE(coordinator->resumeTask);
}

TEST_F(PauseSim, SleepWithoutALayoutIsTrackedAndLoggedOnly) {
  openWindows(2);

  post(SystemEvent::systemWillSleep);
  EXPECT_TRUE(coordinator->isPaused());
  post(SystemEvent::systemDidWake);
  advance(10);

  EXPECT_EQ(pauseLog(), (std::vector<std::string>{"pause begin systemAsleep started=true active=false",
                                                  "pause end systemAsleep resumed=true"}));
  EXPECT_FALSE(coordinator->resumeTask);
  EXPECT_FALSE(coordinator->windowObservationService);
  EXPECT_TRUE(desktop->recorder().calls().empty());
}

TEST_F(PauseSim, ASecondSleepWhileAsleepOnlyLogs) {
  openWindows(2);
  coordinator->startBento();
  settle();
  desktop->log()->clear();

  post(SystemEvent::systemWillSleep);
  post(SystemEvent::systemWillSleep);

  EXPECT_EQ(pauseLog(), (std::vector<std::string>{"pause begin systemAsleep started=true active=true", "paused",
                                                  "pause begin systemAsleep started=false active=true"}));
  post(SystemEvent::systemDidWake);
  EXPECT_EQ(pauseLog().back(), "pause end systemAsleep resumed=true");
}

TEST_F(PauseSim, EventsAfterTheCoordinatorIsGoneDoNothing) {
  openWindows(1);
  coordinator->startBento();
  settle();
  desktop->log()->clear();

  coordinator.reset();
  post(SystemEvent::screenLocked);
  post(SystemEvent::screenUnlocked);
  advance(10);

  EXPECT_TRUE(pauseLog().empty());
}

}  // namespace
}  // namespace tessarapane
