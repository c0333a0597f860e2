#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "bento/BentoChildSlot.h"
#include "bento/BentoSession.h"
#include "coordinator/RunningLayout.h"
#include "geometry/Point.h"

namespace tessarapane {

// A running grid layout: its session (split tree, original frames) with the
// divider controller and the drag preview, putting the windows on their
// tiles, the divider drag, and keeping the tiles in step with the live
// windows.
class GridLayoutRun final : public RunningLayout {
 public:
  GridLayoutRun(LayoutCoordinator& coordinator, std::shared_ptr<BentoSession> session);

  void applyInitialFrames() override { applyFrames(); }
  void installChrome() override;
  RememberedLayout remembered() const override { return RememberedLayout::grid(); }
  void refresh(bool discoverNewWindows) override;
  void focusChanged() override;
  void adopt(const ManagedWindow& window) override;
  // Closed tiles leave at the next refresh.
  void dropClosedWindows() override {}
  void relayout() override;
  void refreshTitles() override;
  bool enforceFrame(WindowID windowID) override;
  void exit(bool restoringFrames) override;
  std::vector<ManagedWindow> managedWindows() const override;
  std::vector<ManagedWindow> visibleWindows() const override { return managedWindows(); }
  const std::unordered_map<WindowID, Rect>& originalFrames() const override { return session_->originalFrames; }
  void describe(LayoutSnapshot& snapshot) const override;
  GridLayoutRun* grid() override { return this; }

  void beginDividerDrag();
  void updateDividerDrag(const BentoPath& path, Point locationInScreen);
  void endDividerDrag();

 private:
  void applyFrames();
  // Lays the current tree out again and hands the dividers to the divider
  // controller, when there is one.
  void updateDividers();
  void releaseNativeFullScreenWindows();

  std::shared_ptr<BentoSession> session_;
};

}  // namespace tessarapane
