// The three resume passes after a pause: when they run, what each does, and
// what stops them.
#include <gtest/gtest.h>

#include "sim/coordinator_pause/PauseSimFixture.h"

namespace tessarapane {
namespace {

const std::vector<std::string> kRound0 = {"resume round 0 before", "resume round 0 after"};

// Which passes have run so far, by their "before" lines.
std::vector<int> passesRun(const std::vector<std::string>& log) {
  std::vector<int> passes;
  for (int pass = 0; pass < 3; ++pass) {
    if (std::count(log.begin(), log.end(), "resume round " + std::to_string(pass) + " before") != 0) {
      passes.push_back(pass);
    }
  }
  return passes;
}

TEST_F(PauseSim, PassesRunOneAndAHalfThreeAndSixSecondsAfterTheResume) {
  const IDs ids = openWindows(2);
  coordinator->startLayout(LayoutKind::split2);
  settle();
  post(SystemEvent::screensDidSleep);
  // The user drags a window away while the screens sleep; nothing puts it
  // back during the pause.
  desktop->moveWindow(ids[0], Rect(300, 300, 500, 400));
  advance(30);
  ASSERT_EQ(frameOf(ids[0]), Rect(300, 300, 500, 400));
  post(SystemEvent::screensDidWake);
  const double resumed = scheduler->now();
  const auto at = [&](double seconds) { scheduler->advance(resumed + seconds - scheduler->now()); };
  desktop->log()->clear();

  at(1.499);
  EXPECT_TRUE(passesRun(pauseLog()).empty());
  EXPECT_FALSE(maintenanceRuns());
  EXPECT_EQ(frameOf(ids[0]), Rect(300, 300, 500, 400));

  at(1.501);
  EXPECT_EQ(pauseLog(), kRound0);
  // Pass 0 lays the layout out again and restarts maintenance.
  EXPECT_EQ(frameOf(ids[0]), paneWindowFrame(0));
  EXPECT_TRUE(maintenanceRuns());

  // Every pass lays out again and brings the layout to the front: a window
  // moved after pass 0 is back at pass 1, and the windows are raised.
  at(2.5);
  desktop->moveWindow(ids[1], Rect(10, 40, 400, 300));
  desktop->recorder().clear();
  at(2.999);
  EXPECT_EQ(passesRun(pauseLog()), std::vector<int>{0});
  EXPECT_EQ(frameOf(ids[1]), Rect(10, 40, 400, 300));
  EXPECT_TRUE(desktop->recorder().raisedWindows().empty());
  at(3.001);
  EXPECT_EQ(passesRun(pauseLog()), (std::vector<int>{0, 1}));
  EXPECT_EQ(frameOf(ids[1]), paneWindowFrame(1));
  EXPECT_FALSE(desktop->recorder().raisedWindows().empty());

  at(5.999);
  EXPECT_EQ(passesRun(pauseLog()), (std::vector<int>{0, 1}));
  EXPECT_TRUE(resumePending());
  at(6.001);
  EXPECT_EQ(pauseLog(), (std::vector<std::string>{"resume round 0 before", "resume round 0 after",
                                                  "resume round 1 before", "resume round 1 after",
                                                  "resume round 2 before", "resume round 2 after"}));
  EXPECT_FALSE(coordinator->resumeTask);

  at(40);
  EXPECT_EQ(passesRun(pauseLog()), (std::vector<int>{0, 1, 2}));
}

TEST_F(PauseSim, OnlyTheFirstPassRestartsMaintenance) {
  openWindows(2);
  coordinator->startBento();
  settle();
  SimAppSpec desc;
  desc.bundleIdentifier = "org.example.Unobserved";
  desc.localizedName = "Unobserved";
  desc.observerCreationFails = true;
  const ProcessID unobserved = desktop->launchApplication(std::move(desc));
  post(SystemEvent::sessionDidResignActive);
  post(SystemEvent::sessionDidBecomeActive);
  const double resumed = scheduler->now();
  const auto at = [&](double seconds) { scheduler->advance(resumed + seconds - scheduler->now()); };

  at(6.5);
  ASSERT_EQ(passesRun(pauseLog()), (std::vector<int>{0, 1, 2}));
  // Only the 15-second sweep finds a window of an application that cannot
  // be observed; the sweep runs from pass 0, not from a later pass.
  const WindowID late = open(unobserved, "Late", Rect(200, 210, 700, 500));
  at(1.5 + 15 - 0.01);
  EXPECT_EQ(leafIDs().size(), 2u);
  at(1.5 + 15 + 0.5);
  ASSERT_EQ(leafIDs().size(), 3u);
  EXPECT_EQ(leafIDs()[2], late);
}

TEST_F(PauseSim, APauseDuringThePassesCancelsTheRest) {
  openWindows(2);
  coordinator->startLayout(LayoutKind::split2);
  settle();
  post(SystemEvent::screensDidSleep);
  post(SystemEvent::screensDidWake);
  desktop->log()->clear();

  advance(2);
  post(SystemEvent::screenLocked);

  EXPECT_FALSE(coordinator->resumeTask);
  EXPECT_FALSE(maintenanceRuns());
  advance(20);
  EXPECT_EQ(pauseLog(), (std::vector<std::string>{"resume round 0 before", "resume round 0 after",
                                                  "pause begin screenLocked started=true active=true", "paused"}));

  // The next resume starts its own three passes from its own moment.
  post(SystemEvent::screenUnlocked);
  desktop->log()->clear();
  advance(6.001);
  EXPECT_EQ(passesRun(pauseLog()), (std::vector<int>{0, 1, 2}));
}

TEST_F(PauseSim, AResumeWhoseLayoutEndedDoesNothing) {
  const IDs ids = openWindows(2);
  coordinator->startBento();
  settle();
  post(SystemEvent::systemWillSleep);
  post(SystemEvent::systemDidWake);
  advance(0.5);

  coordinator->exitLayout(false);
  const std::size_t calls = desktop->recorder().calls().size();
  desktop->log()->clear();
  advance(10);

  EXPECT_TRUE(pauseLog().empty());
  EXPECT_EQ(desktop->recorder().calls().size(), calls);
  EXPECT_EQ(frameOf(ids[0]), Rect(40, 50, 800, 600));
}

TEST_F(PauseSim, AGridKeepsItsTreeThroughAPauseAndIsLaidOutAgain) {
  const IDs ids = openWindows(2);
  coordinator->startBento();
  settle();
  press({}, Point{358, 400});
  release();
  post(SystemEvent::screenLocked);
  desktop->moveWindow(ids[1], Rect(500, 500, 600, 300));
  // A window opened while locked is not adopted during the pause.
  const WindowID late = open(launch("Late"), "Late", Rect(200, 210, 700, 500));
  advance(30);
  EXPECT_EQ(leafIDs(), ids);
  EXPECT_EQ(ratios(), std::vector<double>{0.25});
  EXPECT_EQ(grid()->originalFrames.size(), 2u);
  EXPECT_EQ(frameOf(ids[1]), Rect(500, 500, 600, 300));

  post(SystemEvent::screenUnlocked);
  advance(1.501);
  // Pass 0 puts the moved window back on its tile and, with maintenance
  // running again, finds the new window, which joins once it has settled.
  EXPECT_EQ(frameOf(ids[1]), Rect(366, 25, 1074, 875));
  advance(1);
  EXPECT_EQ(leafIDs(), (IDs{ids[0], ids[1], late}));
  EXPECT_EQ(ratios(), (std::vector<double>{0.5, 0.5}));
}

}  // namespace
}  // namespace tessarapane
