// Tab operations as the strips and the hot keys ask for them: the running tab
// layout carries them out; closing a window waits for its answer here.
#include <cstddef>
#include <memory>
#include <utility>

#include "coordinator/LayoutCoordinator.h"
#include "coordinator/TabLayoutRun.h"
#include "tasks/TaskSteps.h"

namespace tessarapane {

namespace {

bool validPane(const LayoutSession& session, int pane) {
  return pane >= 0 && static_cast<std::size_t>(pane) < session.panes.size();
}

bool validTab(const PaneState& pane, int tab) { return tab >= 0 && static_cast<std::size_t>(tab) < pane.windows.size(); }

// How long a close task waits for the close operation's answer before it
// simply waits again.
constexpr double kCloseAnswerWait = 3600.0;

}  // namespace

std::shared_ptr<TabLayoutRun> LayoutCoordinator::runningTabs() const {
  if (!running || !running->tabs()) return nullptr;
  return std::shared_ptr<TabLayoutRun>(running, running->tabs());
}

void LayoutCoordinator::selectTab(int tabIndex, int paneIndex) {
  if (const std::shared_ptr<TabLayoutRun> tabs = runningTabs()) tabs->selectTab(tabIndex, paneIndex);
}

void LayoutCoordinator::closeTab(int tabIndex, int paneIndex) {
  const std::shared_ptr<TabLayoutRun> tabs = runningTabs();
  if (!tabs || !validPane(tabs->session(), paneIndex)) return;
  const PaneState& pane = tabs->session().panes[static_cast<std::size_t>(paneIndex)];
  if (!validTab(pane, tabIndex)) return;
  const ManagedWindow window = pane.windows[static_cast<std::size_t>(tabIndex)];
  if (closing.isWaiting(window.windowID)) return;

  // The close operation answers through its completion. It lives inside the
  // task's step, so cancelling the task drops the operation without an
  // answer; the task itself only keeps the table entry while it waits for
  // that answer (which comes within about a second; the long wait is re-armed
  // rather than infinite so that every scheduler can hold it).
  auto operation = std::make_shared<std::optional<WindowCloseOperation>>();
  std::weak_ptr<LayoutCoordinator> weak = weak_from_this();
  DelayedTask task = runSteps(platform.scheduler, shared_from_this(),
                              Steps<LayoutCoordinator>{
                                  .firstDelay = 0.0,
                                  .step =
                                      [operation, weak, window](LayoutCoordinator& self) {
                                        if (!operation->has_value()) {
                                          *operation = self.windowController.close(
                                              window, [weak, window](WindowCloseResult result) {
                                                const auto coordinator = weak.lock();
                                                if (!coordinator) return;
                                                coordinator->closing.cancel(window.windowID);
                                                coordinator->handleCloseResult(result, window);
                                              });
                                        }
                                        return NextWait::after(kCloseAnswerWait);
                                      },
                                  .stillWanted = nullptr,
                                  .onEnd = nullptr,
                              });
  closing.start(window.windowID, std::move(task));
}

void LayoutCoordinator::moveTab(int tabIndex, int paneIndex, PaneMoveDirection direction) {
  if (const std::shared_ptr<TabLayoutRun> tabs = runningTabs()) tabs->moveTab(tabIndex, paneIndex, direction);
}

void LayoutCoordinator::moveFocusedTab(PaneMoveDirection direction) {
  if (const std::shared_ptr<TabLayoutRun> tabs = runningTabs()) tabs->moveFocusedTab(direction);
}

void LayoutCoordinator::bringLayoutToFront() {
  const std::vector<ManagedWindow> visible = visibleManagedWindows();
  const std::optional<ManagedWindow> focused = windowController.focusedManagedWindow(managedWindows());
  const ManagedWindow* front = nullptr;
  if (focused) {
    for (const ManagedWindow& window : visible) {
      if (window.windowID == focused->windowID) {
        front = &window;
        break;
      }
    }
  }
  if (!front && !visible.empty()) front = &visible.front();
  if (!front) return;
  const ManagedWindow keep = *front;
  restackVisibleWindows(keep, true, false);
}

}  // namespace tessarapane
