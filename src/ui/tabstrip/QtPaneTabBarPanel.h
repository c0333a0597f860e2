#pragma once

#include <QPointer>

#include <memory>
#include <optional>
#include <vector>

#include "chrome/PaneTabBarLayout.h"
#include "chrome/PaneTabBarPanel.h"
#include "chrome/PaneTabPresentation.h"
#include "chrome/PaneTabStripLayout.h"
#include "geometry/Rect.h"
#include "layout/PaneMoveDirection.h"
#include "ui/overlay/ApplicationIcons.h"
#include "ui/overlay/OverlayPanel.h"

class QAbstractAnimation;

namespace tessarapane::ui {

class PaneTabItemView;
class PaneTabOverflowButton;
class PaneTabStripView;

// A pane's floating tab strip: one view per visible tab, an overflow button
// for the tabs that do not fit, the whole hugging its tabs at the left end of
// the pane's tab-bar strip. Changes of selection or tabs on a visible panel
// of unchanged size animate over 0.18 s (ease-out); anything else is applied
// at once.
class QtPaneTabBarPanel final : public OverlayPanel, public tessarapane::PaneTabBarPanel {
 public:
  static constexpr int kAnimationMilliseconds = 180;

  QtPaneTabBarPanel(const std::vector<PaneTabPresentation>& tabs, std::vector<PaneMoveDirection> moveDirections,
                  const Rect& frame, PaneTabBarHandlers handlers, std::shared_ptr<ApplicationIcons> icons,
                  ToolkitSpace space, std::shared_ptr<OverlayStage> stage = nullptr);
  ~QtPaneTabBarPanel() override;

  // tessarapane::PaneTabBarPanel
  void updateTabs(const std::vector<PaneTabPresentation>& tabs, int selectedIndex, const Rect& frame) override;
  void orderFrontRegardless() override;
  void orderOut() override;
  void close() override;

  // Takes the panel up again for another pane: as if made anew with these
  // arguments, but on the window it already has.
  void reuse(const std::vector<PaneTabPresentation>& tabs, std::vector<PaneMoveDirection> moveDirections,
             const Rect& frame, PaneTabBarHandlers handlers);
  // Hidden and holding nothing of the pane it showed, for reuse.
  void retire();

  const std::vector<PaneTabPresentation>& tabs() const { return tabs_; }
  int selectedIndex() const { return selectedIndex_; }
  const Rect& availableFrame() const { return availableFrame_; }
  const std::optional<PaneTabStripLayout>& stripLayout() const { return stripLayout_; }
  const std::vector<PaneTabItemView*>& tabItemViews() const { return tabItemViews_; }
  PaneTabStripView* tabStripView() const { return tabStripView_; }
  // The overflow button while it is shown; null otherwise.
  PaneTabOverflowButton* overflowButton() const;
  // The running layout animation, if any.
  QAbstractAnimation* runningAnimation() const;
  // How many times the layout was applied (equal updates do not apply it).
  int layoutPasses() const { return layoutPasses_; }

 protected:
  // The tabs and the overflow button; their shadows are left out, since
  // without blending they would be solid dark halos.
  QRegion drawnRegion() const override;

 private:
  void applyLayout(bool animated);
  PaneTabItemView* makeItemView();
  QRect stripGeometry(const PaneTabBarLayout& layout) const;

  std::vector<PaneMoveDirection> moveDirections_;
  PaneTabBarHandlers handlers_;
  std::shared_ptr<ApplicationIcons> icons_;
  Rect availableFrame_;
  std::vector<PaneTabPresentation> tabs_;
  int selectedIndex_ = -1;
  std::optional<PaneTabStripLayout> stripLayout_;
  PaneTabStripView* tabStripView_ = nullptr;
  std::vector<PaneTabItemView*> tabItemViews_;
  PaneTabOverflowButton* overflowButton_ = nullptr;
  QPointer<QAbstractAnimation> animation_;
  int layoutPasses_ = 0;
};

}  // namespace tessarapane::ui
