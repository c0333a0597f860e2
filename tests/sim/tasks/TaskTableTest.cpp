#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "TaskTestSupport.h"
#include "tasks/DelayWalk.h"
#include "tasks/TaskTable.h"

namespace tessarapane {
namespace {

using testing_support::Owner;
using testing_support::TaskTest;

using WindowID = std::uint32_t;

class TaskTableTest : public TaskTest {
 protected:
  // A walk that logs "<tag>@<step>" for each step it runs.
  DelayedTask walk(int tag, std::vector<double> delays, std::function<void()> atStep = nullptr) {
    return walkDelays(clock, owner,
                      {.delays = std::move(delays),
                       .step =
                           [this, tag, atStep](Owner&, std::size_t index) {
                             log.push_back(tag * 10 + static_cast<int>(index));
                             if (atStep) atStep();
                             return WalkStep::next;
                           },
                       .stillWanted = [](Owner& self) { return self.layoutRunning; },
                       .onEnd = [this](TaskEnd end) { ends.push_back(end); }});
  }

  TaskTable<WindowID> table;
  std::vector<int> log;
};

TEST_F(TaskTableTest, StartingForAKeyCancelsAndReplacesTheHeldTask) {
  table.start(7, walk(1, {0.0, 0.05, 0.12}));
  table.start(8, walk(2, {0.0}));
  clock->advance(0.01);
  EXPECT_FALSE(table.contains(8));  // already done
  table.start(7, walk(3, {0.0, 0.05}));
  EXPECT_EQ(table.keys(), std::vector<WindowID>{7});
  EXPECT_TRUE(clock->runUntilIdle());
  EXPECT_EQ(log, (std::vector<int>{10, 20, 30, 31}));  // task 1 never ran again
  EXPECT_TRUE(table.empty());                          // finished tasks left the table
  EXPECT_EQ(ends, (std::vector<TaskEnd>{TaskEnd::finished, TaskEnd::finished}));
}

TEST_F(TaskTableTest, AReplacedTaskNeverRemovesItsSuccessor) {
  // Replaced from inside its own step: the old one ends silently.
  table.start(7, walk(1, {0.0, 0.05}, [this] { table.start(7, walk(2, {0.3})); }));
  clock->advance(0.1);
  EXPECT_TRUE(table.contains(7));
  EXPECT_EQ(log, std::vector<int>{10});
  EXPECT_TRUE(ends.empty());

  // Replaced from its own end callback: the successor stays.
  table.cancelAll();
  log.clear();
  bool chained = false;
  DelayedTask first = walkDelays(clock, owner,
                                 {.delays = {0.0},
                                  .step = [](Owner&, std::size_t) { return WalkStep::next; },
                                  .onEnd =
                                      [&](TaskEnd) {
                                        chained = true;
                                        table.start(7, walk(4, {0.5}));
                                      }});
  table.start(7, std::move(first));
  EXPECT_TRUE(clock->runPending());
  EXPECT_TRUE(chained);
  EXPECT_TRUE(table.contains(7));
  EXPECT_TRUE(clock->runUntilIdle());
  EXPECT_EQ(log, std::vector<int>{40});
  EXPECT_FALSE(table.contains(7));
}

TEST_F(TaskTableTest, TasksThatEndForAnyReasonLeaveTheTable) {
  table.start(1, walk(1, {0.0, 0.1}));
  table.start(2, walk(2, {0.5}));
  clock->advance(0.05);
  owner->layoutRunning = false;
  EXPECT_TRUE(clock->runUntilIdle());
  EXPECT_TRUE(table.empty());  // no stale entry keeps blocking that window
  EXPECT_EQ(ends, (std::vector<TaskEnd>{TaskEnd::notWanted, TaskEnd::notWanted}));
}

TEST_F(TaskTableTest, CancellingByKeyAllOrByDestroyingTheTable) {
  table.start(1, walk(1, {0.1}));
  table.start(2, walk(2, {0.1}));
  table.start(3, walk(3, {0.1}));
  EXPECT_EQ(table.keys(), (std::vector<WindowID>{1, 2, 3}));
  EXPECT_TRUE(table.cancel(2));
  EXPECT_FALSE(table.cancel(2));
  EXPECT_FALSE(table.contains(2));
  clock->advance(0.2);
  EXPECT_EQ(log, (std::vector<int>{10, 30}));

  table.start(1, walk(1, {0.1}));
  table.start(2, walk(2, {0.1}));
  table.cancelAll();
  EXPECT_TRUE(table.empty());
  {
    TaskTable<WindowID> scoped;
    scoped.start(5, walk(5, {0.1}));
  }
  EXPECT_EQ(clock->pendingCount(), 0u);
  EXPECT_TRUE(clock->runUntilIdle());
  EXPECT_EQ(log, (std::vector<int>{10, 30}));

  // A task that is not pending is not held.
  DelayedTask ended = walk(6, {0.0});
  EXPECT_TRUE(clock->runPending());
  table.start(6, std::move(ended));
  table.start(9, DelayedTask());
  EXPECT_TRUE(table.empty());
}

}  // namespace
}  // namespace tessarapane
