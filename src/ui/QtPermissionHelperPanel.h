#pragma once

#include <QIcon>

#include <string>

#include "permission/PermissionHelperPanel.h"
#include "ui/OverlayPanel.h"

namespace tessarapane::ui {

class HelperPillView;

// The floating, non-activating panel holding the drag-helper pill, 360 x 36
// at first; frames in toolkit space.
class QtPermissionHelperPanel final : public OverlayPanel, public PermissionHelperPanel {
 public:
  static constexpr int kInitialWidth = 360;
  static constexpr int kHeight = 36;

  QtPermissionHelperPanel(const std::string& text, QIcon applicationIcon, ToolkitSpace space);

  std::string text() const override;
  void setText(const std::string& text) override;
  double fittingWidth() const override;
  Rect frame() const override;
  void setFrame(const Rect& frame) override;
  bool isVisible() const override;
  void orderFrontRegardless() override;
  void hide() override;

  HelperPillView* pill() const { return pill_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  HelperPillView* pill_ = nullptr;
};

}  // namespace tessarapane::ui
