// What the program hears of a real desktop: applications coming, being
// activated and going (the workspace), and windows appearing, being renamed,
// focused and closed (the observation service) — told once, in the order the
// desktop changed, and nothing once observation stops.
#include <unistd.h>

#include <algorithm>

#include "X11Test.h"
#include "windows/WindowObservationService.h"

namespace tessarapane::x11test {
namespace {

class NotificationsTest : public X11Test {
 protected:
  void SetUp() override {
    X11Test::SetUp();
    if (HasFatalFailure()) return;
    service_ = WindowObservationService::create(
        platform(), [this](ProcessID pid) { heard.push_back("created " + std::to_string(pid)); },
        [this] { heard.push_back("state"); }, [this] { heard.push_back("focus"); },
        [this] { heard.push_back("title"); });
    subscription_ = platform().workspace->subscribe([this](const WorkspaceNotification& n) {
      static const char* kKinds[] = {"launched", "terminated", "activated", "desktop changed"};
      std::string line = kKinds[static_cast<int>(n.kind)];
      if (n.application) {
        line += " " + n.application->localizedName.value_or("?") + " " + std::to_string(n.application->processIdentifier);
      }
      told.push_back(line);
    });
  }
  void TearDown() override {
    service_.reset();
    subscription_ = Subscription();
    X11Test::TearDown();
  }

  bool heardSince(std::size_t from, const std::string& line) const {
    return std::find(heard.begin() + static_cast<std::ptrdiff_t>(from), heard.end(), line) != heard.end();
  }
  bool toldSince(std::size_t from, const std::string& line) const {
    return std::find(told.begin() + static_cast<std::ptrdiff_t>(from), told.end(), line) != told.end();
  }

  std::shared_ptr<WindowObservationService> service_;
  Subscription subscription_;
  std::vector<std::string> heard;  // the observation service
  std::vector<std::string> told;   // the workspace
};

TEST_F(NotificationsTest, ApplicationsAndWindowsAreToldAsTheyComeChangeAndGoAndNothingAfterStopping) {
  Workspace& workspace = *platform().workspace;
  EXPECT_EQ(workspace.currentProcessID(), getpid());
  auto first = startClient({"--title", "First", "--class", "Gadget"});
  auto panel = startClient({"--type", "dock", "--class", "Panel", "--geometry", "1440x30+0+870"});
  ASSERT_TRUE(first && panel);
  const std::string firstPid = std::to_string(first->pid());
  service_->start();
  EXPECT_TRUE(service_->isRegistered(first->pid()));
  EXPECT_TRUE(waitUntil([&] { return toldSince(0, "launched Gadget " + firstPid) && toldSince(0, "launched Panel " + std::to_string(panel->pid())); }));

  // What the workspace knows of the running applications.
  const auto describe = [&](pid_t pid) {
    const auto app = workspace.runningApplication(pid);
    return app ? app->localizedName.value_or("?") + " " + app->bundleIdentifier.value_or("?") + " " +
                     (app->activationPolicy == ActivationPolicy::regular ? "regular" : "accessory")
               : std::string("none");
  };
  EXPECT_EQ(std::vector<std::string>({describe(first->pid()), describe(panel->pid()), describe(getpid())}),
            std::vector<std::string>({"Gadget Gadget regular", "Panel Panel accessory", "none"}));
  EXPECT_EQ(workspace.runningApplications().size(), 2U);

  // A new application is registered when its first window appears.
  auto second = startClient({"--title", "Second", "--class", "Other"});
  ASSERT_TRUE(second);
  const std::string secondPid = std::to_string(second->pid());
  EXPECT_TRUE(waitUntil([&] { return service_->isRegistered(second->pid()) && heardSince(0, "created " + secondPid); }));
  // The window manager focuses a new window itself; once that happened, an
  // activation asked for is the one heard next.
  const auto isFront = [&](pid_t pid) {
    const auto front = workspace.frontmostApplication();
    return front && front->processIdentifier == pid;
  };
  ASSERT_TRUE(waitUntil([&] { return isFront(second->pid()) && witnessActiveWindow() == second->window; }));
  settle();
  std::size_t heardBefore = heard.size(), toldBefore = told.size();
  EXPECT_TRUE(workspace.activate(first->pid()));
  EXPECT_TRUE(waitUntil([&] {
    return isFront(first->pid()) && heardSince(heardBefore, "focus") && toldSince(toldBefore, "activated Gadget " + firstPid);
  }));

  // Another window of a registered application, a new title, a window and
  // then a whole application going.
  heardBefore = heard.size();
  ASSERT_TRUE(first->openDialog());
  EXPECT_TRUE(waitUntil([&] { return heardSince(heardBefore, "created " + firstPid); }));
  ASSERT_TRUE(second->command("title Renamed"));
  EXPECT_TRUE(waitUntil([&] { return heardSince(heardBefore, "title"); }));
  heardBefore = heard.size();
  ASSERT_TRUE(first->command("close-dialog"));
  EXPECT_TRUE(waitUntil([&] { return heardSince(heardBefore, "state"); }));
  heardBefore = heard.size();
  toldBefore = told.size();
  ASSERT_TRUE(second->command("quit"));
  EXPECT_TRUE(waitUntil([&] {
    return heardSince(heardBefore, "state") && !service_->isRegistered(second->pid()) &&
           toldSince(toldBefore, "terminated Other " + secondPid);
  }));
  EXPECT_FALSE(workspace.runningApplication(second->pid()));

  ASSERT_TRUE(succeeds({"wmctrl", "-s", "1"}));
  EXPECT_TRUE(waitUntil([&] { return toldSince(toldBefore, "desktop changed"); }));
  ASSERT_TRUE(succeeds({"wmctrl", "-s", "0"}));

  // The client sets both of its names: one change, told once; nothing is
  // heard once observation stops.
  const auto titles = [&] { return std::count(heard.begin(), heard.end(), "title"); };
  const auto titlesBefore = titles();
  ASSERT_TRUE(first->command("title Once"));
  ASSERT_TRUE(waitUntil([&] { return titles() > titlesBefore; }));
  settle();
  EXPECT_EQ(titles(), titlesBefore + 1);
  service_->stop();
  heardBefore = heard.size();
  ASSERT_TRUE(first->command("title Twice"));
  ASSERT_TRUE(first->openDialog());
  settle();
  EXPECT_EQ(std::vector<std::string>(heard.begin() + static_cast<std::ptrdiff_t>(heardBefore), heard.end()),
            std::vector<std::string>{});
}

}  // namespace
}  // namespace tessarapane::x11test
