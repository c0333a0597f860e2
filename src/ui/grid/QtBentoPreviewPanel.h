#pragma once

#include <memory>
#include <vector>

#include "bento/BentoTilePresentation.h"
#include "chrome/BentoPreviewPanel.h"
#include "ui/overlay/ApplicationIcons.h"
#include "ui/overlay/OverlayPanel.h"

namespace tessarapane::ui {

class BentoPreviewContainerView;

// The full-screen preview of a divider drag. The pointer passes through it.
class QtBentoPreviewPanel final : public OverlayPanel, public tessarapane::BentoPreviewPanel {
 public:
  QtBentoPreviewPanel(const Rect& frame, std::shared_ptr<ApplicationIcons> icons, ToolkitSpace space,
                    std::shared_ptr<OverlayStage> stage = nullptr);

  void setFrame(const Rect& frame) override;
  void setScreenFrame(const Rect& screenFrame) override;
  void setTiles(const std::vector<BentoTilePresentation>& tiles) override;
  void setNeedsDisplay() override;
  void orderFrontRegardless() override;
  void orderOut() override;
  void close() override;

  BentoPreviewContainerView* containerView() const { return containerView_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // The cards; between them the real windows stay in sight.
  QRegion drawnRegion() const override;

 private:
  BentoPreviewContainerView* containerView_ = nullptr;
};

}  // namespace tessarapane::ui
