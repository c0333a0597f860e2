#include "ui/grid/QtBentoPreviewPanel.h"

#include <utility>

#include "ui/grid/BentoPreviewContainerView.h"

namespace tessarapane::ui {

QtBentoPreviewPanel::QtBentoPreviewPanel(const Rect& frame, std::shared_ptr<ApplicationIcons> icons, ToolkitSpace space,
                                     std::shared_ptr<OverlayStage> stage)
    : OverlayPanel(std::move(space), QStringLiteral("Tessarapane preview"), std::move(stage)) {
  // Clicks during a drag go to whatever lies below.
  setWindowFlag(Qt::WindowTransparentForInput);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  containerView_ = new BentoPreviewContainerView(std::move(icons), this);
  setToolkitFrame(frame);
  containerView_->setGeometry(rect());
}

void QtBentoPreviewPanel::setFrame(const Rect& frame) {
  setToolkitFrame(frame);
  containerView_->setGeometry(rect());
  containerView_->update();
}

void QtBentoPreviewPanel::setScreenFrame(const Rect& screenFrame) {
  containerView_->setScreenFrame(screenFrame);
  updateShape();
}

void QtBentoPreviewPanel::setTiles(const std::vector<BentoTilePresentation>& tiles) {
  containerView_->setTiles(tiles);
  updateShape();
}

QRegion QtBentoPreviewPanel::drawnRegion() const {
  QRegion drawn;
  for (const BentoTilePresentation& tile : containerView_->tiles()) {
    // The card's outline is stroked half a unit outside it.
    const QRectF card = BentoPreviewContainerView::cardGeometry(containerView_->tileRect(tile)).card;
    drawn += roundedRegion(card.adjusted(-1, -1, 1, 1), BentoPreviewContainerView::kCardRadius)
                 .translated(containerView_->pos());
  }
  return drawn;
}

void QtBentoPreviewPanel::setNeedsDisplay() { containerView_->update(); }

void QtBentoPreviewPanel::orderFrontRegardless() { OverlayPanel::orderFrontRegardless(); }

void QtBentoPreviewPanel::orderOut() { OverlayPanel::orderOut(); }

void QtBentoPreviewPanel::close() { hide(); }

void QtBentoPreviewPanel::resizeEvent(QResizeEvent* event) {
  containerView_->setGeometry(rect());
  OverlayPanel::resizeEvent(event);
}

}  // namespace tessarapane::ui
