// Applications, activation and the desktop's notifications outside the
// accessibility interface: workspace, screens, system events.
#include "SimDesktopFixture.h"

namespace tessarapane::testing {
namespace {

class WorkspaceEvents : public SimDesktopTest {
 protected:
  std::vector<WorkspaceNotification> received;
  Subscription subscription = platform.workspace->subscribe(
      [this](const WorkspaceNotification& notification) { received.push_back(notification); });

  std::vector<WorkspaceNotification::Kind> kinds() const {
    std::vector<WorkspaceNotification::Kind> all;
    for (const auto& notification : received) all.push_back(notification.kind);
    return all;
  }
};

using Kind = WorkspaceNotification::Kind;

TEST_F(WorkspaceEvents, LaunchActivateQuitArriveInOrderOnALaterTurn) {
  const ProcessID pid = launch("Editor");
  desktop->activateApplication(pid);
  desktop->activateApplication(pid);  // already frontmost: nothing new
  EXPECT_TRUE(received.empty());
  clock->runPending();
  ASSERT_EQ(kinds(), (std::vector<Kind>{Kind::applicationLaunched, Kind::applicationActivated}));
  EXPECT_EQ(received[0].application->processIdentifier, pid);
  EXPECT_EQ(received[0].application->localizedName, "Editor");

  desktop->quitApplication(pid);
  desktop->switchDesktop(2);
  clock->runPending();
  ASSERT_EQ(received.size(), 4U);
  EXPECT_EQ(received[2].kind, Kind::applicationTerminated);
  EXPECT_EQ(received[2].application->processIdentifier, pid);
  EXPECT_EQ(received[3].kind, Kind::activeSpaceChanged);
  EXPECT_FALSE(received[3].application);
  EXPECT_FALSE(platform.workspace->runningApplication(pid));
  EXPECT_FALSE(platform.workspace->frontmostApplication());
}

TEST_F(WorkspaceEvents, CancelledSubscriptionHearsNothingAlreadyQueued) {
  launch("Editor");
  subscription.cancel();
  clock->runUntilIdle();
  EXPECT_TRUE(received.empty());
}

TEST_F(WorkspaceEvents, QuittingTheFrontmostApplicationHandsFocusToTheNextWindowsOwner) {
  const ProcessID back = launch("Back");
  const ProcessID front = launch("Front");
  open(back, "b");
  open(front, "f");
  desktop->activateApplication(front);
  desktop->quitApplication(front);
  EXPECT_EQ(desktop->frontmostApplication(), back);
  clock->runPending();
  EXPECT_EQ(kinds().back(), Kind::applicationActivated);
  EXPECT_EQ(received.back().application->processIdentifier, back);
}

TEST_F(WorkspaceEvents, ActivationBringsTheMainWindowForwardNotEveryWindow) {
  const ProcessID editor = launch("Editor");
  const WindowID older = open(editor, "older");
  const WindowID main = open(editor, "main");
  const WindowID other = open(launch("Other"), "other");
  ax.performAction(element(older), "AXRaise");  // older, other, main

  EXPECT_TRUE(platform.workspace->activate(editor));
  EXPECT_EQ(desktop->stackingOrder(), (std::vector<WindowID>{main, older, other}));
  EXPECT_EQ(platform.workspace->frontmostApplication()->processIdentifier, editor);
  EXPECT_FALSE(platform.workspace->activate(4242));
  EXPECT_EQ(desktop->recorder().activations(), (std::vector<ProcessID>{editor, 4242}));
}

TEST_F(WorkspaceEvents, BringProcessToFrontFollowsTheScriptedMode) {
  const ProcessID editor = launch("Editor");
  const WindowID window = open(editor, "w");
  open(launch("Other"), "o");

  desktop->setFrontProcessMode(SimFrontProcessMode::unavailable);
  EXPECT_EQ(platform.workspace->bringProcessToFront(editor), FrontProcessResult::unavailable);
  desktop->setFrontProcessMode(SimFrontProcessMode::fails);
  EXPECT_EQ(platform.workspace->bringProcessToFront(editor), FrontProcessResult::failed);
  EXPECT_NE(desktop->stackingOrder().front(), window);

  desktop->setFrontProcessMode(SimFrontProcessMode::succeeds);
  EXPECT_EQ(platform.workspace->bringProcessToFront(editor), FrontProcessResult::succeeded);
  EXPECT_EQ(desktop->stackingOrder().front(), window);
  EXPECT_EQ(desktop->frontmostApplication(), editor);
  EXPECT_EQ(platform.workspace->bringProcessToFront(9999), FrontProcessResult::unavailable);
  EXPECT_EQ(desktop->recorder().frontProcessRequests().size(), 4U);
}

TEST_F(WorkspaceEvents, RunningApplicationsReportPolicyBundleAndName) {
  SimAppSpec agent;
  agent.activationPolicy = ActivationPolicy::accessory;
  const ProcessID agentPID = desktop->launchApplication(agent);
  const ProcessID editor = launch("Editor");
  SimAppSpec duplicate;
  duplicate.pid = editor;
  EXPECT_EQ(desktop->launchApplication(duplicate), 0);  // the pid is taken

  EXPECT_EQ(platform.workspace->runningApplications().size(), 2U);
  const auto app = platform.workspace->runningApplication(agentPID);
  ASSERT_TRUE(app);
  EXPECT_EQ(app->activationPolicy, ActivationPolicy::accessory);
  EXPECT_FALSE(app->bundleIdentifier);
  EXPECT_FALSE(app->localizedName);
  EXPECT_EQ(platform.workspace->runningApplication(editor)->bundleIdentifier, "org.example.Editor");
  EXPECT_NE(platform.workspace->currentProcessID(), editor);
}

TEST_F(WorkspaceEvents, OpenAddressNeedsAUrlThatSomethingOpens) {
  desktop->refuseAddress("x-settings:privacy");
  EXPECT_TRUE(platform.workspace->openAddress("x-settings:accessibility"));
  EXPECT_FALSE(platform.workspace->openAddress("x-settings:privacy"));
  EXPECT_FALSE(platform.workspace->openAddress("no scheme here"));
  EXPECT_FALSE(platform.workspace->openAddress("1x:bad-scheme"));
  EXPECT_EQ(desktop->recorder().openedAddresses().size(), 4U);
}

TEST_F(WorkspaceEvents, ScreenChangesAndSystemEventsAreDeliveredAsynchronously) {
  int screenChanges = 0;
  Subscription screens = platform.screens->subscribeScreenParametersChanged([&] { ++screenChanges; });
  std::vector<SystemEvent> events;
  Subscription system = platform.systemEvents->subscribe([&](SystemEvent event) { events.push_back(event); });

  desktop->setDisplays({SimDisplay{4, Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1055)},
                        SimDisplay{5, Rect(-1280, 0, 1280, 1024), Rect(-1280, 0, 1280, 1024)}});
  desktop->postSystemEvent(SystemEvent::screensDidSleep);
  desktop->postSystemEvent(SystemEvent::screenLocked);
  EXPECT_EQ(screenChanges, 0);
  clock->runPending();
  EXPECT_EQ(screenChanges, 1);
  EXPECT_EQ(events, (std::vector<SystemEvent>{SystemEvent::screensDidSleep, SystemEvent::screenLocked}));

  const auto all = platform.screens->screens();
  ASSERT_EQ(all.size(), 2U);
  EXPECT_EQ(all[0].displayID, 4U);
  EXPECT_EQ(all[1].visibleFrame, Rect(-1280, 0, 1280, 1024));
  EXPECT_EQ(platform.screens->mainScreen()->displayID, 4U);
  desktop->setMainDisplay(5);
  EXPECT_EQ(platform.screens->mainScreen()->displayID, 5U);

  system.cancel();
  desktop->postSystemEvent(SystemEvent::screenUnlocked);
  desktop->setDisplays({});
  clock->runPending();
  EXPECT_EQ(events.size(), 2U);
  EXPECT_EQ(screenChanges, 2);
  EXPECT_FALSE(platform.screens->mainScreen());
}

TEST_F(WorkspaceEvents, PressedButtonsComeFromTheScript) {
  EXPECT_EQ(platform.input->pressedMouseButtons(), 0U);
  desktop->setPressedMouseButtons(Input::kPrimaryButton);
  EXPECT_EQ(platform.input->pressedMouseButtons() & Input::kPrimaryButton, Input::kPrimaryButton);
}

}  // namespace
}  // namespace tessarapane::testing
