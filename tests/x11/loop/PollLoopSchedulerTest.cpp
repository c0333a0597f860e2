// The real-time main loop: order of work, cancelling, other threads and
// watched descriptors. Nothing here depends on how long a turn takes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "backends/x11/PollLoopScheduler.h"

namespace tessarapane {
namespace {

TEST(PollLoopSchedulerTest, RunsWorkInOrderOnLaterTurnsAndRepeatsUntilCancelled) {
  PollLoopScheduler loop;
  std::vector<std::string> ran;
  // Later deadlines run later; equal ones in the order they were made.
  Subscription late = loop.scheduleOnce(0.03, [&] { ran.push_back("late"); });
  Subscription first = loop.scheduleOnce(0, [&] { ran.push_back("first"); });
  Subscription second = loop.scheduleOnce(-1, [&] { ran.push_back("second"); });
  Subscription cancelled = loop.scheduleOnce(0, [&] { ran.push_back("cancelled"); });
  cancelled.cancel();
  EXPECT_TRUE(ran.empty()) << "nothing runs inside the scheduling call";

  // Work scheduled without delay from inside a callback waits for a later turn.
  Subscription nested;
  Subscription outer = loop.scheduleOnce(0, [&] {
    ran.push_back("outer");
    nested = loop.scheduleOnce(0, [&] { ran.push_back("nested"); });
  });
  loop.runOnce(0);
  EXPECT_EQ(ran, (std::vector<std::string>{"first", "second", "outer"}));
  ASSERT_TRUE(loop.runUntil([&] { return ran.size() == 5; }, 5.0));
  EXPECT_EQ(ran, (std::vector<std::string>{"first", "second", "outer", "nested", "late"}));

  // A repeat goes on until cancelled, even from its own callback.
  int count = 0;
  Subscription repeating;
  repeating = loop.scheduleRepeating(0.001, [&] {
    if (++count == 3) repeating.cancel();
  });
  ASSERT_TRUE(loop.runUntil([&] { return count == 3; }, 5.0));
  // One more timer after the cancelled one shows the repeat is gone.
  bool after = false;
  Subscription marker = loop.scheduleOnce(0.01, [&] { after = true; });
  ASSERT_TRUE(loop.runUntil([&] { return after; }, 5.0));
  EXPECT_EQ(count, 3);
  EXPECT_FALSE(loop.scheduleRepeating(0, [] {}).isActive());
  EXPECT_FALSE(loop.scheduleRepeating(-1, [] {}).isActive());
}

TEST(PollLoopSchedulerTest, PostsFromOtherThreadsAndWatchedDescriptorsWakeTheLoop) {
  PollLoopScheduler loop;
  std::vector<int> received;
  std::thread poster([&] {
    for (int i = 0; i < 100; ++i) loop.postToMainThread([&received, i] { received.push_back(i); });
  });
  EXPECT_TRUE(loop.runUntil([&] { return received.size() == 100; }, 10.0));
  poster.join();
  for (int i = 0; i < static_cast<int>(received.size()); ++i) EXPECT_EQ(received[static_cast<std::size_t>(i)], i);

  // stop() from another thread ends run().
  std::thread stopper([&] { loop.postToMainThread([&] { loop.stop(); }); });
  loop.run();
  stopper.join();

  // Watched descriptors, and hooks called before waiting.
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  std::string read_;
  Subscription watch = loop.watchFileDescriptor(pipeFds[0], [&] {
    char buffer[16];
    const ssize_t count = read(pipeFds[0], buffer, sizeof buffer);
    if (count > 0) read_.append(buffer, static_cast<std::size_t>(count));
  });
  int hookRuns = 0;
  Subscription hook = loop.addBeforeWaitHook([&] { ++hookRuns; });
  ASSERT_EQ(write(pipeFds[1], "hi", 2), 2);
  EXPECT_TRUE(loop.runUntil([&] { return read_ == "hi"; }, 5.0));
  EXPECT_GT(hookRuns, 0);

  watch.cancel();
  hook.cancel();
  const int hookRunsBefore = hookRuns;
  ASSERT_EQ(write(pipeFds[1], "again", 5), 5);
  loop.runOnce(0);
  EXPECT_EQ(read_, "hi");
  EXPECT_EQ(hookRuns, hookRunsBefore);
  close(pipeFds[0]);
  close(pipeFds[1]);
}

TEST(PollLoopSchedulerTest, HandlesOutliveTheLoop) {
  Subscription timer;
  Subscription watch;
  {
    PollLoopScheduler loop;
    timer = loop.scheduleOnce(10, [] {});
    watch = loop.watchFileDescriptor(0, [] {});
  }
  // Cancelling after the loop is gone touches nothing of it.
  EXPECT_TRUE(timer.isActive() && watch.isActive());
  timer.cancel();
  watch.cancel();
  EXPECT_FALSE(timer.isActive() || watch.isActive());
}

}  // namespace
}  // namespace tessarapane
