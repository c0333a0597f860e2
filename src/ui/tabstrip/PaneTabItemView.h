#pragma once

#include <QColor>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "chrome/PaneTabDisplayMode.h"
#include "chrome/PaneTabItemLayout.h"
#include "chrome/PaneTabPresentation.h"
#include "layout/PaneMoveDirection.h"
#include "ui/overlay/ApplicationIcons.h"

namespace tessarapane::ui {

class PaneTabChromeButton;
class PaneTabSelectButton;

// One visible tab: backdrop and tint, the select button (icon and title), the
// move arrows and the close button, laid out by PaneTabItemLayout. In full
// mode the arrows show only on the selected or hovered tab.
class PaneTabItemView final : public QWidget {
 public:
  struct Handlers {
    std::function<void(int tabIndex)> selection;
    std::function<void(int tabIndex)> close;
    std::function<void(int tabIndex, PaneMoveDirection direction)> move;
  };

  PaneTabItemView(std::vector<PaneMoveDirection> moveDirections, Handlers handlers,
                  std::shared_ptr<ApplicationIcons> icons, QWidget* parent = nullptr);

  // The tab this view shows; set at every layout.
  void setTabIndex(int tabIndex) { tabIndex_ = tabIndex; }
  int tabIndex() const { return tabIndex_; }

  void setDisplayMode(PaneTabDisplayMode mode);
  PaneTabDisplayMode displayMode() const { return displayMode_; }

  // Icon, tooltip and label are re-applied only when the title or owner
  // changed, the selection look only when the selection changed.
  void updateTab(const PaneTabPresentation& tab, bool isSelected);
  const std::optional<PaneTabPresentation>& tab() const { return tab_; }
  bool isSelected() const { return isSelected_; }
  bool isHovered() const { return isHovered_; }

  // The controls' frames for the current size, mode, selection and hover.
  PaneTabItemLayout itemLayout() const;
  // Puts the controls at those frames.
  void layoutControls();

  PaneTabSelectButton* selectButton() const { return selectButton_; }
  PaneTabChromeButton* closeButton() const { return closeButton_; }
  const std::vector<PaneTabChromeButton*>& moveButtons() const { return moveButtons_; }
  QWidget* moveButtonStack() const { return moveButtonStack_; }

  // The selection look.
  QColor tintColor() const;
  double shadowOpacity() const;
  double shadowRadius() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void applyDisplayMode();
  void updateSelection();

  std::vector<PaneMoveDirection> moveDirections_;
  Handlers handlers_;
  std::shared_ptr<ApplicationIcons> icons_;
  PaneTabSelectButton* selectButton_ = nullptr;
  PaneTabChromeButton* closeButton_ = nullptr;
  QWidget* moveButtonStack_ = nullptr;
  std::vector<PaneTabChromeButton*> moveButtons_;
  std::optional<PaneTabPresentation> tab_;
  bool isSelected_ = false;
  bool isHovered_ = false;
  int tabIndex_ = 0;
  PaneTabDisplayMode displayMode_ = PaneTabDisplayMode::full;
};

}  // namespace tessarapane::ui
