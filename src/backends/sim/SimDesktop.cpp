#include "backends/sim/SimDesktop.h"

#include <algorithm>
#include <utility>

#include "backends/sim/SimAlerts.h"
#include "backends/sim/SimElements.h"
#include "backends/sim/SimHotKeys.h"
#include "backends/sim/SimLog.h"
#include "backends/sim/SimUserDefaults.h"

namespace tessarapane {

namespace {

// One 1440 x 900 display with a 25-point menu bar, the usual laptop screen.
SimDisplay defaultDisplay() { return SimDisplay{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875)}; }

RunningApplication snapshot(const SimAppState& app) {
  return RunningApplication{app.desc.pid, app.desc.activationPolicy, app.desc.bundleIdentifier,
                            app.desc.localizedName, nullptr};
}

}  // namespace

std::shared_ptr<SimDesktop> SimDesktop::create(std::shared_ptr<Scheduler> scheduler) {
  return std::shared_ptr<SimDesktop>(new SimDesktop(std::move(scheduler)));
}

SimDesktop::SimDesktop(std::shared_ptr<Scheduler> scheduler)
    : scheduler_(std::move(scheduler)),
      timers_(scheduler_),
      observers_(scheduler_),
      workspaceSubscribers_(scheduler_),
      screenSubscribers_(scheduler_),
      systemEventSubscribers_(scheduler_),
      hotKeys_(std::make_shared<SimHotKeys>()),
      userDefaults_(std::make_shared<SimUserDefaults>()),
      log_(std::make_shared<SimLog>()),
      alerts_(std::make_shared<SimAlerts>()),
      displays_{defaultDisplay()} {}

SimDesktop::~SimDesktop() = default;

// --- Applications ------------------------------------------------------------

ProcessID SimDesktop::launchApplication(SimAppSpec desc) {
  if (desc.pid == 0) {
    while (apps_.count(nextPID_) != 0 || nextPID_ == currentProcessID_) ++nextPID_;
    desc.pid = nextPID_++;
  } else if (apps_.count(desc.pid) != 0) {
    return 0;
  }
  const ProcessID pid = desc.pid;
  auto& app = apps_[pid];
  app.desc = std::move(desc);
  postWorkspace(WorkspaceNotification::Kind::applicationLaunched, snapshot(app));
  return pid;
}

void SimDesktop::quitApplication(ProcessID pid) {
  auto found = apps_.find(pid);
  if (found == apps_.end()) return;
  const RunningApplication gone = snapshot(found->second);
  // Sheets go with their parents, so collect top-level windows only.
  std::vector<WindowID> owned;
  for (const auto& [number, state] : windows_) {
    if (state.owner() == pid && !state.isSheet()) owned.push_back(number);
  }
  for (WindowID number : owned) destroyWindow(number, false);
  apps_.erase(found);
  postWorkspace(WorkspaceNotification::Kind::applicationTerminated, gone);

  if (frontmost_ == pid) {
    frontmost_.reset();
    // The system hands the focus to the application of the front-most window.
    for (WindowID number : stack_) {
      const SimWindowState& state = windows_.at(number);
      const SimAppState* next = app(state.owner());
      if (next && next->desc.activationPolicy == ActivationPolicy::regular && !state.desc.minimized &&
          state.desc.onScreen && isOnCurrentDesktop(state.desc)) {
        makeFrontmost(state.owner());
        break;
      }
    }
  }
}

void SimDesktop::setAnswersAccessibility(ProcessID pid, bool answers) {
  if (auto* state = app(pid)) state->desc.answersAccessibility = answers;
  ++changes_;
}

void SimDesktop::setObserverCreationFails(ProcessID pid, bool fails) {
  if (auto* state = app(pid)) state->desc.observerCreationFails = fails;
}

bool SimDesktop::activateApplication(ProcessID pid) {
  SimAppState* state = app(pid);
  if (!state) return false;
  makeFrontmost(pid);
  // Activation brings the main and key windows forward, not every window.
  if (state->mainWindow && state->mainWindow != state->focusedWindow) raise(*state->mainWindow);
  if (state->focusedWindow) {
    raise(*state->focusedWindow);
  } else if (const auto owned = windowsOf(pid); !owned.empty()) {
    raise(owned.front());  // no key window: its front-most one
  }
  return true;
}

void SimDesktop::makeFrontmost(ProcessID pid) {
  if (frontmost_ == pid) return;
  SimAppState* state = app(pid);
  if (!state) return;
  frontmost_ = pid;
  postWorkspace(WorkspaceNotification::Kind::applicationActivated, snapshot(*state));
}

std::optional<RunningApplication> SimDesktop::runningApplication(ProcessID pid) const {
  auto found = apps_.find(pid);
  if (found == apps_.end()) return std::nullopt;
  return snapshot(found->second);
}

std::vector<RunningApplication> SimDesktop::runningApplications() const {
  std::vector<RunningApplication> all;
  for (const auto& [pid, state] : apps_) all.push_back(snapshot(state));
  return all;
}

SimAppState* SimDesktop::app(ProcessID pid) {
  auto found = apps_.find(pid);
  return found == apps_.end() ? nullptr : &found->second;
}

// --- Desktops and displays ---------------------------------------------------

void SimDesktop::switchDesktop(int desktop) {
  if (desktop == currentDesktop_) return;
  currentDesktop_ = desktop;
  postWorkspace(WorkspaceNotification::Kind::activeSpaceChanged, std::nullopt);
}

void SimDesktop::setDisplays(std::vector<SimDisplay> displays) {
  displays_ = std::move(displays);
  ++changes_;
  screenSubscribers_.post();
}

std::optional<SimDisplay> SimDesktop::mainDisplay() const {
  if (displays_.empty()) return std::nullopt;
  if (mainDisplay_) {
    for (const SimDisplay& display : displays_) {
      if (display.displayID == *mainDisplay_) return display;
    }
  }
  return displays_.front();
}

Rect SimDesktop::toAccessibilitySpace(const Rect& toolkitRect) const {
  // The flip is anchored at the primary display's top edge.
  const double primaryMaxY = displays_.empty() ? 0.0 : displays_.front().frame.maxY();
  return Rect(toolkitRect.x(), primaryMaxY - toolkitRect.maxY(), toolkitRect.width(), toolkitRect.height());
}

Rect SimDesktop::accessibilityBounds(DisplayID display) const {
  for (const SimDisplay& candidate : displays_) {
    if (candidate.displayID == display) return toAccessibilitySpace(candidate.frame);
  }
  return Rect::null();
}

std::optional<DisplayID> SimDesktop::displayContaining(const Rect& frame) const {
  const Point centre{frame.midX(), frame.midY()};
  for (const SimDisplay& display : displays_) {
    if (toAccessibilitySpace(display.frame).contains(centre)) return display.displayID;
  }
  if (displays_.empty()) return std::nullopt;
  return displays_.front().displayID;
}

// --- Window list ---------------------------------------------------------------

std::optional<std::vector<WindowInfo>> SimDesktop::readWindowList() {
  recorder_.countRead();
  if (unreadableListReads_ > 0) {
    --unreadableListReads_;
    return std::nullopt;
  }
  if (emptyListReads_ > 0) {
    --emptyListReads_;
    return std::vector<WindowInfo>{};
  }
  std::vector<WindowInfo> list;
  for (WindowID number : stack_) {
    const SimWindowState& state = windows_.at(number);
    const SimWindowSpec& desc = state.desc;
    if (!state.listed || !desc.onScreen || desc.minimized || !isOnCurrentDesktop(desc)) continue;
    const auto owner = apps_.find(desc.owner);
    if (owner == apps_.end()) continue;
    WindowInfo info;
    info.number = number;
    info.ownerPID = desc.owner;
    info.layer = desc.layer;
    info.bounds = desc.frame;
    info.alpha = desc.alpha;
    info.ownerName = owner->second.desc.localizedName;
    if (desc.titleInWindowList) info.name = desc.title;
    list.push_back(std::move(info));
  }
  return list;
}

// --- Notifications and records -------------------------------------------------

Subscription SimDesktop::subscribeWorkspace(std::function<void(const WorkspaceNotification&)> handler) {
  return workspaceSubscribers_.add(std::move(handler));
}

Subscription SimDesktop::subscribeScreenParameters(std::function<void()> handler) {
  return screenSubscribers_.add(std::move(handler));
}

Subscription SimDesktop::subscribeSystemEvents(std::function<void(SystemEvent)> handler) {
  return systemEventSubscribers_.add(std::move(handler));
}

void SimDesktop::postWorkspace(WorkspaceNotification::Kind kind, std::optional<RunningApplication> application) {
  ++changes_;
  workspaceSubscribers_.post(WorkspaceNotification{kind, std::move(application)});
}

void SimDesktop::notify(const AXElement& source, std::string_view notification, const AXElement& subject) {
  ++changes_;
  observers_.post(source, notification, subject, notificationLatency_);
}

void SimDesktop::record(SimCall call) {
  call.time = scheduler_->now();
  recorder_.record(std::move(call));
}

}  // namespace tessarapane
