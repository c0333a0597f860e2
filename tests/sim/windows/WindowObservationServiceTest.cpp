// The desktop's notifications as the coordinator receives them: one log of
// "created <app>", "state", "focus" and "title", taken after each turn.
#include "windows/WindowObservationService.h"

#include <gtest/gtest.h>

#include "WindowsSim.h"

namespace tessarapane {


struct WindowObservationSim : WindowsSim {
  std::shared_ptr<WindowObservationService> makeService() {
    auto log = this->log;
    auto desktop = this->desktop;
    return WindowObservationService::create(
        platform,
        [log, desktop](ProcessID pid) { log->push_back("created " + *desktop->runningApplication(pid)->localizedName); },
        [log] { log->push_back("state"); }, [log] { log->push_back("focus"); }, [log] { log->push_back("title"); });
  }
  Lines events() {
    clock->runPending();
    return std::exchange(*log, {});
  }

  std::shared_ptr<Lines> log = std::make_shared<Lines>();
};

TEST_F(WindowObservationSim, WindowsAndApplicationsAreFollowedWhileRunning) {
  const ProcessID editor = launch("Editor");
  const ProcessID viewer = launch("Viewer");
  launch("Self", {}, [&](SimAppSpec& s) { s.pid = desktop->currentProcessID(); });
  const ProcessID hung = launch("Hung");
  launch("Blind", {}, [](SimAppSpec& s) { s.observerCreationFails = true; });
  const WindowID old = open(editor, "Old", Rect(0, 30, 400, 300));
  open(viewer, "Photo", Rect(0, 400, 400, 300));
  open(hung, "Doc", Rect(500, 400, 400, 300));
  desktop->setAnswersAccessibility(hung, false);
  clock->runPending();

  auto service = makeService();
  service->start();
  service->start();
  EXPECT_EQ(desktop->observers().observerCount(), 2u);  // the editor and the viewer
  desktop->setTitle(old, "Old, edited");
  const WindowID later = open(editor, "New", Rect(500, 30, 400, 300));
  EXPECT_EQ(events(), (Lines{"title", "created Editor", "focus"}));
  desktop->setTitle(later, "New, edited");
  desktop->focusWindow(old);
  EXPECT_EQ(events(), (Lines{"title", "focus", "focus"}));  // another application, and its window
  desktop->closeWindow(later);
  EXPECT_EQ(events(), (Lines{"state"}));

  // A registration that failed is tried again at the next activation.
  desktop->activateApplication(hung);
  EXPECT_EQ(events(), (Lines{"focus"}));
  desktop->setAnswersAccessibility(hung, true);
  desktop->activateApplication(viewer);
  desktop->activateApplication(hung);
  EXPECT_EQ(events(), (Lines{"focus", "created Hung", "focus"}));
  open(hung, "Second", Rect(500, 400, 400, 300), [](SimWindowSpec& s) { s.focused = false; });
  EXPECT_EQ(events(), (Lines{"created Hung"}));

  const ProcessID late = launch("Late");
  launch("Accessory", ActivationPolicy::accessory);
  EXPECT_EQ(events(), (Lines{"created Late"}));
  desktop->quitApplication(late);
  desktop->switchDesktop(1);
  EXPECT_EQ(events(), (Lines{"state", "state"}));
  EXPECT_EQ(desktop->observers().observerCount(), 3u);  // the late one's went

  // Nothing after stop, not even for what was already queued.
  desktop->setTitle(old, "Renamed");
  desktop->switchDesktop(0);
  launch("Later");
  service->stop();
  service->stop();
  clock->advance(1.0);
  EXPECT_EQ(events(), Lines{});
  EXPECT_EQ(desktop->observers().observerCount(), 0u);

  // Started again, then dropped: the platform held it only weakly.
  service->start();
  desktop->setTitle(old, "Once more");
  service.reset();
  EXPECT_EQ(events(), Lines{});
  EXPECT_EQ(desktop->observers().observerCount(), 0u);
}

}  // namespace tessarapane
