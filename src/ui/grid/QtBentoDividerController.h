#pragma once

#include <memory>
#include <vector>

#include "bento/BentoDividerLayout.h"
#include "chrome/BentoDividerController.h"
#include "ui/overlay/OverlayStage.h"
#include "ui/services/ToolkitSpace.h"

namespace tessarapane::ui {

class BentoDividerHandlePanel;

// The handle panels of one grid layout, one per divider, reused by position.
class QtBentoDividerController final : public tessarapane::BentoDividerController {
 public:
  QtBentoDividerController(BentoDividerCallbacks callbacks, ToolkitSpace space,
                         std::shared_ptr<OverlayStage> stage = nullptr);
  ~QtBentoDividerController() override;

  QtBentoDividerController(const QtBentoDividerController&) = delete;
  QtBentoDividerController& operator=(const QtBentoDividerController&) = delete;

  void update(const std::vector<BentoDividerLayout>& dividers) override;
  void tearDown() override;

  const std::vector<BentoDividerHandlePanel*>& handlePanels() const { return handlePanels_; }

 private:
  static void closePanel(BentoDividerHandlePanel* panel);

  // Shared with the handles, which hold it weakly.
  std::shared_ptr<const BentoDividerCallbacks> callbacks_;
  ToolkitSpace space_;
  std::shared_ptr<OverlayStage> stage_;
  std::vector<BentoDividerHandlePanel*> handlePanels_;
};

}  // namespace tessarapane::ui
