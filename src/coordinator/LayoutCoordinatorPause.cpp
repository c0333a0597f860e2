// Pausing all maintenance while the displays or the system sleep, the
// screen is locked or the session is switched away, and laying the layout
// out again, three times, once the last reason has ended.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "coordinator/LayoutCoordinator.h"
#include "tasks/DelayWalk.h"

namespace tessarapane {

namespace {

const char* flag(bool value) { return value ? "true" : "false"; }

}  // namespace

void LayoutCoordinator::handleSystemEvent(SystemEvent event) {
  using Reason = LayoutPause::Reason;
  switch (event) {
    case SystemEvent::screensDidSleep:
      beginPause(Reason::screensAsleep);
      return;
    case SystemEvent::screensDidWake:
      endPause(Reason::screensAsleep);
      return;
    case SystemEvent::systemWillSleep:
      beginPause(Reason::systemAsleep);
      return;
    case SystemEvent::systemDidWake:
      endPause(Reason::systemAsleep);
      return;
    case SystemEvent::sessionDidResignActive:
      beginPause(Reason::sessionInactive);
      return;
    case SystemEvent::sessionDidBecomeActive:
      endPause(Reason::sessionInactive);
      return;
    case SystemEvent::screenLocked:
      beginPause(Reason::screenLocked);
      return;
    case SystemEvent::screenUnlocked:
      // Wake notifications may never arrive in the expected order; the
      // unlock ends every reason.
      endAllPauses();
      return;
  }
}

void LayoutCoordinator::resumePass(std::size_t pass) {
  const std::string round = "resume round " + std::to_string(pass);
  logLayoutSnapshot(round + " before");
  if (const std::shared_ptr<RunningLayout> run = running) run->relayout();
  if (pass == 0) startObservingWindows();
  bringLayoutToFront();
  logLayoutSnapshot(round + " after");
}

void LayoutCoordinator::observeSystemPause() {
  if (!platform.systemEvents) return;
  std::weak_ptr<LayoutCoordinator> weak = weak_from_this();
  systemPauseSubscription = platform.systemEvents->subscribe([weak](SystemEvent event) {
    if (const auto self = weak.lock()) self->handleSystemEvent(event);
  });
}

void LayoutCoordinator::beginPause(LayoutPause::Reason reason) {
  const bool started = pausing.begin(reason);
  const bool active = isLayoutRunning();
  pauseLog.write("pause begin " + std::string(caseName(reason)) + " started=" + flag(started) +
                 " active=" + flag(active));
  if (!started || !active) return;
  logLayoutSnapshot("paused");
  stopMaintenance();
}

void LayoutCoordinator::endPause(LayoutPause::Reason reason) {
  const bool resumed = pausing.end(reason);
  pauseLog.write("pause end " + std::string(caseName(reason)) + " resumed=" + flag(resumed));
  if (resumed) scheduleResume();
}

void LayoutCoordinator::endAllPauses() {
  const bool resumed = pausing.endAll();
  pauseLog.write(std::string("pause end all (unlock) resumed=") + flag(resumed));
  if (resumed) scheduleResume();
}

void LayoutCoordinator::scheduleResume() {
  if (!isLayoutRunning()) return;
  pausing.cancelResume();
  pausing.resume(walkDelays(
      platform.scheduler, shared_from_this(),
      Walk<LayoutCoordinator>{
          .delays = std::vector<double>(PauseState::kResumeDelays.begin(), PauseState::kResumeDelays.end()),
          .from = DelaysFrom::start,
          .step =
              [](LayoutCoordinator& self, std::size_t pass) {
                self.resumePass(pass);
                if (pass + 1 == PauseState::kResumeDelays.size()) self.pausing.resumeFinished();
                return WalkStep::next;
              },
          .stillWanted = [](LayoutCoordinator& self) { return !self.isPaused() && self.isLayoutRunning(); },
          .onEnd = nullptr,
      }));
}

}  // namespace tessarapane
