#include <gtest/gtest.h>

#include <vector>

#include "TaskTestSupport.h"
#include "tasks/DelayedAction.h"
#include "tasks/PollLoop.h"
#include "tasks/TaskSteps.h"

namespace tessarapane {
namespace {

using testing_support::Owner;
using testing_support::TaskTest;

class PollLoopTest : public TaskTest {
 protected:
  // Samples, recording their times; the `satisfiedAt`-th sample (1-based)
  // is satisfied.
  DelayedTask startPoll(double interval, double timeout, FirstSample first, std::size_t satisfiedAt = 0) {
    return pollUntil(clock, owner,
                     {.interval = interval,
                      .timeout = timeout,
                      .first = first,
                      .sample =
                          [this, satisfiedAt](Owner& self) {
                            self.stepTimes.push_back(elapsed());
                            return self.stepTimes.size() == satisfiedAt ? PollAnswer::satisfied : PollAnswer::notYet;
                          },
                      .stillWanted = [](Owner& self) { return self.layoutRunning; },
                      .onEnd = [this](TaskEnd end) { ends.push_back(end); }});
  }
};

TEST_F(PollLoopTest, SettlingSamplesWaitFirstAndEndOnTheSatisfiedSample) {
  DelayedTask task = startPoll(0.05, 8.0, FirstSample::afterInterval, 3);
  EXPECT_TRUE(clock->runUntilIdle());
  expectTimes(owner->stepTimes, {0.05, 0.10, 0.15});
  EXPECT_EQ(ends, std::vector<TaskEnd>{TaskEnd::satisfied});
}

TEST_F(PollLoopTest, SettlingSamplesStopAtTheDeadline) {
  DelayedTask task = startPoll(0.05, 8.0, FirstSample::afterInterval);
  EXPECT_TRUE(clock->runUntilIdle());
  ASSERT_EQ(owner->stepTimes.size(), 160u);  // 0.05 … 8.00, none after the deadline
  EXPECT_NEAR(owner->stepTimes.front(), 0.05, 1e-9);
  EXPECT_NEAR(owner->stepTimes.back(), 8.0, 1e-9);
  EXPECT_EQ(ends, std::vector<TaskEnd>{TaskEnd::deadlinePassed});

  // A timeout spent at the start takes no sample at all.
  ends.clear();
  DelayedTask spent = startPoll(0.05, 0.0, FirstSample::afterInterval);
  EXPECT_TRUE(clock->runUntilIdle());
  EXPECT_EQ(owner->stepTimes.size(), 160u);
  EXPECT_EQ(ends, std::vector<TaskEnd>{TaskEnd::deadlinePassed});
}

TEST_F(PollLoopTest, AConfirmationSamplesAtOnceThenUntilTheDeadline) {
  DelayedTask task = startPoll(0.06, 0.6, FirstSample::immediately);
  EXPECT_TRUE(owner->stepTimes.empty());
  EXPECT_TRUE(clock->runUntilIdle());
  expectTimes(owner->stepTimes, {0.0, 0.06, 0.12, 0.18, 0.24, 0.30, 0.36, 0.42, 0.48, 0.54, 0.60});
  EXPECT_EQ(ends, std::vector<TaskEnd>{TaskEnd::deadlinePassed});

  owner->stepTimes.clear();
  ends.clear();
  const double begin = elapsed();
  DelayedTask quick = startPoll(0.06, 0.6, FirstSample::immediately, 2);
  EXPECT_TRUE(clock->runUntilIdle());
  ASSERT_EQ(owner->stepTimes.size(), 2u);
  EXPECT_NEAR(owner->stepTimes.back() - begin, 0.06, 1e-9);
  EXPECT_EQ(ends, std::vector<TaskEnd>{TaskEnd::satisfied});
}

TEST_F(PollLoopTest, GivingUpEndingTheLayoutAndLosingTheOwnerEachEndThePoll) {
  int samples = 0;
  DelayedTask givesUp =
      pollUntil(clock, owner,
                {.interval = 0.05,
                 .timeout = 8.0,
                 .sample = [&](Owner&) { return ++samples == 2 ? PollAnswer::giveUp : PollAnswer::notYet; },
                 .onEnd = [this](TaskEnd end) { ends.push_back(end); }});
  EXPECT_TRUE(clock->runUntilIdle());
  EXPECT_EQ(samples, 2);
  EXPECT_EQ(ends, std::vector<TaskEnd>{TaskEnd::stopped});

  DelayedTask notWanted = startPoll(0.05, 8.0, FirstSample::afterInterval);
  clock->advance(0.12);
  owner->layoutRunning = false;
  EXPECT_TRUE(clock->runUntilIdle());
  EXPECT_EQ(owner->stepTimes.size(), 2u);

  owner->layoutRunning = true;
  DelayedTask orphan = startPoll(0.05, 8.0, FirstSample::afterInterval);
  clock->advance(0.07);
  owner.reset();
  EXPECT_TRUE(clock->runUntilIdle());
  EXPECT_EQ(ends, (std::vector<TaskEnd>{TaskEnd::stopped, TaskEnd::notWanted, TaskEnd::ownerGone}));
}

TEST_F(PollLoopTest, AnEndlessPollRunsUntilCancelledAndBadIntervalsStartNothing) {
  DelayedTask task = startPoll(0.5, std::numeric_limits<double>::infinity(), FirstSample::afterInterval);
  clock->advance(2.6);
  expectTimes(owner->stepTimes, {0.5, 1.0, 1.5, 2.0, 2.5});
  task.cancel();
  EXPECT_TRUE(clock->runUntilIdle());
  EXPECT_EQ(owner->stepTimes.size(), 5u);
  EXPECT_TRUE(ends.empty());

  EXPECT_FALSE(startPoll(0.0, 1.0, FirstSample::afterInterval).isPending());
  EXPECT_FALSE(startPoll(-0.1, 1.0, FirstSample::immediately).isPending());
  EXPECT_FALSE(startPoll(std::nan(""), 1.0, FirstSample::immediately).isPending());
}

TEST_F(PollLoopTest, ADelayedActionRunsOnceAfterItsChecks) {
  int runs = 0;
  auto start = [&] {
    return runAfter(clock, owner,
                    {.delay = 0.12,
                     .action =
                         [&](Owner& self) {
                           ++runs;
                           self.stepTimes.push_back(elapsed());
                         },
                     .stillWanted = [](Owner& self) { return self.layoutRunning; },
                     .onEnd = [this](TaskEnd end) { ends.push_back(end); }});
  };
  DelayedTask once = start();
  EXPECT_TRUE(clock->runUntilIdle());
  expectTimes(owner->stepTimes, {0.12});

  DelayedTask unwanted = start();
  owner->layoutRunning = false;
  EXPECT_TRUE(clock->runUntilIdle());
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(ends, (std::vector<TaskEnd>{TaskEnd::finished, TaskEnd::notWanted}));
}

// A retry walk that turns into a confirmation poll under one handle, the
// shape of closing a window: attempts after 0 and 0.1 s, the second one
// accepted, then checks every 0.06 s for up to 0.18 s.
TEST_F(PollLoopTest, HandWrittenStepsChainAWalkIntoAPoll) {
  struct Machine {
    bool confirming = false;
    double deadline = 0.0;
  };
  Machine machine;
  std::vector<double> attempts;
  std::vector<double> checks;
  DelayedTask close = runSteps(clock, owner,
                               {.firstDelay = 0.0,
                                .step =
                                    [&](Owner&) {
                                      if (!machine.confirming) {
                                        attempts.push_back(elapsed());
                                        if (attempts.size() < 2) return NextWait::after(0.1);
                                        machine.confirming = true;
                                        machine.deadline = clock->now() + 0.18;
                                      }
                                      checks.push_back(elapsed());
                                      if (clock->now() >= machine.deadline - kTaskTimeTolerance)
                                        return NextWait::end(TaskEnd::deadlinePassed);
                                      return NextWait::after(0.06);
                                    },
                                .onEnd = [this](TaskEnd end) { ends.push_back(end); }});
  EXPECT_TRUE(clock->runUntilIdle());
  expectTimes(attempts, {0.0, 0.1});
  expectTimes(checks, {0.1, 0.16, 0.22, 0.28});
  EXPECT_EQ(ends, std::vector<TaskEnd>{TaskEnd::deadlinePassed});
}

}  // namespace
}  // namespace tessarapane
