#include <gtest/gtest.h>

#include <vector>

#include "TaskTestSupport.h"
#include "tasks/DelayWalk.h"

namespace tessarapane {
namespace {

using testing_support::Owner;
using testing_support::TaskTest;

const std::vector<double> kEnforcementDelays{0.0, 0.05, 0.12, 0.25, 0.45, 0.75, 1.2};

class DelayWalkTest : public TaskTest {
 protected:
  // A walk over the enforcement table that records each step's time and
  // asks for the next delay until `stopAt` (if given).
  DelayedTask startWalk(std::size_t stopAt = 99) {
    return walkDelays(clock, owner,
                      {.delays = kEnforcementDelays,
                       .step =
                           [this, stopAt](Owner& self, std::size_t index) {
                             self.stepTimes.push_back(elapsed());
                             return index == stopAt ? WalkStep::stop : WalkStep::next;
                           },
                       .stillWanted = [](Owner& self) { return self.layoutRunning; },
                       .onEnd = [this](TaskEnd end) { ends.push_back(end); }});
  }
};

TEST_F(DelayWalkTest, EachDelayIsWaitedAfterThePreviousStep) {
  DelayedTask task = startWalk();
  EXPECT_TRUE(owner->stepTimes.empty());  // even the zero delay is not run inline
  EXPECT_TRUE(task.isPending());
  EXPECT_TRUE(clock->runUntilIdle());
  expectTimes(owner->stepTimes, {0.0, 0.05, 0.17, 0.42, 0.87, 1.62, 2.82});
  EXPECT_EQ(ends, std::vector<TaskEnd>{TaskEnd::finished});
  EXPECT_TRUE(task.hasEnded());
  EXPECT_FALSE(task.isPending());
  EXPECT_EQ(clock->pendingCount(), 0u);
}

TEST_F(DelayWalkTest, AStepThatStopsEndsTheWalk) {
  DelayedTask task = startWalk(2);
  EXPECT_TRUE(clock->runUntilIdle());
  expectTimes(owner->stepTimes, {0.0, 0.05, 0.17});
  EXPECT_EQ(ends, std::vector<TaskEnd>{TaskEnd::stopped});
}

TEST_F(DelayWalkTest, CancellingBetweenStepsRunsNothingMore) {
  DelayedTask task = startWalk();
  clock->advance(0.1);
  ASSERT_EQ(owner->stepTimes.size(), 2u);
  task.cancel();
  task.cancel();  // idempotent
  EXPECT_TRUE(task.isCancelled());
  EXPECT_EQ(clock->pendingCount(), 0u);  // its wake-up is gone too
  clock->advance(5.0);
  EXPECT_EQ(owner->stepTimes.size(), 2u);
  EXPECT_TRUE(ends.empty());
}

TEST_F(DelayWalkTest, CancellingFromInsideAStepEndsSilently) {
  DelayedTask task;
  task = walkDelays(clock, owner,
                    {.delays = kEnforcementDelays,
                     .step =
                         [&](Owner& self, std::size_t) {
                           self.stepTimes.push_back(elapsed());
                           if (self.stepTimes.size() == 3) task.cancel();
                           return WalkStep::next;
                         },
                     .onEnd = [this](TaskEnd end) { ends.push_back(end); }});
  clock->advance(0.2);
  EXPECT_EQ(owner->stepTimes.size(), 3u);
  EXPECT_EQ(clock->pendingCount(), 0u);  // no wake-up was armed after the cancel
  EXPECT_TRUE(task.isCancelled());
  EXPECT_TRUE(ends.empty());

  // Destroying the handle from inside the step (a table dropping its entry).
  auto holder = std::make_unique<DelayedTask>();
  *holder = walkDelays(clock, owner, {.delays = {0.0, 0.1, 0.2}, .step = [&](Owner& self, std::size_t) {
                                        self.stepTimes.push_back(elapsed());
                                        holder.reset();
                                        return WalkStep::next;
                                      }});
  EXPECT_TRUE(clock->runUntilIdle());
  EXPECT_EQ(owner->stepTimes.size(), 4u);
}

TEST_F(DelayWalkTest, TheOwnerGoingAwayOrTheLayoutEndingStopsAtTheNextWakeUp) {
  DelayedTask task = startWalk();
  clock->advance(0.1);
  std::weak_ptr<Owner> watch = owner;
  owner.reset();
  EXPECT_TRUE(watch.expired());  // the waiting task did not keep it alive
  EXPECT_TRUE(clock->runUntilIdle());
  EXPECT_EQ(ends, std::vector<TaskEnd>{TaskEnd::ownerGone});
  EXPECT_NEAR(elapsed(), 0.17, 1e-9);  // noticed at the very next wake-up

  owner = std::make_shared<Owner>();
  ends.clear();
  const double begin = elapsed();
  DelayedTask second = startWalk();
  clock->advance(0.1);
  owner->layoutRunning = false;
  EXPECT_TRUE(clock->runUntilIdle());
  EXPECT_EQ(owner->stepTimes.size(), 2u);
  EXPECT_EQ(ends, std::vector<TaskEnd>{TaskEnd::notWanted});
  EXPECT_NEAR(elapsed() - begin, 0.17, 1e-9);
}

TEST_F(DelayWalkTest, DelaysMeasuredFromTheStartFallAtFixedOffsets) {
  std::vector<std::size_t> passes;
  DelayedTask task = walkDelays(
      clock, owner, {.delays = {1.5, 3.0, 6.0}, .from = DelaysFrom::start, .step = [&](Owner& self, std::size_t index) {
                       self.stepTimes.push_back(elapsed());
                       passes.push_back(index);
                       return WalkStep::next;
                     }});
  EXPECT_TRUE(clock->runUntilIdle());
  expectTimes(owner->stepTimes, {1.5, 3.0, 6.0});
  EXPECT_EQ(passes, (std::vector<std::size_t>{0, 1, 2}));
}

TEST_F(DelayWalkTest, AnEmptyTableEndsOnTheNextTurnWithoutAStep) {
  DelayedTask empty = walkDelays(clock, std::weak_ptr<Owner>(owner),
                                 {.step = [](Owner&, std::size_t) -> WalkStep {
                                    ADD_FAILURE();
                                    return WalkStep::next;
                                  },
                                  .onEnd = [this](TaskEnd end) { ends.push_back(end); }});
  EXPECT_TRUE(ends.empty());
  EXPECT_TRUE(clock->runPending());
  EXPECT_EQ(ends, std::vector<TaskEnd>{TaskEnd::finished});
  EXPECT_FALSE(walkDelays(clock, owner, {.delays = kEnforcementDelays}).isPending());  // no step: nothing starts
}

}  // namespace
}  // namespace tessarapane
