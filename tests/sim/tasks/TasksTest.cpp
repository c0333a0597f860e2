// The one delayed-task mechanism, told as the schedules that use it: every
// wake-up and every end goes into one log, "<ms> <what>", counted from the
// end of the previous run.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "sim/desktop/SimDesktopTest.h"
#include "tasks/DelayWalk.h"
#include "tasks/DelayedAction.h"
#include "tasks/PollLoop.h"
#include "tasks/TaskTable.h"

namespace tessarapane {


// Stands in for the coordinator: what the tasks hold weakly.
struct Owner { bool layoutRunning = true; };

struct Tasks : ::testing::Test {
  void note(const std::string& what) {
    log.push_back(std::to_string(std::lround((clock->now() - origin) * 1000.0)) + " " + what);
  }
  // A walk whose step `stopAt` stops it; `atStep` runs inside every step.
  DelayedTask walk(const std::string& tag, std::vector<double> delays, DelaysFrom from = DelaysFrom::previousStep,
                   std::size_t stopAt = 99, std::function<void()> atStep = nullptr) {
    return walkDelays(clock, owner, {delays, from, [=, this](Owner&, std::size_t index) {
      note(tag + std::to_string(index));
      if (atStep) atStep();
      return index == stopAt ? WalkStep::stop : WalkStep::next;
    }, wanted, ends(tag)});
  }
  // The `satisfiedAt`-th sample holds, the `giveUpAt`-th gives up.
  DelayedTask poll(const std::string& tag, double interval, double timeout, FirstSample first, int satisfiedAt = 0,
                   int giveUpAt = 0) {
    return pollUntil(clock, owner, {interval, timeout, first, [=, this, count = 0](Owner&) mutable {
      note(tag);
      return ++count == giveUpAt ? PollAnswer::giveUp : count == satisfiedAt ? PollAnswer::satisfied : PollAnswer::notYet;
    }, wanted, ends(tag)});
  }
  std::function<void(TaskEnd)> ends(const std::string& tag) {
    return [this, tag](TaskEnd end) { note(tag + " " + std::string(toString(end))); };
  }
  Lines run() {
    EXPECT_TRUE(clock->runUntilIdle());
    origin = clock->now();
    return std::exchange(log, {});
  }

  std::shared_ptr<SimScheduler> clock = std::make_shared<SimScheduler>();
  std::shared_ptr<Owner> owner = std::make_shared<Owner>();
  std::function<bool(Owner&)> wanted = [](Owner& self) { return self.layoutRunning; };
  double origin = clock->now();
  Lines log;
};

TEST_F(Tasks, WalksWaitEachDelayAndEndOnceByThemselvesOrNeverWhenCancelled) {
  // The enforcement table: each delay after the previous step; even the
  // zero delay yields to the main loop first.
  DelayedTask enforce = walk("e", {0.0, 0.05, 0.12, 0.25});
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(run(), (Lines{"0 e0", "50 e1", "170 e2", "420 e3", "420 e finished"}));
  EXPECT_TRUE(enforce.hasEnded() && !enforce.isPending());
  // Resume passes fall at fixed offsets from the start; a step may stop.
  DelayedTask resume = walk("r", {1.5, 3.0, 6.0}, DelaysFrom::start, 1);
  EXPECT_EQ(run(), (Lines{"1500 r0", "3000 r1", "3000 r stopped"}));

  // Cancelled between steps or from inside a step: nothing more runs, no
  // end is told, no wake-up is left behind.
  DelayedTask outside = walk("o", {0.0, 0.05});
  DelayedTask inside;
  inside = walk("i", {0.0, 0.05}, DelaysFrom::previousStep, 99, [&] { inside.cancel(); });
  clock->advance(0.01);
  outside.cancel();
  outside.cancel();
  EXPECT_TRUE(clock->pendingCount() == 0 && outside.isCancelled() && inside.isCancelled());
  EXPECT_EQ(run(), (Lines{"0 o0", "0 i0"}));

  // The owner gone or the layout ended are noticed at the next wake-up;
  // a handle assigned anew cancels the task it held.
  DelayedTask orphan = walk("g", {0.0, 0.1});
  clock->advance(0.01);
  owner = std::make_shared<Owner>(Owner{false});
  DelayedTask unwanted = walk("u", {0.2});
  DelayedTask replaced = walk("x", {0.1});
  replaced = runAfter(clock, owner, DelayedAction<Owner>{0.3, [this](Owner&) { note("act"); }, nullptr, ends("a")});
  EXPECT_EQ(run(), (Lines{"0 g0", "100 g ownerGone", "210 u notWanted", "310 act", "310 a finished"}));
}

TEST_F(Tasks, PollsSampleUntilSatisfiedGivenUpOrPastTheDeadline) {
  DelayedTask settle = poll("s", 0.05, 8.0, FirstSample::afterInterval, 3);
  DelayedTask spent = poll("z", 0.05, 0.0, FirstSample::afterInterval);
  DelayedTask givesUp = poll("g", 0.1, 1.0, FirstSample::afterInterval, 0, 2);
  EXPECT_EQ(run(), (Lines{"0 z deadlinePassed", "50 s", "100 s", "100 g", "150 s", "150 s satisfied", "200 g",
                        "200 g stopped"}));
  // A confirmation samples on the next turn, then until the deadline: 0.6 s
  // in steps of 0.06 s is ten steps, not eleven.
  DelayedTask confirm = poll("c", 0.06, 0.6, FirstSample::immediately);
  const Lines confirmed = run();
  EXPECT_EQ(Lines(confirmed.begin() + 9, confirmed.end()), (Lines{"540 c", "600 c", "600 c deadlinePassed"}));

  // Without a timeout a poll runs until cancelled; without a usable
  // interval it does not start.
  DelayedTask endless = poll("e", 0.5, std::numeric_limits<double>::infinity(), FirstSample::afterInterval);
  clock->advance(1.2);
  endless.cancel();
  EXPECT_FALSE(poll("b", 0.0, 1.0, FirstSample::immediately).isPending() || poll("n", std::nan(""), 1.0, {}).isPending());
  EXPECT_EQ(run(), (Lines{"500 e", "1000 e"}));
}

// The coordinator keeps one task per window; seen only by what runs.
TEST_F(Tasks, ATableRunsOneTaskPerKeyAndASuccessorStartedFromInsideItsPredecessorRuns) {
  TaskTable<std::uint32_t> table;
  table.start(7, walk("a", {0.0, 0.05}));
  clock->advance(0.01);
  table.start(7, walk("c", {0.0}));  // cancels a
  table.start(9, walk("d", {0.0, 0.05}, DelaysFrom::previousStep, 99, [&] { table.start(9, walk("e", {0.3})); }));
  table.start(5, walkDelays(clock, owner, {{0.0}, DelaysFrom::previousStep, [](Owner&, std::size_t) {
    return WalkStep::next;
  }, nullptr, [&](TaskEnd) { table.start(5, walk("f", {0.5})); }}));
  EXPECT_EQ(run(), (Lines{"0 a0", "10 c0", "10 c finished", "10 d0", "310 e0", "310 e finished", "510 f0",
                        "510 f finished"}));
  // Cancelled by key, all at once, or with the table.
  table.start(1, walk("g", {0.1}));
  table.start(2, walk("h", {0.1}));
  table.cancel(2);
  EXPECT_EQ(run(), (Lines{"100 g0", "100 g finished"}));
  table.start(1, walk("j", {0.1}));
  table.cancelAll();
  TaskTable<std::uint32_t>().start(3, walk("i", {0.1}));
  EXPECT_EQ(run(), Lines{});
  EXPECT_EQ(clock->pendingCount(), 0u);
}

}  // namespace tessarapane
