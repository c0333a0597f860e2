#include "windows/WindowObservationService.h"

#include <optional>
#include <utility>
#include <vector>

#include "windows/AXHelpers.h"

namespace tessarapane {

std::shared_ptr<WindowObservationService> WindowObservationService::create(
    const Platform& platform, std::function<void(ProcessID)> onWindowCreated,
    std::function<void()> onWindowStateChanged, std::function<void()> onFocusChanged,
    std::function<void()> onTitleChanged) {
  return std::shared_ptr<WindowObservationService>(
      new WindowObservationService(platform, std::move(onWindowCreated), std::move(onWindowStateChanged),
                                   std::move(onFocusChanged), std::move(onTitleChanged)));
}

WindowObservationService::WindowObservationService(const Platform& platform,
                                                   std::function<void(ProcessID)> onWindowCreated,
                                                   std::function<void()> onWindowStateChanged,
                                                   std::function<void()> onFocusChanged,
                                                   std::function<void()> onTitleChanged)
    : onWindowCreated(std::move(onWindowCreated)),
      onWindowStateChanged(std::move(onWindowStateChanged)),
      onFocusChanged(std::move(onFocusChanged)),
      onTitleChanged(std::move(onTitleChanged)),
      accessibility_(platform.accessibility),
      workspace_(platform.workspace) {}

WindowObservationService::~WindowObservationService() { dropAllRegistrations(); }

void WindowObservationService::start() {
  if (isRunning_) return;
  isRunning_ = true;
  std::weak_ptr<WindowObservationService> weak = weak_from_this();
  workspaceSubscription_ = workspace_->subscribe([weak](const WorkspaceNotification& notification) {
    if (auto self = weak.lock()) self->handleWorkspaceNotification(notification);
  });
  for (const RunningApplication& application : workspace_->runningApplications()) {
    if (!isRunning_) return;
    registerApplication(application, false);
  }
}

void WindowObservationService::stop() {
  if (!isRunning_) return;
  isRunning_ = false;
  workspaceSubscription_.cancel();
  dropAllRegistrations();
}

void WindowObservationService::dropAllRegistrations() {
  auto dropped = std::exchange(registrations, {});
  for (const auto& entry : dropped) accessibility_->destroyObserver(entry.second.observer);
}

void WindowObservationService::registerApplication(const RunningApplication& application,
                                                   bool reconcileAfterRegistration) {
  const ProcessID pid = application.processIdentifier;
  if (application.activationPolicy != ActivationPolicy::regular || pid == workspace_->currentProcessID()) return;
  if (registrations.count(pid) != 0) return;

  std::weak_ptr<WindowObservationService> weak = weak_from_this();
  const AXObserverCreateResult created = accessibility_->createObserver(
      pid, [weak](AXObserver observer, const AXElement& element, const std::string& notification) {
        if (auto self = weak.lock()) self->windowObservationCallback(observer, element, notification);
      });
  if (created.error != AXError::success || !created.observer) return;
  const AXObserver observer = *created.observer;

  const AXElement applicationElement = accessibility_->createApplication(pid);
  const AXError added = accessibility_->addNotification(observer, applicationElement, "AXWindowCreated");
  if (added != AXError::success && added != AXError::notificationAlreadyRegistered) {
    // Not kept: let it go, so the next activation starts afresh.
    accessibility_->destroyObserver(observer);
    return;
  }
  accessibility_->addNotification(observer, applicationElement, "AXFocusedWindowChanged");
  registrations.emplace(pid, Registration{applicationElement, observer});
  for (const AXElement& window : AXHelpers::windows(*accessibility_, applicationElement)) {
    observeWindow(observer, window);
  }
  if (reconcileAfterRegistration && isRunning_ && onWindowCreated) onWindowCreated(pid);
}

void WindowObservationService::observeWindow(AXObserver observer, const AXElement& window) {
  accessibility_->addNotification(observer, window, "AXUIElementDestroyed");
  accessibility_->addNotification(observer, window, "AXTitleChanged");
}

void WindowObservationService::unregister(ProcessID pid) {
  auto node = registrations.extract(pid);
  if (node) accessibility_->destroyObserver(node.mapped().observer);
}

void WindowObservationService::handleWorkspaceNotification(const WorkspaceNotification& notification) {
  if (!isRunning_) return;
  const auto& application = notification.application;
  switch (notification.kind) {
    case WorkspaceNotification::Kind::applicationLaunched:
      if (application) registerApplication(*application, true);
      break;
    case WorkspaceNotification::Kind::applicationTerminated:
      if (!application) break;
      unregister(application->processIdentifier);
      if (isRunning_ && onWindowStateChanged) onWindowStateChanged();
      break;
    case WorkspaceNotification::Kind::applicationActivated:
      if (application) registerApplication(*application, true);
      if (isRunning_ && onFocusChanged) onFocusChanged();
      break;
    case WorkspaceNotification::Kind::activeSpaceChanged:
      if (onWindowStateChanged) onWindowStateChanged();
      break;
  }
}

void WindowObservationService::windowObservationCallback(AXObserver observer, const AXElement& element,
                                                         const std::string& notification) {
  if (!isRunning_) return;
  std::optional<ProcessID> pid;
  for (const auto& [key, registration] : registrations) {
    if (registration.observer == observer) {
      pid = key;
      break;
    }
  }
  if (!pid) return;
  if (notification == "AXWindowCreated") {
    observeWindow(observer, element);
    if (onWindowCreated) onWindowCreated(*pid);
  } else if (notification == "AXUIElementDestroyed") {
    if (onWindowStateChanged) onWindowStateChanged();
  } else if (notification == "AXFocusedWindowChanged") {
    if (onFocusChanged) onFocusChanged();
  } else if (notification == "AXTitleChanged") {
    if (onTitleChanged) onTitleChanged();
  }
}

}  // namespace tessarapane
