// Accessibility notifications: which changes send which, to whom, and when
// on virtual time.
#include "SimDesktopFixture.h"

namespace tessarapane::testing {
namespace {

class Notifications : public SimDesktopTest {
 protected:
  NotificationLog heard;

  AXObserver observe(ProcessID pid) {
    auto created = ax.createObserver(pid, heard.callback(*clock));
    EXPECT_EQ(created.error, AXError::success);
    return created.observer.value_or(AXObserver{});
  }

  // The registrations the observation service makes for an application.
  AXObserver observeLikeTheService(ProcessID pid) {
    const AXObserver observer = observe(pid);
    EXPECT_EQ(ax.addNotification(observer, appElement(pid), "AXWindowCreated"), AXError::success);
    EXPECT_EQ(ax.addNotification(observer, appElement(pid), "AXFocusedWindowChanged"), AXError::success);
    for (WindowID number : desktop->windowsOf(pid)) watchWindow(observer, number);
    return observer;
  }

  void watchWindow(AXObserver observer, WindowID number) {
    EXPECT_EQ(ax.addNotification(observer, element(number), "AXUIElementDestroyed"), AXError::success);
    EXPECT_EQ(ax.addNotification(observer, element(number), "AXTitleChanged"), AXError::success);
  }
};

TEST_F(Notifications, CreatingAWindowAnnouncesItOnALaterTurnOfTheMainLoop) {
  const ProcessID pid = launch("Editor");
  observeLikeTheService(pid);
  const WindowID number = open(pid, "new");
  EXPECT_TRUE(heard.entries.empty());  // never from inside the call that made the change

  clock->runPending();
  EXPECT_EQ(heard.names(), (std::vector<std::string>{"AXWindowCreated", "AXFocusedWindowChanged"}));
  EXPECT_EQ(heard.entries[0].element, element(number));  // the element is the new window
  EXPECT_EQ(heard.entries[1].element, element(number));
}

TEST_F(Notifications, TitleChangesAndDestructionReachWindowRegistrations) {
  const ProcessID pid = launch("Editor");
  const WindowID first = open(pid, "one");
  const WindowID second = open(pid, "two");
  observeLikeTheService(pid);

  desktop->setTitle(first, "one (edited)");
  desktop->closeWindow(second);
  clock->runPending();
  EXPECT_EQ(heard.names(),
            (std::vector<std::string>{"AXTitleChanged", "AXUIElementDestroyed", "AXFocusedWindowChanged"}));
  EXPECT_EQ(heard.entries[0].element, element(first));
  EXPECT_EQ(heard.entries[1].element, (AXElement{pid, AXElementKind::window, second}));
  EXPECT_EQ(heard.entries[2].element, element(first));  // the focus fell back to the remaining window
  EXPECT_EQ(readAs<std::string>(element(first), "AXTitle"), "one (edited)");
}

TEST_F(Notifications, OnlyRegisteredNotificationsOfTheObservedProcessArrive) {
  const ProcessID pid = launch("Editor");
  const ProcessID other = launch("Other");
  const WindowID window = open(pid, "w");
  const AXObserver observer = observe(pid);
  ASSERT_EQ(ax.addNotification(observer, element(window), "AXTitleChanged"), AXError::success);

  open(pid, "unheard");  // no "AXWindowCreated" registration
  desktop->setTitle(open(other, "o"), "renamed");  // another process
  desktop->moveWindow(window, Rect(0, 0, 10, 10));  // not registered
  clock->runUntilIdle();
  EXPECT_TRUE(heard.entries.empty());

  // Registered on the application element, it covers every window of it.
  ASSERT_EQ(ax.addNotification(observer, appElement(pid), "AXWindowMoved"), AXError::success);
  desktop->moveWindow(window, Rect(5, 5, 10, 10));
  clock->runPending();
  EXPECT_EQ(heard.names(), std::vector<std::string>{"AXWindowMoved"});
}

TEST_F(Notifications, RegistrationAnswersThePlatformCodes) {
  const ProcessID pid = launch("Editor");
  const WindowID window = open(pid, "w");
  const AXObserver observer = observe(pid);
  EXPECT_EQ(ax.addNotification(observer, appElement(pid), "AXWindowCreated"), AXError::success);
  EXPECT_EQ(ax.addNotification(observer, appElement(pid), "AXWindowCreated"),
            AXError::notificationAlreadyRegistered);
  EXPECT_EQ(ax.addNotification(observer, appElement(pid), "AXMadeUp"), AXError::notificationUnsupported);
  EXPECT_EQ(ax.addNotification(observer, appElement(launch("Other")), "AXWindowCreated"),
            AXError::illegalArgument);
  EXPECT_EQ(ax.removeNotification(observer, element(window), "AXTitleChanged"),
            AXError::notificationNotRegistered);
  ax.destroyObserver(observer);
  EXPECT_EQ(ax.addNotification(observer, appElement(pid), "AXFocusedWindowChanged"),
            AXError::invalidUIElementObserver);

  const AXElement gone = element(window);
  desktop->closeWindow(window);
  EXPECT_EQ(ax.addNotification(observe(pid), gone, "AXUIElementDestroyed"), AXError::invalidUIElement);
}

TEST_F(Notifications, ApplicationsThatDoNotAnswerCannotBeObserved) {
  SimAppSpec hung;
  hung.answersAccessibility = false;
  const ProcessID hungPID = desktop->launchApplication(hung);
  const AXObserver observer = observe(hungPID);
  EXPECT_EQ(ax.addNotification(observer, appElement(hungPID), "AXWindowCreated"), AXError::cannotComplete);

  SimAppSpec broken;
  broken.observerCreationFails = true;
  const ProcessID brokenPID = desktop->launchApplication(broken);
  const auto created = ax.createObserver(brokenPID, heard.callback(*clock));
  EXPECT_NE(created.error, AXError::success);
  EXPECT_FALSE(created.observer);

  // Once it answers again, registration works (the service retries on activation).
  desktop->setAnswersAccessibility(hungPID, true);
  EXPECT_EQ(ax.addNotification(observer, appElement(hungPID), "AXWindowCreated"), AXError::success);
}

TEST_F(Notifications, DestroyingTheObserverDropsNotificationsAlreadyQueued) {
  const ProcessID pid = launch("Editor");
  const AXObserver observer = observeLikeTheService(pid);
  observeLikeTheService(pid);  // a second observer, same log
  open(pid, "w");  // queued for both observers
  ax.destroyObserver(observer);
  clock->runUntilIdle();
  // Only the surviving observer heard anything.
  EXPECT_EQ(heard.names(), (std::vector<std::string>{"AXWindowCreated", "AXFocusedWindowChanged"}));
}

TEST_F(Notifications, RemovingARegistrationDropsItsQueuedNotifications) {
  const ProcessID pid = launch("Editor");
  const WindowID window = open(pid, "w");
  const AXObserver observer = observe(pid);
  watchWindow(observer, window);
  desktop->setTitle(window, "changed");
  ASSERT_EQ(ax.removeNotification(observer, element(window), "AXTitleChanged"), AXError::success);
  clock->runUntilIdle();
  EXPECT_TRUE(heard.entries.empty());
}

TEST_F(Notifications, ACallbackMayDestroyItsOwnObserver) {
  const ProcessID pid = launch("Editor");
  int calls = 0;
  AXObserver self{};
  auto created = ax.createObserver(pid, [&](AXObserver observer, const AXElement&, const std::string&) {
    ++calls;
    ax.destroyObserver(observer);
  });
  self = *created.observer;
  ax.addNotification(self, appElement(pid), "AXWindowCreated");
  open(pid, "a");
  open(pid, "b");
  clock->runUntilIdle();
  EXPECT_EQ(calls, 1);
}

TEST_F(Notifications, LatencyDelaysDeliveryOnVirtualTime) {
  const ProcessID pid = launch("Editor");
  observeLikeTheService(pid);
  desktop->setNotificationLatency(0.25);
  const double start = clock->now();
  open(pid, "w");
  clock->advance(0.24);
  EXPECT_TRUE(heard.entries.empty());
  clock->advance(0.01);
  ASSERT_EQ(heard.entries.size(), 2U);
  EXPECT_DOUBLE_EQ(heard.entries[0].time - start, 0.25);
}

TEST_F(Notifications, DelayedCloseIsAnnouncedWhenTheWindowReallyGoes) {
  const ProcessID pid = launch("Editor");
  SimWindowBehavior behavior;
  behavior.closeResponse = SimCloseResponse::closesAfterDelay;
  behavior.closeDelay = 0.4;
  const WindowID number = open(pid, "slow", Rect(0, 0, 400, 300), behavior);
  const AXElement window = element(number);
  observeLikeTheService(pid);
  const double start = clock->now();
  ASSERT_EQ(ax.performAction(closeButton(window), "AXPress"), AXError::success);
  clock->advance(0.39);
  EXPECT_TRUE(heard.entries.empty());
  EXPECT_EQ(readAs<std::string>(window, "AXRole"), "AXWindow");
  clock->advance(0.01);
  ASSERT_EQ(heard.names(), std::vector<std::string>{"AXUIElementDestroyed"});
  EXPECT_NEAR(heard.entries[0].time - start, 0.4, 1e-9);
  EXPECT_EQ(read(window, "AXRole").error, AXError::invalidUIElement);
}

TEST_F(Notifications, QuittingSendsNoAccessibilityNotifications) {
  const ProcessID pid = launch("Editor");
  const WindowID focused = open(pid, "focused");
  open(pid, "other");
  desktop->focusWindow(focused);  // goes first; its loss would hand the focus to "other"
  observeLikeTheService(pid);
  desktop->quitApplication(pid);
  clock->runUntilIdle();
  EXPECT_TRUE(heard.entries.empty());
}

TEST_F(Notifications, FocusingAnotherWindowOfTheApplicationIsAnnounced) {
  const ProcessID pid = launch("Editor");
  const WindowID first = open(pid, "one");
  open(pid, "two");
  observeLikeTheService(pid);
  desktop->focusWindow(first);
  desktop->focusWindow(first);  // no change, no second notification
  clock->runUntilIdle();
  EXPECT_EQ(heard.names(), std::vector<std::string>{"AXFocusedWindowChanged"});
  EXPECT_EQ(desktop->stackingOrder().front(), first);
  EXPECT_EQ(desktop->frontmostApplication(), pid);
}

}  // namespace
}  // namespace tessarapane::testing
