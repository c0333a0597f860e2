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
  const auto record = [&](const char* what) { return [&ran, what] { ran.push_back(what); }; };
  // Later deadlines run later; equal ones in the order they were made.
  Subscription late = loop.scheduleOnce(0.03, record("late"));
  Subscription first = loop.scheduleOnce(0, record("first"));
  Subscription second = loop.scheduleOnce(-1, record("second"));
  loop.scheduleOnce(0, record("cancelled")).cancel();
  EXPECT_TRUE(ran.empty()) << "nothing runs inside the scheduling call";
  // Work scheduled without delay from inside a callback waits for a later turn.
  Subscription nested;
  Subscription outer = loop.scheduleOnce(0, [&] {
    ran.push_back("outer");
    nested = loop.scheduleOnce(0, record("nested"));
  });
  loop.runOnce(0);
  EXPECT_EQ(ran, (std::vector<std::string>{"first", "second", "outer"}));
  ASSERT_TRUE(loop.runUntil([&] { return ran.size() == 5; }, 5.0));
  EXPECT_EQ(ran, (std::vector<std::string>{"first", "second", "outer", "nested", "late"}));

  // A repeat goes on until cancelled, even from its own callback; one more
  // timer after the cancelled one shows the repeat is gone.
  int count = 0;
  bool after = false;
  Subscription repeating = loop.scheduleRepeating(0.001, [&] {
    if (++count == 3) repeating.cancel();
  });
  ASSERT_TRUE(loop.runUntil([&] { return count == 3; }, 5.0));
  Subscription marker = loop.scheduleOnce(0.01, [&] { after = true; });
  ASSERT_TRUE(loop.runUntil([&] { return after; }, 5.0));
  EXPECT_EQ(count, 3);
  EXPECT_FALSE(loop.scheduleRepeating(0, [] {}).isActive() || loop.scheduleRepeating(-1, [] {}).isActive());
}

TEST(PollLoopSchedulerTest, PostsFromOtherThreadsAndWatchedDescriptorsWakeTheLoop) {
  PollLoopScheduler loop;
  std::vector<int> received, expected;
  std::thread poster([&] {
    for (int i = 0; i < 100; ++i) loop.postToMainThread([&received, i] { received.push_back(i); });
  });
  for (int i = 0; i < 100; ++i) expected.push_back(i);
  EXPECT_TRUE(loop.runUntil([&] { return received.size() == 100; }, 10.0));
  poster.join();
  EXPECT_EQ(received, expected);
  // stop() from another thread ends run().
  std::thread stopper([&] { loop.postToMainThread([&] { loop.stop(); }); });
  loop.run();
  stopper.join();

  // Watched descriptors, and hooks called before waiting.
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  std::string read_;
  Subscription watch = loop.watchFileDescriptor(fds[0], [&] {
    char buffer[16];
    const ssize_t count = read(fds[0], buffer, sizeof buffer);
    if (count > 0) read_.append(buffer, static_cast<std::size_t>(count));
  });
  int hookRuns = 0;
  Subscription hook = loop.addBeforeWaitHook([&] { ++hookRuns; });
  ASSERT_EQ(write(fds[1], "hi", 2), 2);
  EXPECT_TRUE(loop.runUntil([&] { return read_ == "hi"; }, 5.0));
  EXPECT_GT(hookRuns, 0);
  watch.cancel();
  hook.cancel();
  const int hookRunsBefore = hookRuns;
  ASSERT_EQ(write(fds[1], "again", 5), 5);
  loop.runOnce(0);
  EXPECT_EQ(std::make_pair(read_, hookRuns), std::make_pair(std::string("hi"), hookRunsBefore));
  close(fds[0]);
  close(fds[1]);

  // Handles outlive their loop: cancelling after it is gone touches nothing of it.
  Subscription timer, watched;
  {
    PollLoopScheduler gone;
    timer = gone.scheduleOnce(10, [] {});
    watched = gone.watchFileDescriptor(0, [] {});
  }
  EXPECT_TRUE(timer.isActive() && watched.isActive());
  timer.cancel();
  watched.cancel();
  EXPECT_FALSE(timer.isActive() || watched.isActive());
}

}  // namespace
}  // namespace tessarapane
