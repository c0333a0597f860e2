#pragma once

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "coordinator/RunningLayout.h"
#include "layout/LayoutKind.h"
#include "layout/LayoutSession.h"
#include "layout/PaneMoveDirection.h"
#include "platform/Screens.h"

namespace tessarapane {

// A running tab layout: its session (panes, tabs, original frames) and the
// strip panels over its panes, the tab operations, and keeping the panes in
// step with the live windows.
class TabLayoutRun final : public RunningLayout {
 public:
  TabLayoutRun(LayoutCoordinator& coordinator, std::shared_ptr<LayoutSession> session);

  LayoutKind kind() const { return session_->kind; }
  const LayoutSession& session() const { return *session_; }

  void applyInitialFrames() override;
  void installChrome() override;
  RememberedLayout remembered() const override { return RememberedLayout::tabs(startedKind_); }
  void refresh(bool discoverNewWindows) override;
  void focusChanged() override;
  void adopt(const ManagedWindow& window) override;
  void dropClosedWindows() override;
  void relayout() override;
  void refreshTitles() override;
  bool enforceFrame(WindowID windowID) override;
  void bringChromeToFront() override;
  void exit(bool restoringFrames) override;
  std::vector<ManagedWindow> managedWindows() const override { return session_->allWindows(); }
  std::vector<ManagedWindow> visibleWindows() const override;
  const std::unordered_map<WindowID, Rect>& originalFrames() const override { return session_->originalFrames; }
  void describe(LayoutSnapshot& snapshot) const override;
  TabLayoutRun* tabs() override { return this; }

  // Re-fits the panes to the display and to where the user dragged windows,
  // and takes in windows not held yet: starting the running kind again.
  void reconcile();
  void selectTab(int tabIndex, int paneIndex);
  void moveTab(int tabIndex, int paneIndex, PaneMoveDirection direction);
  void moveFocusedTab(PaneMoveDirection direction);

 private:
  void moveTab(int tabIndex, int fromPane, int toPane);
  void expandFullScreenToSplit2(int movingTab, int paneIndex, PaneMoveDirection direction);
  void createOrUpdateTabBar(int paneIndex, bool bringToFront);
  void removeClosedWindows();
  void releaseNativeFullScreenWindows();
  void synchronizeTabSelectionWithSystemFocus();
  // Updates the session's screen (when one is found) and display
  // identifier, and returns its screen.
  Screen resolvedScreen();

  std::shared_ptr<LayoutSession> session_;
  LayoutKind startedKind_;
};

}  // namespace tessarapane
