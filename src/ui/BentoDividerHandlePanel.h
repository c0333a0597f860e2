#pragma once

#include <memory>

#include "chrome/BentoDividerController.h"
#include "ui/OverlayPanel.h"

namespace tessarapane::ui {

class BentoDividerHandleView;

// The small floating panel over one divider's hit area; its content is the
// handle view. It takes the pointer, never the focus.
class BentoDividerHandlePanel final : public OverlayPanel {
 public:
  BentoDividerHandlePanel(std::weak_ptr<const BentoDividerCallbacks> callbacks, ToolkitSpace space);

  BentoDividerHandleView* handleView() const { return handleView_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  BentoDividerHandleView* handleView_ = nullptr;
};

}  // namespace tessarapane::ui
