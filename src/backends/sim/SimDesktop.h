#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "backends/sim/SimElements.h"
#include "backends/sim/SimModel.h"
#include "backends/sim/SimObserverRegistry.h"
#include "backends/sim/SimRecorder.h"
#include "backends/sim/SimTimers.h"
#include "backends/sim/SimTypes.h"
#include "platform/Scheduler.h"
#include "platform/WindowManagerReport.h"
#include "platform/SystemEvents.h"
#include "platform/WindowServer.h"
#include "platform/Workspace.h"

namespace tessarapane {

class SimAlerts;
class SimHotKeys;
class SimLog;
class SimUserDefaults;

// The simulated desktop: applications, windows, displays, focus and stacking,
// all on the given scheduler's (virtual) time. Tests script it through the
// public calls below; the Sim* services give the code under test the
// platform's view of it. Scripted changes produce the notifications a real
// desktop would, delivered on a later turn of the main loop.
class SimDesktop : public std::enable_shared_from_this<SimDesktop> {
 public:
  static std::shared_ptr<SimDesktop> create(std::shared_ptr<Scheduler> scheduler);

  SimDesktop(const SimDesktop&) = delete;
  SimDesktop& operator=(const SimDesktop&) = delete;
  ~SimDesktop();

  const std::shared_ptr<Scheduler>& scheduler() const { return scheduler_; }
  SimRecorder& recorder() { return recorder_; }
  const std::shared_ptr<SimHotKeys>& hotKeys() const { return hotKeys_; }
  const std::shared_ptr<SimUserDefaults>& userDefaults() const { return userDefaults_; }
  const std::shared_ptr<SimLog>& log() const { return log_; }
  const std::shared_ptr<SimAlerts>& alerts() const { return alerts_; }

  // --- Applications -------------------------------------------------------

  // Starts an application (posts "launched"). Returns its pid, or 0 when the
  // pid is already taken.
  ProcessID launchApplication(SimAppSpec desc);
  // Ends it: its windows vanish without accessibility notifications (the
  // process is gone), "terminated" is posted, and when it was frontmost the
  // owner of the front-most remaining window becomes frontmost.
  void quitApplication(ProcessID pid);
  bool isRunning(ProcessID pid) const { return apps_.count(pid) != 0; }
  void setAnswersAccessibility(ProcessID pid, bool answers);
  void setObserverCreationFails(ProcessID pid, bool fails);
  // The user switches to the application: it becomes frontmost ("activated"
  // when it was not) and its focused and main windows come to the front.
  // False when it is not running.
  bool activateApplication(ProcessID pid);
  std::optional<ProcessID> frontmostApplication() const { return frontmost_; }
  ProcessID currentProcessID() const { return currentProcessID_; }
  void setCurrentProcessID(ProcessID pid) { currentProcessID_ = pid; }
  std::optional<RunningApplication> runningApplication(ProcessID pid) const;
  std::vector<RunningApplication> runningApplications() const;

  // --- Windows ------------------------------------------------------------

  // Opens a window at the front of the stack ("AXWindowCreated", and a focus
  // change when `desc.focused`). Returns its number, or 0 when the owner does
  // not run or the number is taken (numbers are never reused).
  WindowID createWindow(SimWindowSpec desc);
  // Attaches a sheet (role "AXSheet") to a window; 0 when the window is gone.
  WindowID attachSheet(WindowID parent, Rect frame);
  // The window goes away by the user's or the application's hand.
  void closeWindow(WindowID window);
  void setTitle(WindowID window, std::string title);
  // The user or the application moves the window (not recorded as a write).
  void moveWindow(WindowID window, Rect frame);
  // The user clicks the window: it comes to the front, becomes its
  // application's focused and main window, and the application frontmost.
  void focusWindow(WindowID window);
  void setMinimized(WindowID window, bool minimized);
  // Native full screen: the window covers its display and reads
  // "AXFullScreen" true; leaving restores the previous frame.
  void setFullScreen(WindowID window, bool fullScreen);
  void setOnScreen(WindowID window, bool onScreen);
  // Moves the window to another desktop (kSimAllDesktops: every desktop).
  void setDesktop(WindowID window, int desktop);
  bool isOnCurrentDesktop(const SimWindowSpec& desc) const {
    return desc.desktop == currentDesktop_ || desc.desktop == kSimAllDesktops;
  }
  // The live record, for silent edits (controls, settable flags, behaviour
  // counters). Null when the window does not exist.
  SimWindowState* window(WindowID window);
  const SimWindowState* window(WindowID window) const;
  bool windowExists(WindowID window) const { return windows_.count(window) != 0; }
  std::optional<Rect> frame(WindowID window) const;
  std::optional<WindowID> focusedWindow(ProcessID pid) const;
  std::optional<WindowID> mainWindow(ProcessID pid) const;
  // Windows of the current desktop, front-most first, whatever their state.
  std::vector<WindowID> stackingOrder() const;
  // The application's windows as its "AXWindows" lists them: sheets and
  // windows of other desktops left out, front-most first.
  std::vector<WindowID> windowsOf(ProcessID pid) const;

  // --- Window list ----------------------------------------------------------

  // The next `count` reads of the on-screen list fail (none) / come back empty.
  void failNextWindowListReads(int count) { unreadableListReads_ = count; }
  void emptyNextWindowListReads(int count) { emptyListReads_ = count; }
  // Counts down the scripted glitches; what the window server hands out.
  std::optional<std::vector<WindowInfo>> readWindowList();
  // Grows with every change a real window system would send an event for
  // (every notification, stacking, listing, desktop and display change);
  // silent edits of a window's record do not count.
  std::uint64_t changeCount() const { return changes_; }

  // --- Desktops and displays ----------------------------------------------

  // Switches the virtual desktop ("active desktop changed").
  void switchDesktop(int desktop);
  int currentDesktop() const { return currentDesktop_; }
  // Replaces the displays, primary first, and notifies screen subscribers.
  void setDisplays(std::vector<SimDisplay> displays);
  const std::vector<SimDisplay>& displays() const { return displays_; }
  // The display with the keyboard focus; the primary unless set.
  void setMainDisplay(DisplayID display) { mainDisplay_ = display; }
  std::optional<SimDisplay> mainDisplay() const;
  // A display's frame in accessibility space; null for an unknown display.
  Rect accessibilityBounds(DisplayID display) const;
  Rect toAccessibilitySpace(const Rect& toolkitRect) const;
  void failDisplayListReads(std::int32_t error) { displayListError_ = error; }
  std::int32_t displayListError() const { return displayListError_; }

  // --- Input, system, permission, workspace --------------------------------

  void setPressedMouseButtons(std::uint32_t buttons) { mouseButtons_ = buttons; }
  std::uint32_t pressedMouseButtons() const { return mouseButtons_; }
  void postSystemEvent(SystemEvent event) { systemEventSubscribers_.post(event); }
  // Untrusted: no window manager runs. A window manager that lacks features
  // leaves the process untrusted too.
  void setProcessTrusted(bool trusted) { trusted_ = trusted; }
  void setMissingWindowManagerFeatures(std::vector<std::string> missing) { missingFeatures_ = std::move(missing); }
  bool isProcessTrusted() const { return trusted_ && missingFeatures_.empty(); }
  WindowManagerReport windowManagerReport() const { return {trusted_, trusted_ ? "simwm" : "", missingFeatures_}; }
  void notePermissionPrompt() { ++permissionPrompts_; }
  int permissionPrompts() const { return permissionPrompts_; }
  // Accessibility notifications arrive this many seconds after the change
  // (0: on the next turn of the main loop).
  void setNotificationLatency(double seconds) { notificationLatency_ = seconds; }
  void setFrontProcessMode(SimFrontProcessMode mode) { frontProcessMode_ = mode; }
  SimFrontProcessMode frontProcessMode() const { return frontProcessMode_; }
  // Addresses that nothing can open.
  void refuseAddress(std::string address) { refusedAddresses_.insert(std::move(address)); }
  bool isAddressRefused(const std::string& address) const { return refusedAddresses_.count(address) != 0; }

  Subscription subscribeWorkspace(std::function<void(const WorkspaceNotification&)> handler);
  Subscription subscribeScreenParameters(std::function<void()> handler);
  Subscription subscribeSystemEvents(std::function<void(SystemEvent)> handler);

  // --- Used by the Sim* services -------------------------------------------

  SimAppState* app(ProcessID pid);
  SimObserverRegistry& observers() { return observers_; }
  // Posts an accessibility notification about an element.
  void notify(const AXElement& source, std::string_view notification, const AXElement& subject);
  void notify(const AXElement& source, std::string_view notification) { notify(source, notification, source); }
  // Raises a window to the front of the stack, its sheets above it.
  void raise(WindowID window);
  // Makes a window its application's focused (and main) window.
  void focusWithinApplication(WindowID window, bool alsoMain);
  // Workspace-side activation: frontmost plus "activated" when it changes.
  void makeFrontmost(ProcessID pid);
  // Frame writes and presses, with the window's behaviour applied.
  AXError requestPosition(WindowID window, Point position);
  AXError requestSize(WindowID window, Size size);
  AXError pressControl(WindowID window, SimControlKind control);
  bool isControlEnabled(const SimWindowState& window, SimControlKind control) const;
  void record(SimCall call);

 private:
  explicit SimDesktop(std::shared_ptr<Scheduler> scheduler);

  // The requested number, or the next free one for 0; 0 when taken.
  WindowID takeWindowNumber(WindowID requested);
  void destroyWindow(WindowID window, bool notifyObservers);
  void moveFocusAwayFrom(WindowID window, bool notifyObservers);
  void applyFrame(WindowID window, Rect frame);
  void toggleZoom(WindowID window);
  void scheduleSelfMoves(const SimWindowState& window);
  void applyLater(WindowID window, double delay, std::function<void(SimWindowState&)> change);
  std::optional<DisplayID> displayContaining(const Rect& frame) const;
  void postWorkspace(WorkspaceNotification::Kind kind, std::optional<RunningApplication> application);

  // Declared first: destroyed last, after every timer handle of ours.
  std::shared_ptr<Scheduler> scheduler_;
  SimTimers timers_;
  SimObserverRegistry observers_;
  SimSubscribers<const WorkspaceNotification&> workspaceSubscribers_;
  SimSubscribers<> screenSubscribers_;
  SimSubscribers<SystemEvent> systemEventSubscribers_;

  SimRecorder recorder_;
  std::shared_ptr<SimHotKeys> hotKeys_;
  std::shared_ptr<SimUserDefaults> userDefaults_;
  std::shared_ptr<SimLog> log_;
  std::shared_ptr<SimAlerts> alerts_;

  std::map<ProcessID, SimAppState> apps_;
  std::map<WindowID, SimWindowState> windows_;
  std::vector<WindowID> stack_;  // every window, front-most first
  std::set<WindowID> retiredNumbers_;
  ProcessID nextPID_ = 500;
  WindowID nextWindowNumber_ = 100;
  std::optional<ProcessID> frontmost_;
  ProcessID currentProcessID_ = 99;

  std::vector<SimDisplay> displays_;
  std::optional<DisplayID> mainDisplay_;
  std::int32_t displayListError_ = 0;
  int currentDesktop_ = 0;

  std::uint64_t changes_ = 0;
  int unreadableListReads_ = 0;
  int emptyListReads_ = 0;
  std::uint32_t mouseButtons_ = 0;
  bool trusted_ = true;
  std::vector<std::string> missingFeatures_;
  int permissionPrompts_ = 0;
  double notificationLatency_ = 0.0;
  SimFrontProcessMode frontProcessMode_ = SimFrontProcessMode::succeeds;
  std::set<std::string> refusedAddresses_;
};

}  // namespace tessarapane
