#pragma once

#include <memory>

#include "chrome/BentoDividerController.h"
#include "ui/overlay/OverlayPanel.h"

namespace tessarapane::ui {

class BentoDividerHandleView;

// The small floating panel over one divider's hit area; its content is the
// handle view. It takes the pointer, never the focus.
class BentoDividerHandlePanel final : public OverlayPanel {
 public:
  BentoDividerHandlePanel(std::weak_ptr<const BentoDividerCallbacks> callbacks, ToolkitSpace space,
                          std::shared_ptr<OverlayStage> stage = nullptr);

  BentoDividerHandleView* handleView() const { return handleView_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // The gap between the tiles and the grip. Clicks anywhere along the gap
  // start a drag; the parts over the neighbouring tiles are left to them.
  QRegion drawnRegion() const override;

 private:
  BentoDividerHandleView* handleView_ = nullptr;
};

}  // namespace tessarapane::ui
