#pragma once

#include <vector>

#include "bento/BentoTilePresentation.h"
#include "geometry/Rect.h"

namespace tessarapane {

// The full-screen preview shown while a divider is dragged, made hidden by a
// ChromeFactory over the screen's visible frame. It ignores the pointer.
class BentoPreviewPanel {
 public:
  virtual ~BentoPreviewPanel() = default;

  // The panel's frame (toolkit space), applied and displayed at once.
  virtual void setFrame(const Rect& frame) = 0;
  // The rectangle the tile frames are drawn relative to.
  virtual void setScreenFrame(const Rect& screenFrame) = 0;
  virtual void setTiles(const std::vector<BentoTilePresentation>& tiles) = 0;
  // Marks the drawing as stale.
  virtual void setNeedsDisplay() = 0;
  virtual void orderFrontRegardless() = 0;
  virtual void orderOut() = 0;
  virtual void close() = 0;
};

}  // namespace tessarapane
