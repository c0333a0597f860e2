// The keyed task table of the one delayed-task mechanism: every wake-up and
// every end goes into one log, "<ms> <what>", counted from the end of the
// previous run. (The walks and polls themselves are the stories'.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/desktop/SimDesktopTest.h"
#include "tasks/DelayWalk.h"
#include "tasks/DelayedAction.h"
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
