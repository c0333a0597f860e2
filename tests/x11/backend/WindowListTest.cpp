// The window list and the workspace read from the window manager.
#include <unistd.h>

#include <algorithm>

#include "X11Test.h"

namespace tessarapane::x11test {
namespace {

class WindowListTest : public X11Test {
 protected:
  std::optional<WindowInfo> entry(const std::vector<WindowInfo>& list, xcb_window_t window) {
    for (const WindowInfo& info : list) {
      if (info.number == window) return info;
    }
    return std::nullopt;
  }
};

TEST_F(WindowListTest, ListsViewableClientsFrontMostFirst) {
  auto back = startClient({"--title", "Back", "--geometry", "400x300+100+100", "--opacity", "0.5"});
  auto front = startClient({"--title", "Front", "--geometry", "400x300+200+200"});
  auto dock = startClient({"--type", "dock", "--geometry", "1440x30+0+0", "--strut", "top:30"});
  auto hidden = startClient({"--minimize"});
  auto anonymous = startClient({"--title", "No pid", "--no-pid"});
  auto elsewhere = startClient({"--title", "Elsewhere"});
  ASSERT_TRUE(back && front && dock && hidden && anonymous && elsewhere);
  const auto moved = Subprocess::run({"wmctrl", "-i", "-r", std::to_string(elsewhere->window), "-t", "1"}, 5.0);
  ASSERT_TRUE(moved && moved->status == 0);
  ASSERT_TRUE(front->command("title Front"));
  settle();
  const auto raised = Subprocess::run({"xdotool", "windowraise", std::to_string(front->window)}, 5.0);
  ASSERT_TRUE(raised && raised->status == 0);
  settle();

  auto list = platform().windowServer->onScreenWindowList();
  ASSERT_TRUE(list);
  const auto backEntry = entry(*list, back->window);
  const auto frontEntry = entry(*list, front->window);
  const auto dockEntry = entry(*list, dock->window);
  const auto anonymousEntry = entry(*list, anonymous->window);
  ASSERT_TRUE(backEntry && frontEntry && dockEntry && anonymousEntry);
  // Minimised windows and windows on another desktop are not on screen.
  EXPECT_FALSE(entry(*list, hidden->window));
  EXPECT_FALSE(entry(*list, elsewhere->window));

  const auto position = [&](xcb_window_t window) {
    return std::find_if(list->begin(), list->end(), [&](const WindowInfo& i) { return i.number == window; }) -
           list->begin();
  };
  EXPECT_LT(position(front->window), position(back->window));

  EXPECT_EQ(frontEntry->ownerPID, front->pid());
  EXPECT_EQ(frontEntry->layer, 0);
  EXPECT_EQ(frontEntry->name, "Front");
  EXPECT_EQ(frontEntry->ownerName, "TestClient");
  EXPECT_EQ(frontEntry->bounds, witnessFrame(front->window));
  EXPECT_FALSE(frontEntry->alpha.has_value());
  ASSERT_TRUE(backEntry->alpha.has_value());
  EXPECT_NEAR(*backEntry->alpha, 0.5, 1e-6);
  EXPECT_NE(dockEntry->layer, 0);
  // A client that does not name its process is traced through the server.
  EXPECT_EQ(anonymousEntry->ownerPID, anonymous->pid());

  const auto displays = platform().windowServer->activeDisplayList(0);
  EXPECT_EQ(displays.error, 0);
  ASSERT_EQ(displays.count, 1U);
  const auto ids = platform().windowServer->activeDisplayList(displays.count);
  ASSERT_EQ(ids.displays.size(), 1U);
  EXPECT_EQ(platform().windowServer->displayBounds(ids.displays.front()), Rect(0, 0, 1440, 900));
  EXPECT_TRUE(platform().windowServer->displayBounds(12345).isNull());
}

TEST_F(WindowListTest, WorkspaceKnowsApplicationsAndTellsTheirComings) {
  std::vector<WorkspaceNotification> told;
  Subscription subscription =
      platform().workspace->subscribe([&](const WorkspaceNotification& n) { told.push_back(n); });
  Workspace& workspace = *platform().workspace;
  EXPECT_EQ(workspace.currentProcessID(), getpid());

  auto client = startClient({"--title", "App", "--class", "Gadget"});
  auto dockOnly = startClient({"--type", "dock", "--class", "Panel", "--geometry", "1440x30+0+870"});
  ASSERT_TRUE(client && dockOnly);
  auto launched = [&](pid_t pid) {
    return std::any_of(told.begin(), told.end(), [&](const WorkspaceNotification& n) {
      return n.kind == WorkspaceNotification::Kind::applicationLaunched && n.application &&
             n.application->processIdentifier == pid;
    });
  };
  EXPECT_TRUE(waitUntil([&] { return launched(client->pid()) && launched(dockOnly->pid()); }));

  const auto app = workspace.runningApplication(client->pid());
  ASSERT_TRUE(app);
  EXPECT_EQ(app->localizedName, "Gadget");
  EXPECT_EQ(app->bundleIdentifier, "Gadget");
  EXPECT_EQ(app->activationPolicy, ActivationPolicy::regular);
  const auto panel = workspace.runningApplication(dockOnly->pid());
  ASSERT_TRUE(panel);
  EXPECT_EQ(panel->activationPolicy, ActivationPolicy::accessory);
  const auto all = workspace.runningApplications();
  EXPECT_EQ(all.size(), 2U);
  EXPECT_FALSE(workspace.runningApplication(getpid()));

  // Activation moves between processes, not between one process's windows.
  auto other = startClient({"--title", "Other"});
  ASSERT_TRUE(other);
  auto isFront = [&](pid_t pid) {
    const auto front = workspace.frontmostApplication();
    return front && front->processIdentifier == pid;
  };
  // The window manager focuses a new window on its own; let that happen first so it cannot
  // land after the activation asked for below.
  ASSERT_TRUE(waitUntil([&] { return isFront(other->pid()); }));
  const std::size_t toldBeforeActivation = told.size();
  EXPECT_TRUE(workspace.activate(client->pid()));
  EXPECT_TRUE(waitUntil([&] { return isFront(client->pid()); }));
  EXPECT_TRUE(waitUntil([&] {
    return std::any_of(told.begin() + static_cast<std::ptrdiff_t>(toldBeforeActivation), told.end(),
                       [&](const WorkspaceNotification& n) {
                         return n.kind == WorkspaceNotification::Kind::applicationActivated && n.application &&
                                n.application->processIdentifier == client->pid();
                       });
  }));
  EXPECT_TRUE(isFront(client->pid()));

  const auto switched = Subprocess::run({"wmctrl", "-s", "1"}, 5.0);
  ASSERT_TRUE(switched && switched->status == 0);
  EXPECT_TRUE(waitUntil([&] {
    return std::any_of(told.begin(), told.end(), [](const WorkspaceNotification& n) {
      return n.kind == WorkspaceNotification::Kind::activeSpaceChanged;
    });
  }));

  ASSERT_TRUE(client->command("quit"));
  EXPECT_TRUE(waitUntil([&] {
    return std::any_of(told.begin(), told.end(), [&](const WorkspaceNotification& n) {
      return n.kind == WorkspaceNotification::Kind::applicationTerminated && n.application &&
             n.application->processIdentifier == client->pid() && n.application->localizedName == "Gadget";
    });
  }));
  EXPECT_FALSE(workspace.runningApplication(client->pid()));
}

}  // namespace
}  // namespace tessarapane::x11test
