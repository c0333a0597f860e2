#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "backends/sim/SimScheduler.h"

namespace tessarapane {
namespace {

constexpr double kStart = SimScheduler::kDefaultStart;
constexpr double kTolerance = 1e-9;

TEST(SimScheduler, ClocksStartFixedAndMoveOnlyWithVirtualTime) {
  SimScheduler scheduler;
  EXPECT_EQ(scheduler.now(), kStart);
  EXPECT_EQ(scheduler.wallClock(), SimScheduler::kDefaultWallEpoch);
  EXPECT_TRUE(scheduler.advance(2.5));
  EXPECT_EQ(scheduler.now(), kStart + 2.5);
  EXPECT_EQ(scheduler.wallClock(), SimScheduler::kDefaultWallEpoch + 2.5);
  EXPECT_TRUE(scheduler.advance(-1.0));  // never backwards
  EXPECT_EQ(scheduler.now(), kStart + 2.5);
}

TEST(SimScheduler, RunsByDueTimeThenSchedulingOrderAndNeverInline) {
  SimScheduler scheduler;
  std::vector<std::string> log;
  std::vector<Subscription> keep;
  keep.push_back(scheduler.scheduleOnce(0.3, [&] { log.push_back("c@" + std::to_string(scheduler.now() - kStart)); }));
  keep.push_back(scheduler.scheduleOnce(0.1, [&] { log.push_back("a"); }));
  keep.push_back(scheduler.scheduleOnce(0.1, [&] { log.push_back("b"); }));
  keep.push_back(scheduler.scheduleOnce(0.0, [&] { log.push_back("zero"); }));
  keep.push_back(scheduler.scheduleOnce(-4.0, [&] { log.push_back("negative"); }));
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(scheduler.pendingCount(), 5u);
  ASSERT_EQ(scheduler.nextDueTime(), kStart);

  EXPECT_TRUE(scheduler.runPending());
  EXPECT_EQ(log, (std::vector<std::string>{"zero", "negative"}));
  EXPECT_EQ(scheduler.now(), kStart);

  EXPECT_TRUE(scheduler.advance(0.2));
  EXPECT_EQ(log, (std::vector<std::string>{"zero", "negative", "a", "b"}));
  EXPECT_TRUE(scheduler.advance(0.1));  // due exactly at the end of the span: runs
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[4].substr(0, 6), "c@0.30");
  EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST(SimScheduler, WorkScheduledDuringAdvanceRunsWhenDueBeforeTheEnd) {
  SimScheduler scheduler;
  std::vector<double> times;
  std::vector<Subscription> keep;
  keep.push_back(scheduler.scheduleOnce(0.1, [&] {
    times.push_back(scheduler.now());
    keep.push_back(scheduler.scheduleOnce(0.0, [&] { times.push_back(scheduler.now()); }));
    keep.push_back(scheduler.scheduleOnce(0.2, [&] { times.push_back(scheduler.now()); }));
    keep.push_back(scheduler.scheduleOnce(0.5, [&] { times.push_back(scheduler.now()); }));
  }));
  EXPECT_TRUE(scheduler.advance(0.4));
  ASSERT_EQ(times.size(), 3u);
  EXPECT_NEAR(times[0], kStart + 0.1, kTolerance);
  EXPECT_NEAR(times[1], kStart + 0.1, kTolerance);
  EXPECT_NEAR(times[2], kStart + 0.3, kTolerance);
  EXPECT_NEAR(scheduler.now(), kStart + 0.4, kTolerance);
  EXPECT_EQ(scheduler.pendingCount(), 1u);
  EXPECT_TRUE(scheduler.advance(0.2));
  ASSERT_EQ(times.size(), 4u);
  EXPECT_NEAR(times[3], kStart + 0.6, kTolerance);
}

TEST(SimScheduler, RepeatingTimersKeepTheirPhaseAndCanStopThemselves) {
  SimScheduler scheduler;
  std::vector<double> ticks;
  Subscription timer;
  timer = scheduler.scheduleRepeating(0.5, [&] {
    ticks.push_back(scheduler.now() - kStart);
    if (ticks.size() == 4) timer.cancel();
  });
  EXPECT_TRUE(timer.isActive());
  EXPECT_TRUE(scheduler.advance(0.7));
  EXPECT_TRUE(scheduler.advance(0.7));  // the phase does not follow the advances
  ASSERT_EQ(ticks.size(), 2u);
  EXPECT_NEAR(ticks[1], 1.0, kTolerance);
  EXPECT_TRUE(scheduler.advance(10.0));
  ASSERT_EQ(ticks.size(), 4u);
  EXPECT_NEAR(ticks[2], 1.5, kTolerance);
  EXPECT_NEAR(ticks[3], 2.0, kTolerance);
  EXPECT_EQ(scheduler.pendingCount(), 0u);

  EXPECT_FALSE(scheduler.scheduleRepeating(0.0, [] {}).isActive());
  EXPECT_FALSE(scheduler.scheduleRepeating(-1.0, [] {}).isActive());
}

TEST(SimScheduler, CancellingDropsTheActionEvenFromInsideAnotherAction) {
  SimScheduler scheduler;
  int ran = 0;
  Subscription later = scheduler.scheduleOnce(0.2, [&] { ++ran; });
  Subscription first = scheduler.scheduleOnce(0.1, [&] { later.cancel(); });
  Subscription dropped = scheduler.scheduleOnce(0.1, [&] { ++ran; });
  dropped = Subscription();  // a handle going out of scope cancels
  EXPECT_EQ(scheduler.pendingCount(), 2u);
  EXPECT_TRUE(scheduler.runUntilIdle());
  EXPECT_EQ(ran, 0);
  later.cancel();  // after it was dropped: harmless
  first.cancel();  // after it ran: harmless
}

TEST(SimScheduler, HandlesOutliveTheScheduler) {
  auto scheduler = std::make_unique<SimScheduler>();
  auto captured = std::make_shared<int>(0);
  Subscription once = scheduler->scheduleOnce(1.0, [captured] {});
  Subscription repeating = scheduler->scheduleRepeating(1.0, [captured] {});
  EXPECT_EQ(captured.use_count(), 3);
  scheduler.reset();
  EXPECT_EQ(captured.use_count(), 1);  // pending actions were released with it
  once.cancel();
  repeating.cancel();
}

TEST(SimScheduler, PostedActionsFromOtherThreadsRunOnTheNextTurnInOrder) {
  SimScheduler scheduler;
  std::vector<int> order;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&scheduler, &order, t] {
      for (int i = 0; i < 100; ++i) scheduler.postToMainThread([&order, t, i] { order.push_back(t * 1000 + i); });
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_TRUE(order.empty());
  EXPECT_EQ(scheduler.pendingCount(), 400u);
  EXPECT_EQ(scheduler.nextDueTime(), kStart);
  EXPECT_TRUE(scheduler.runPending());
  ASSERT_EQ(order.size(), 400u);
  std::vector<int> next(4, 0);
  for (int value : order) {  // each thread's posts keep their order
    EXPECT_EQ(value % 1000, next[value / 1000]);
    ++next[value / 1000];
  }
}

TEST(SimScheduler, RunUntilIdleIgnoresLoneRepeatingTimersAndGuardsRunaways) {
  SimScheduler scheduler;
  int ticks = 0;
  Subscription sweep = scheduler.scheduleRepeating(15.0, [&] { ++ticks; });
  bool late = false;
  Subscription once = scheduler.scheduleOnce(40.0, [&] { late = true; });
  EXPECT_TRUE(scheduler.runUntilIdle());
  EXPECT_TRUE(late);
  EXPECT_EQ(ticks, 2);  // at 15 and 30, before the one-shot at 40
  EXPECT_EQ(scheduler.now(), kStart + 40.0);

  // Work that always schedules more work trips the guard instead of hanging.
  std::function<void()> again;
  std::vector<Subscription> chain;
  again = [&] { chain.push_back(scheduler.scheduleOnce(0.0, again)); };
  chain.push_back(scheduler.scheduleOnce(0.0, again));
  EXPECT_FALSE(scheduler.runUntilIdle(50));
  EXPECT_FALSE(scheduler.advance(1.0, 50));
  EXPECT_EQ(scheduler.now(), kStart + 40.0);  // stopped where the work was
  chain.clear();
  EXPECT_TRUE(scheduler.runUntilIdle());
}

TEST(SimScheduler, NestedRunsAreRefusedAndDestroyingFromAnActionIsSafe) {
  auto scheduler = std::make_unique<SimScheduler>();
  std::optional<bool> nested;
  Subscription first = scheduler->scheduleOnce(0.1, [&] { nested = scheduler->advance(1.0); });
  bool secondRan = false;
  Subscription second = scheduler->scheduleOnce(0.2, [&] { secondRan = true; });
  EXPECT_TRUE(scheduler->advance(0.15));
  ASSERT_TRUE(nested.has_value());
  EXPECT_FALSE(*nested);
  EXPECT_FALSE(secondRan);

  Subscription killer = scheduler->scheduleOnce(0.01, [&] { scheduler.reset(); });
  SimScheduler* raw = scheduler.get();
  EXPECT_FALSE(raw->advance(1.0));
  EXPECT_EQ(scheduler, nullptr);
  EXPECT_FALSE(secondRan);
}

}  // namespace
}  // namespace tessarapane
