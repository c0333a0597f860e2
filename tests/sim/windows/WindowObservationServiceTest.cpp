#include "windows/WindowObservationService.h"

#include <gtest/gtest.h>

#include <vector>

#include "WindowsSimFixture.h"

namespace tessarapane {
namespace {

class WindowObservationSim : public WindowsSim {
 protected:
  struct Events {
    std::vector<ProcessID> created;
    int stateChanged = 0;
    int focusChanged = 0;
    int titleChanged = 0;

    int total() const { return static_cast<int>(created.size()) + stateChanged + focusChanged + titleChanged; }
  };

  std::shared_ptr<WindowObservationService> makeService() {
    auto events = this->events;
    return WindowObservationService::create(
        platform, [events](ProcessID pid) { events->created.push_back(pid); },
        [events] { ++events->stateChanged; }, [events] { ++events->focusChanged; },
        [events] { ++events->titleChanged; });
  }

  void settle() { scheduler->runPending(); }

  std::shared_ptr<Events> events = std::make_shared<Events>();
};

TEST_F(WindowObservationSim, StartRegistersRegularApplicationsWithoutAskingForReconciliation) {
  const ProcessID editor = launch("Editor");
  const ProcessID helper = launch("Helper", ActivationPolicy::accessory);
  SimAppSpec self;
  self.pid = desktop->currentProcessID();
  desktop->launchApplication(self);
  settle();

  auto service = makeService();
  EXPECT_FALSE(service->isRunning());
  service->start();
  EXPECT_TRUE(service->isRunning());
  EXPECT_TRUE(service->isRegistered(editor));
  EXPECT_FALSE(service->isRegistered(helper));
  EXPECT_FALSE(service->isRegistered(desktop->currentProcessID()));
  settle();
  EXPECT_EQ(events->total(), 0);
  service->start();  // already running: nothing new
  EXPECT_EQ(events->total(), 0);
}

TEST_F(WindowObservationSim, WindowsAreObservedWhetherTheyExistedBeforeOrAppearLater) {
  const ProcessID editor = launch("Editor");
  const WindowID existing = open(editor, "Old", Rect(0, 30, 400, 300));
  settle();
  auto service = makeService();
  service->start();

  desktop->setTitle(existing, "Old, edited");
  settle();
  EXPECT_EQ(events->titleChanged, 1);

  const WindowID later = open(editor, "New", Rect(500, 30, 400, 300), [](SimWindowSpec& s) { s.focused = false; });
  settle();
  EXPECT_EQ(events->created, (std::vector<ProcessID>{editor}));
  desktop->setTitle(later, "New, edited");
  settle();
  EXPECT_EQ(events->titleChanged, 2);

  desktop->closeWindow(later);
  settle();
  EXPECT_EQ(events->stateChanged, 1);
  desktop->closeWindow(existing);
  settle();
  EXPECT_EQ(events->stateChanged, 2);
}

TEST_F(WindowObservationSim, FocusChangesWithinAndBetweenApplications) {
  const ProcessID editor = launch("Editor");
  const ProcessID viewer = launch("Viewer");
  const WindowID left = open(editor, "Left", Rect(0, 30, 400, 300));
  const WindowID right = open(editor, "Right", Rect(500, 30, 400, 300));
  const WindowID photo = open(viewer, "Photo", Rect(0, 400, 400, 300));
  desktop->focusWindow(right);
  settle();
  auto service = makeService();
  service->start();

  desktop->focusWindow(left);  // same application: the focused window changes
  settle();
  EXPECT_EQ(events->focusChanged, 1);
  // Activating a registered application reports the focus but no windows.
  ASSERT_EQ(desktop->focusedWindow(viewer), photo);
  desktop->activateApplication(viewer);
  settle();
  EXPECT_EQ(events->focusChanged, 2);
  EXPECT_TRUE(events->created.empty());
}

TEST_F(WindowObservationSim, LaunchedApplicationsAreRegisteredAndTerminatedOnesDropped) {
  auto service = makeService();
  service->start();
  const ProcessID editor = launch("Editor");
  settle();
  EXPECT_TRUE(service->isRegistered(editor));
  EXPECT_EQ(events->created, (std::vector<ProcessID>{editor}));

  const ProcessID helper = launch("Helper", ActivationPolicy::accessory);
  settle();
  EXPECT_FALSE(service->isRegistered(helper));
  EXPECT_EQ(events->created.size(), 1U);

  desktop->quitApplication(editor);
  settle();
  EXPECT_FALSE(service->isRegistered(editor));
  EXPECT_EQ(events->stateChanged, 1);

  desktop->switchDesktop(1);
  settle();
  EXPECT_EQ(events->stateChanged, 2);
}

TEST_F(WindowObservationSim, AnApplicationWhoseRegistrationFailedIsRetriedOnItsNextActivation) {
  const ProcessID hung = launch("Hung");
  const ProcessID other = launch("Other");
  open(hung, "Doc", Rect(0, 30, 400, 300));
  open(other, "Other", Rect(500, 30, 400, 300));
  desktop->setAnswersAccessibility(hung, false);
  SimAppSpec blind;
  blind.localizedName = "Blind";
  blind.observerCreationFails = true;
  const ProcessID noObserver = desktop->launchApplication(blind);
  settle();

  auto service = makeService();
  service->start();
  EXPECT_FALSE(service->isRegistered(hung));
  EXPECT_FALSE(service->isRegistered(noObserver));
  EXPECT_TRUE(service->isRegistered(other));

  // Still hung when it comes to the front: tried again, and again nothing.
  desktop->activateApplication(hung);
  settle();
  EXPECT_FALSE(service->isRegistered(hung));
  EXPECT_TRUE(events->created.empty());
  EXPECT_EQ(events->focusChanged, 1);

  desktop->setAnswersAccessibility(hung, true);
  desktop->activateApplication(other);
  desktop->activateApplication(hung);
  settle();
  EXPECT_TRUE(service->isRegistered(hung));
  EXPECT_EQ(events->created, (std::vector<ProcessID>{hung}));
  EXPECT_EQ(events->focusChanged, 3);
  // Now observed like any other.
  open(hung, "Second", Rect(500, 400, 400, 300));
  settle();
  EXPECT_EQ(events->created, (std::vector<ProcessID>{hung, hung}));
}

TEST_F(WindowObservationSim, NothingIsCalledAfterStopEvenForQueuedNotifications) {
  const ProcessID editor = launch("Editor");
  const WindowID doc = open(editor, "Doc", Rect(0, 30, 400, 300));
  settle();
  auto service = makeService();
  service->start();

  // Changes whose notifications are still queued when the service stops.
  desktop->setTitle(doc, "Renamed");
  open(editor, "Another", Rect(500, 30, 400, 300));
  desktop->switchDesktop(1);
  launch("Late");
  service->stop();
  EXPECT_FALSE(service->isRunning());
  EXPECT_FALSE(service->isRegistered(editor));
  settle();
  scheduler->advance(1.0);
  EXPECT_EQ(events->total(), 0);

  // Started again, it registers what runs now, the late application too.
  service->start();
  EXPECT_TRUE(service->isRegistered(editor));
  EXPECT_EQ(desktop->observers().observerCount(), 2U);
  service->stop();
  EXPECT_EQ(desktop->observers().observerCount(), 0U);
  service->stop();  // not running: nothing
}

TEST_F(WindowObservationSim, ThePlatformHoldsTheServiceOnlyWeakly) {
  const ProcessID editor = launch("Editor");
  const WindowID doc = open(editor, "Doc", Rect(0, 30, 400, 300));
  settle();
  auto service = makeService();
  service->start();
  std::weak_ptr<WindowObservationService> weak = service;

  desktop->setTitle(doc, "Renamed");
  service.reset();
  EXPECT_TRUE(weak.expired());
  // Its observers went with it; the queued notification reaches no one.
  EXPECT_EQ(desktop->observers().observerCount(), 0U);
  settle();
  EXPECT_EQ(events->total(), 0);
}

}  // namespace
}  // namespace tessarapane
