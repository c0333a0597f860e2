// The one delayed-task mechanism, told as the schedules that use it: every
// wake-up and every end goes into one log, "<ms> <what>", the milliseconds
// counted from the end of the previous run.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "backends/sim/SimScheduler.h"
#include "tasks/DelayWalk.h"
#include "tasks/DelayedAction.h"
#include "tasks/PollLoop.h"
#include "tasks/TaskSteps.h"
#include "tasks/TaskTable.h"

namespace tessarapane {
namespace {

using Log = std::vector<std::string>;

// Stands in for the coordinator: what the tasks hold weakly.
struct Owner {
  bool layoutRunning = true;
};

class Tasks : public ::testing::Test {
 protected:
  void note(const std::string& what) {
    const auto ms = std::lround((clock->now() - origin) * 1000.0);
    log.push_back(std::to_string(ms) + " " + what);
  }
  std::function<void(TaskEnd)> ends(const std::string& tag) {
    return [this, tag](TaskEnd end) { note(tag + " " + std::string(toString(end))); };
  }
  DelayedTask walk(const std::string& tag, std::vector<double> delays, DelaysFrom from = DelaysFrom::previousStep,
                   std::size_t stopAt = 99, std::function<void()> atStep = nullptr) {
    return walkDelays(clock, owner,
                      {.delays = std::move(delays),
                       .from = from,
                       .step =
                           [=, this](Owner&, std::size_t index) {
                             note(tag + std::to_string(index));
                             if (atStep) atStep();
                             return index == stopAt ? WalkStep::stop : WalkStep::next;
                           },
                       .stillWanted = [](Owner& self) { return self.layoutRunning; },
                       .onEnd = ends(tag)});
  }
  // Samples every `interval`; the `satisfiedAt`-th sample holds, the
  // `giveUpAt`-th gives up.
  DelayedTask poll(const std::string& tag, double interval, double timeout, FirstSample first,
                   int satisfiedAt = 0, int giveUpAt = 0) {
    return pollUntil(clock, owner,
                     {.interval = interval,
                      .timeout = timeout,
                      .first = first,
                      .sample =
                          [=, this, count = 0](Owner&) mutable {
                            note(tag);
                            ++count;
                            if (count == giveUpAt) return PollAnswer::giveUp;
                            return count == satisfiedAt ? PollAnswer::satisfied : PollAnswer::notYet;
                          },
                      .stillWanted = [](Owner& self) { return self.layoutRunning; },
                      .onEnd = ends(tag)});
  }
  Log run() {
    EXPECT_TRUE(clock->runUntilIdle());
    origin = clock->now();
    return std::exchange(log, {});
  }

  std::shared_ptr<SimScheduler> clock = std::make_shared<SimScheduler>();
  std::shared_ptr<Owner> owner = std::make_shared<Owner>();
  double origin = clock->now();
  Log log;
};

TEST_F(Tasks, WalksWaitEachDelayAndEndOnceByThemselvesOrNeverWhenCancelled) {
  // The enforcement table: each delay after the previous step; even the
  // zero delay yields to the main loop first.
  DelayedTask enforce = walk("e", {0.0, 0.05, 0.12, 0.25});
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(run(), (Log{"0 e0", "50 e1", "170 e2", "420 e3", "420 e finished"}));
  EXPECT_TRUE(enforce.hasEnded());
  EXPECT_FALSE(enforce.isPending());

  // Resume passes fall at fixed offsets from the start; a step may stop.
  DelayedTask resume = walk("r", {1.5, 3.0, 6.0}, DelaysFrom::start, 1);
  EXPECT_EQ(run(), (Log{"1500 r0", "3000 r1", "3000 r stopped"}));
  DelayedTask empty = walk("x", {});
  EXPECT_EQ(run(), (Log{"0 x finished"}));

  // Cancelled between steps, or from inside a step: nothing more runs, no
  // end is reported, and no wake-up is left behind.
  DelayedTask outside = walk("o", {0.0, 0.05, 0.12});
  DelayedTask inside;
  inside = walk("i", {0.0, 0.05, 0.12}, DelaysFrom::previousStep, 99, [&] { inside.cancel(); });
  clock->advance(0.01);
  outside.cancel();
  outside.cancel();
  EXPECT_EQ(clock->pendingCount(), 0u);
  EXPECT_TRUE(outside.isCancelled() && inside.isCancelled());
  EXPECT_EQ(run(), (Log{"0 o0", "0 i0"}));

  // The owner going away and the layout ending are noticed at the next
  // wake-up, before the step.
  DelayedTask orphan = walk("g", {0.0, 0.1});
  DelayedTask unwanted = walk("u", {0.0, 0.2});
  clock->advance(0.01);
  auto kept = std::exchange(owner, std::make_shared<Owner>());
  kept->layoutRunning = false;
  DelayedTask unwantedAfterWait = walkDelays(clock, kept, {.delays = {0.3}, .step = [](Owner&, std::size_t) {
    return WalkStep::next;
  }, .stillWanted = [](Owner& self) { return self.layoutRunning; }, .onEnd = ends("w")});
  kept.reset();
  EXPECT_EQ(run(), (Log{"0 g0", "0 u0", "100 g ownerGone", "200 u ownerGone", "310 w ownerGone"}));

  owner->layoutRunning = false;
  DelayedTask stale = walk("s", {0.2});
  EXPECT_EQ(run(), (Log{"200 s notWanted"}));
  EXPECT_FALSE(walkDelays(clock, owner, Walk<Owner>{.delays = {0.1}}).isPending());
}

TEST_F(Tasks, PollsSampleUntilSatisfiedGivenUpOrPastTheDeadline) {
  DelayedTask settle = poll("s", 0.05, 8.0, FirstSample::afterInterval, 3);
  EXPECT_EQ(run(), (Log{"50 s", "100 s", "150 s", "150 s satisfied"}));

  // A confirmation samples on the next turn, then until the deadline
  // (0.6 s in steps of 0.06 s is ten steps, not eleven).
  DelayedTask confirm = poll("c", 0.06, 0.6, FirstSample::immediately);
  const Log confirmed = run();
  ASSERT_EQ(confirmed.size(), 12u);
  EXPECT_EQ(confirmed.front(), "0 c");
  EXPECT_EQ(confirmed[10], "600 c");
  EXPECT_EQ(confirmed.back(), "600 c deadlinePassed");

  DelayedTask spent = poll("z", 0.05, 0.0, FirstSample::afterInterval);
  DelayedTask givesUp = poll("g", 0.1, 1.0, FirstSample::afterInterval, 0, 2);
  EXPECT_EQ(run(), (Log{"0 z deadlinePassed", "100 g", "200 g", "200 g stopped"}));

  // Without a timeout a poll runs until cancelled.
  DelayedTask endless = poll("e", 0.5, std::numeric_limits<double>::infinity(), FirstSample::afterInterval);
  clock->advance(1.2);
  endless.cancel();
  EXPECT_EQ(run(), (Log{"500 e", "1000 e"}));
  for (double bad : {0.0, -0.1, std::nan(""), std::numeric_limits<double>::infinity()}) {
    EXPECT_FALSE(poll("b", bad, 1.0, FirstSample::immediately).isPending()) << bad;
  }
}

TEST_F(Tasks, DelayedActionsAndHandWrittenStepsShareTheChecks) {
  auto action = [this] {
    return runAfter(clock, owner, {.delay = 0.12, .action = [this](Owner&) { note("act"); },
                                   .stillWanted = [](Owner& self) { return self.layoutRunning; },
                                   .onEnd = ends("a")});
  };
  DelayedTask once = action();
  EXPECT_EQ(run(), (Log{"120 act", "120 a finished"}));

  // A retry walk that turns into a confirmation poll under one handle, the
  // shape of closing a window.
  int attempts = 0;
  double deadline = 0.0;
  DelayedTask close = runSteps(clock, owner, Steps<Owner>{.firstDelay = 0.0, .step = [&](Owner&) {
    if (++attempts < 3) {
      note("attempt");
      if (attempts < 2) return NextWait::after(0.1);
      deadline = clock->now() + 0.12;
    }
    note("check");
    if (clock->now() >= deadline - kTaskTimeTolerance) return NextWait::end(TaskEnd::deadlinePassed);
    return NextWait::after(0.06);
  }, .onEnd = ends("c")});
  EXPECT_EQ(run(), (Log{"0 attempt", "100 attempt", "100 check", "160 check", "220 check", "220 c deadlinePassed"}));

  owner->layoutRunning = false;
  DelayedTask unwanted = action();
  EXPECT_EQ(run(), (Log{"120 a notWanted"}));
  DelayedTask replaced = action();
  replaced = action();  // assigning cancels the task held before
  EXPECT_EQ(run(), (Log{"120 a notWanted"}));
}

TEST_F(Tasks, ATableHoldsOneTaskPerKeyAndForgetsOnlyItsCurrentTask) {
  TaskTable<std::uint32_t> table;
  table.start(7, walk("a", {0.0, 0.05, 0.12}));
  table.start(8, walk("b", {0.0}));
  clock->advance(0.01);
  EXPECT_EQ(table.keys(), std::vector<std::uint32_t>{7});  // 8 finished and left
  table.start(7, walk("c", {0.0, 0.05}));                 // cancels a
  EXPECT_EQ(run(), (Log{"0 a0", "0 b0", "0 b finished", "10 c0", "60 c1", "60 c finished"}));
  EXPECT_TRUE(table.empty());

  // Replaced from inside its own step, or from its own end: the successor
  // stays in the table until it ends itself.
  table.start(7, walk("d", {0.0, 0.05}, DelaysFrom::previousStep, 99, [&] { table.start(7, walk("e", {0.3})); }));
  clock->advance(0.1);
  EXPECT_TRUE(table.contains(7));
  DelayedTask chained = walkDelays(clock, owner, {.delays = {0.0}, .step = [](Owner&, std::size_t) {
    return WalkStep::next;
  }, .onEnd = [&](TaskEnd) { table.start(9, walk("f", {0.5})); }});
  table.start(9, std::move(chained));
  clock->advance(0.01);
  EXPECT_EQ(table.keys(), (std::vector<std::uint32_t>{7, 9}));
  EXPECT_EQ(run(), (Log{"0 d0", "300 e0", "300 e finished", "600 f0", "600 f finished"}));
  EXPECT_TRUE(table.empty());

  // Cancelling by key, all at once, or by destroying the table; a task
  // that is not pending is not held.
  table.start(1, walk("g", {0.1}));
  table.start(2, walk("h", {0.1}));
  EXPECT_TRUE(table.cancel(2));
  EXPECT_FALSE(table.cancel(2));
  table.start(3, DelayedTask());
  EXPECT_EQ(table.keys(), std::vector<std::uint32_t>{1});
  table.cancelAll();
  {
    TaskTable<std::uint32_t> scoped;
    scoped.start(5, walk("i", {0.1}));
  }
  EXPECT_EQ(clock->pendingCount(), 0u);
  EXPECT_EQ(run(), Log{});
}

}  // namespace
}  // namespace tessarapane
