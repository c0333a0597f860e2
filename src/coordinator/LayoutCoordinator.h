#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "bento/BentoChildSlot.h"
#include "bento/BentoSession.h"
#include "chrome/ChromeFactory.h"
#include "coordinator/FrameEnforcement.h"
#include "coordinator/LayoutPause.h"
#include "coordinator/LayoutSnapshot.h"
#include "coordinator/LogChannel.h"
#include "coordinator/PauseState.h"
#include "coordinator/RestackState.h"
#include "coordinator/RunningLayout.h"
#include "coordinator/SettledAdoption.h"
#include "coordinator/WindowClosing.h"
#include "geometry/Point.h"
#include "geometry/Rect.h"
#include "layout/LayoutEngine.h"
#include "layout/LayoutKind.h"
#include "layout/LayoutMemory.h"
#include "layout/LayoutSession.h"
#include "layout/PaneMoveDirection.h"
#include "platform/ManagedWindow.h"
#include "platform/Platform.h"
#include "platform/Screens.h"
#include "platform/Subscription.h"
#include "tasks/DelayedTask.h"
#include "tasks/TaskTable.h"
#include "windows/WindowCloseResult.h"
#include "windows/WindowController.h"
#include "windows/WindowIndexer.h"
#include "windows/WindowObservationService.h"

namespace tessarapane {

class GridLayoutRun;
class TabLayoutRun;

// The one object that owns the running layout (a tab layout or the grid,
// never both, behind RunningLayout) and keeps it consistent with the live
// windows of other applications: starting and leaving layouts, the tab and
// divider operations, observation and settled adoption, frame enforcement,
// restacking, screen changes, pausing and closing windows.
//
// Main thread only. Made with create(): every delayed task, panel handler and
// platform callback holds it weakly and does nothing once it is gone. Its
// implementation is split over LayoutCoordinator*.cpp by concern; the
// running layouts and the machinery with its task tables have their own
// files.
class LayoutCoordinator : public std::enable_shared_from_this<LayoutCoordinator> {
 public:
  // The application's own identifier, the subsystem of its log lines.
  static constexpr std::string_view kLogSubsystem = ::tessarapane::kLogSubsystem;
  static constexpr std::string_view kPauseLogCategory = "Pause";

  // Builds the indexer, controller and layout memory, and subscribes to
  // display changes and then to the pause notifications.
  static std::shared_ptr<LayoutCoordinator> create(const Platform& platform,
                                                   std::shared_ptr<ChromeFactory> chromeFactory);
  ~LayoutCoordinator();

  LayoutCoordinator(const LayoutCoordinator&) = delete;
  LayoutCoordinator& operator=(const LayoutCoordinator&) = delete;

  // Starts a tab layout of `kind`, or reconciles it when that kind runs.
  void startLayout(LayoutKind kind);
  // Starts the grid over the windows of the current desktop.
  void startBento();
  // Leaves the running layout of either family. True (only the termination
  // notice) keeps the windows where they are and the remembered layout.
  void exitLayout(bool keepingRememberedLayout);
  // After launch, brings back the layout that ran at the last termination.
  void restoreRememberedLayout();
  // Leaves the layout as the menu's exit item does, once its windows can be
  // put back. Without the accessibility permission (on X11: without a window
  // manager) nothing would move them and their frames would be forgotten, so
  // the layout and its frames stay and it is left as soon as the permission
  // is back. True when the layout was left now.
  bool leaveLayout();

  // The tab strips' operations, and the hot keys' move of the focused tab.
  void selectTab(int tabIndex, int paneIndex);
  void closeTab(int tabIndex, int paneIndex);
  void moveTab(int tabIndex, int paneIndex, PaneMoveDirection direction);
  void moveFocusedTab(PaneMoveDirection direction);

  // The grid's divider handles.
  void beginBentoDividerDrag();
  void updateBentoDividerDrag(const BentoPath& path, Point locationInScreen);
  void endBentoDividerDrag();

  // What is running, as a value.
  LayoutSnapshot snapshot() const;

  const Platform platform;

  // Called when a layout is requested without the accessibility permission.
  std::function<void()> onAccessibilityMissing;
  // While set, a message for the user (title, text) goes here instead of a
  // modal alert: the request came from a script, whose caller is told.
  std::function<void(std::string_view, std::string_view)> messageRedirect;

 private:
  // --- Shared delay tables (seconds) ---------------------------------------

  // Reconciliation after an application reported a new window.
  static constexpr std::array<double, 5> eventRetryDelays = {0.0, 0.03, 0.08, 0.18, 0.4};
  // Laying the layout out again after the displays changed.
  static constexpr std::array<double, 4> screenRelayoutDelays = {0.0, 0.08, 0.25, 0.7};

  // --- Other fixed values ---------------------------------------------------

  static constexpr double kReconciliationInterval = 15.0;
  // A window this close to its target on every edge is not written again.
  static constexpr double kFrameSkipTolerance = 1.0;
  static constexpr double kCloseFollowUpDelay = 0.2;
  static constexpr double kBentoGap = 8.0;
  // How often a waiting leave looks for the accessibility permission.
  static constexpr double kPendingExitCheckInterval = 0.5;
  // A waiting leave goes ahead after this many checks with the permission,
  // even when a window is not listed again.
  static constexpr int kPendingExitMaximumChecks = 10;

  friend class RunningLayout;
  friend class TabLayoutRun;
  friend class GridLayoutRun;

  void beginLayout(LayoutKind kind, const Screen& screen, const WindowsByPane& windowsByPane);
  // Makes `started` the running layout: its frames now, its chrome, the
  // observation and the remembered layout once the frames were carried out.
  void run(const std::shared_ptr<RunningLayout>& started);
  std::optional<Screen> primaryScreen();
  std::optional<std::vector<ManagedWindow>> manageableWindows();
  std::optional<Screen> resolveLayoutScreen(DisplayID preferredDisplayID, const std::vector<ManagedWindow>& windows);
  void restoreOriginalFrames(const std::unordered_map<WindowID, Rect>& originalFrames,
                             const std::vector<ManagedWindow>& windows);
  void stopMaintenance();
  // Every window of the layout that still exists is among its application's
  // windows again.
  bool everyWindowListedAgain();
  // A layout being replaced first puts its windows back to where they were
  // before it; those frames, not the ones it gave them, are where the windows
  // go when the next layout ends.
  std::unordered_map<WindowID, Rect> runningOriginalFrames() const;

  // --- Tab operations -------------------------------------------------------

  // The running layout of one family; none while the other or nothing runs.
  std::shared_ptr<TabLayoutRun> runningTabs() const;
  std::shared_ptr<GridLayoutRun> runningGrid() const;
  void bringLayoutToFront();

  // --- Reconciliation -------------------------------------------------------

  // The observation service, made on first use with the four actions.
  WindowObservationService& observationService();
  void startObservingWindows();
  // The periodic sweep: re-reads every window, but only when the platform
  // saw a change since the last one (an idle desktop costs no reads).
  void reconcileAllWindows();
  void scheduleWindowReconciliation(ProcessID ownerPID);
  // Starts settled adoption for each new window; the number of new windows.
  int reconcileNewWindows(ProcessID ownerPID);
  void scheduleSettledAdoption(const ManagedWindow& window);
  // A window settled: it joins when the layout still runs and the window is
  // still there, on screen and not full screen.
  void adoptSettledWindow(const ManagedWindow& window);
  std::vector<ManagedWindow> unmanagedWindows(const std::vector<ManagedWindow>& among,
                                              const std::vector<ManagedWindow>& comparedWith);
  void markWindowsClosedOutsideTessarapane(const std::vector<ManagedWindow>& among);
  void forgetReleasedWindows(const std::vector<ManagedWindow>& windows,
                             std::unordered_map<WindowID, Rect>& originalFrames);
  void refreshWindowTitles();
  std::vector<ManagedWindow> visibleManagedWindows();
  void cancelAllAdoptions();

  // --- Frame enforcement and restacking -------------------------------------

  void scheduleFrameEnforcement(WindowID windowID);
  // True when nothing more needs doing for the window.
  bool enforceManagedWindowFrame(WindowID windowID);
  // Native full screen belongs to the platform: such a window is left alone.
  bool isExemptFromEnforcement(const ManagedWindow& window);
  void cancelAllFrameEnforcement();
  void restackVisibleWindows(const ManagedWindow& keepingFront, bool forced, bool allowRecheck);
  void scheduleStackRecheck(const ManagedWindow& keepingFront);
  void screenParametersDidChange();
  void scheduleScreenRelayout();

  // --- Pause and resume -----------------------------------------------------

  void observeSystemPause();
  void handleSystemEvent(SystemEvent event);
  // One resume pass: lay the layout out again and bring it to the front; the
  // first pass also restarts the maintenance the pause stopped.
  void resumePass(std::size_t pass);
  void beginPause(LayoutPause::Reason reason);
  void endPause(LayoutPause::Reason reason);
  void endAllPauses();
  void scheduleResume();

  // --- Closing windows ------------------------------------------------------

  void handleCloseResult(WindowCloseResult result, const ManagedWindow& window);
  // A modal informational alert with one button "好"; returns when dismissed.
  void showMessage(std::string_view title, std::string_view message);

  // --- Snapshot log ---------------------------------------------------------

  void logLayoutSnapshot(std::string_view reason);

  // --- Window checks shared by the parts above ------------------------------

  bool isLayoutRunning() const { return running != nullptr; }
  bool isPaused() const { return pausing.isPaused(); }
  // Every managed window: the panes' in pane and tab order, or the grid's
  // leaves in leaf order; empty without a layout.
  std::vector<ManagedWindow> managedWindows() const;
  // "AXRole" no longer reads as text.
  bool isGone(const ManagedWindow& window);
  // "AXFullScreen" is true or the live frame covers a whole display.
  bool isInNativeFullScreen(const ManagedWindow& window, const std::vector<Rect>& displays);
  bool isInNativeFullScreen(const ManagedWindow& window);
  std::vector<Rect> displayRects();
  std::optional<Rect> liveFrame(const ManagedWindow& window);
  // Toolkit space to accessibility space and back, about the primary screen.
  Rect convertFrame(const Rect& rect);
  // Brings the window's process forward as a click would; skipped where the
  // platform cannot.
  void bringProcessForward(ProcessID pid);
  bool isPrimaryMouseButtonDown();

  const std::shared_ptr<ChromeFactory> chromeFactory;

  LayoutCoordinator(const Platform& platform, std::shared_ptr<ChromeFactory> chromeFactory);

  // --- State, in declaration order -------------------------------------------

  WindowIndexer windowIndexer;
  WindowController windowController;
  LayoutMemory layoutMemory;
  Subscription reconciliationTimer;
  // The window server's change count when the windows were last read whole.
  std::optional<std::uint64_t> sweptAtChangeCount;
  TaskTable<ProcessID> reconciliationTasks;
  SettledAdoption adoption;
  FrameEnforcement frameEnforcement;
  WindowClosing closing;
  std::optional<DelayedTask> screenRelayoutTask;
  RestackState restack;
  PauseState pausing;
  // A leave that waits for the accessibility permission (leaveLayout()).
  std::optional<DelayedTask> pendingExitTask;
  // Made on first use (observationService()).
  std::shared_ptr<WindowObservationService> windowObservationService;
  // The tab layout or the grid; none without a layout.
  std::shared_ptr<RunningLayout> running;

  LogChannel pauseLog;

  // Last, so they go first: no platform callback reaches a half-destroyed
  // coordinator. The pause subscription is set by observeSystemPause().
  Subscription screenParametersSubscription;
  Subscription systemPauseSubscription;
};

}  // namespace tessarapane
