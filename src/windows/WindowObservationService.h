#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/AXElement.h"
#include "platform/Accessibility.h"
#include "platform/ManagedWindow.h"
#include "platform/Platform.h"
#include "platform/Subscription.h"
#include "platform/Workspace.h"

namespace tessarapane {

// Turns accessibility and workspace notifications into four plain events
// for the coordinator. Keeps one accessibility observer per running regular
// application while running, registering applications as they launch or
// come to the front and dropping them when they quit.
//
// Made with create(): the platform's callbacks hold the service weakly, so
// they never keep it alive. It holds the four actions it was given and
// nothing else of its owner; actions that need their owner hold it weakly.
// No action is called after stop(), not even for a notification already
// queued.
class WindowObservationService : public std::enable_shared_from_this<WindowObservationService> {
 public:
  static std::shared_ptr<WindowObservationService> create(const Platform& platform,
                                                          std::function<void(ProcessID)> onWindowCreated,
                                                          std::function<void()> onWindowStateChanged,
                                                          std::function<void()> onFocusChanged,
                                                          std::function<void()> onTitleChanged);
  ~WindowObservationService();

  WindowObservationService(const WindowObservationService&) = delete;
  WindowObservationService& operator=(const WindowObservationService&) = delete;

  // Subscribes to the workspace and registers every running application,
  // without asking for reconciliation. Nothing when already running.
  void start();
  // Unsubscribes and drops every registration. Nothing when not running.
  void stop();

  bool isRunning() const { return isRunning_; }
  bool isRegistered(ProcessID pid) const { return registrations.count(pid) != 0; }

  // A window appeared, or an application was registered that may have new
  // windows.
  const std::function<void(ProcessID)> onWindowCreated;
  // A window was destroyed, an application quit, or the desktop changed.
  const std::function<void()> onWindowStateChanged;
  // The focused window or the frontmost application changed.
  const std::function<void()> onFocusChanged;
  // Some observed window's title changed.
  const std::function<void()> onTitleChanged;

 private:
  struct Registration {
    AXElement applicationElement;
    AXObserver observer;
  };

  WindowObservationService(const Platform& platform, std::function<void(ProcessID)> onWindowCreated,
                           std::function<void()> onWindowStateChanged, std::function<void()> onFocusChanged,
                           std::function<void()> onTitleChanged);

  // `register` is taken by the language.
  void registerApplication(const RunningApplication& application, bool reconcileAfterRegistration);
  void unregister(ProcessID pid);
  void observeWindow(AXObserver observer, const AXElement& window);
  void dropAllRegistrations();
  void handleWorkspaceNotification(const WorkspaceNotification& notification);
  // Every observer's notifications arrive here.
  void windowObservationCallback(AXObserver observer, const AXElement& element, const std::string& notification);

  std::shared_ptr<Accessibility> accessibility_;
  std::shared_ptr<Workspace> workspace_;
  std::map<ProcessID, Registration> registrations;
  bool isRunning_ = false;
  Subscription workspaceSubscription_;
};

}  // namespace tessarapane
