// The observation service fed by a real window manager's notifications.
#include <algorithm>

#include "X11Test.h"
#include "windows/WindowObservationService.h"

namespace tessarapane::x11test {
namespace {

class ObservationTest : public X11Test {
 protected:
  void SetUp() override {
    X11Test::SetUp();
    service_ = WindowObservationService::create(
        platform(), [this](ProcessID pid) { created.push_back(pid); }, [this] { ++stateChanges; },
        [this] { ++focusChanges; }, [this] { ++titleChanges; });
  }
  void TearDown() override {
    service_.reset();
    X11Test::TearDown();
  }

  std::shared_ptr<WindowObservationService> service_;
  std::vector<ProcessID> created;
  int stateChanges = 0;
  int focusChanges = 0;
  int titleChanges = 0;
};

TEST_F(ObservationTest, ReportsCreationTitlesFocusAndDestruction) {
  auto first = startClient({"--title", "First"});
  ASSERT_TRUE(first);
  service_->start();
  EXPECT_TRUE(service_->isRegistered(first->pid()));

  // A new application is registered when its first window appears.
  auto second = startClient({"--title", "Second"});
  ASSERT_TRUE(second);
  EXPECT_TRUE(waitUntil([&] { return service_->isRegistered(second->pid()); }));
  EXPECT_TRUE(waitUntil([&] { return std::count(created.begin(), created.end(), second->pid()) >= 1; }));

  const int focusBefore = focusChanges;
  const auto activated =
      Subprocess::run({"xdotool", "windowactivate", "--sync", std::to_string(first->window)}, 5.0);
  ASSERT_TRUE(activated && activated->status == 0);
  EXPECT_TRUE(waitUntil([&] { return focusChanges > focusBefore; }));

  // Another window of a registered application.
  const auto before = std::count(created.begin(), created.end(), first->pid());
  ASSERT_TRUE(first->command("dialog"));
  EXPECT_TRUE(waitUntil([&] { return std::count(created.begin(), created.end(), first->pid()) > before; }));

  ASSERT_TRUE(second->command("title Renamed"));
  EXPECT_TRUE(waitUntil([&] { return titleChanges > 0; }));

  // A window closing, then a whole application quitting.
  const int stateBefore = stateChanges;
  ASSERT_TRUE(first->command("close-dialog"));
  EXPECT_TRUE(waitUntil([&] { return stateChanges > stateBefore; }));
  const int stateBeforeQuit = stateChanges;
  ASSERT_TRUE(second->command("quit"));
  EXPECT_TRUE(waitUntil([&] { return stateChanges > stateBeforeQuit && !service_->isRegistered(second->pid()); }));
}

TEST_F(ObservationTest, ReportsNothingAfterStopping) {
  auto client = startClient({"--title", "Watched"});
  ASSERT_TRUE(client);
  service_->start();
  // The client sets both of its names: one change, told once.
  ASSERT_TRUE(client->command("title Once"));
  ASSERT_TRUE(waitUntil([&] { return titleChanges > 0; }));
  settle();
  EXPECT_EQ(titleChanges, 1);
  service_->stop();
  ASSERT_TRUE(client->command("title Twice"));
  ASSERT_TRUE(client->command("dialog"));
  ASSERT_TRUE(client->waitForDialog());
  settle();
  EXPECT_EQ(titleChanges, 1);
  EXPECT_TRUE(created.empty());
}

}  // namespace
}  // namespace tessarapane::x11test
