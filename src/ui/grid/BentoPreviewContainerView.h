#pragma once

#include <QFont>
#include <QRectF>
#include <QWidget>

#include <memory>
#include <vector>

#include "bento/BentoTilePresentation.h"
#include "geometry/Rect.h"
#include "ui/overlay/ApplicationIcons.h"

namespace tessarapane::ui {

// Draws the arrangement a divider drag would produce: one card per tile with
// the application's icon, the title and the tile's size. Tile frames are in
// toolkit space (y up) and drawn relative to the screen frame's origin.
class BentoPreviewContainerView final : public QWidget {
 public:
  // Where the parts of one card go, in this view's (y-down) coordinates.
  struct CardGeometry {
    QRectF card;
    QRectF icon;
    QRectF title;
    QRectF dimension;
  };

  static constexpr double kCardInset = 1.0;
  static constexpr double kCardRadius = 10.0;
  static constexpr double kIconFraction = 0.22;
  static constexpr double kMaximumIconSide = 64.0;
  static constexpr double kPlaceholderRadius = 12.0;
  static constexpr double kTitleFontSize = 13.0;
  static constexpr double kDimensionFontSize = 11.0;

  explicit BentoPreviewContainerView(std::shared_ptr<ApplicationIcons> icons, QWidget* parent = nullptr);

  void setScreenFrame(const Rect& screenFrame) { screenFrame_ = screenFrame; }
  const Rect& screenFrame() const { return screenFrame_; }
  void setTiles(std::vector<BentoTilePresentation> tiles) { tiles_ = std::move(tiles); }
  const std::vector<BentoTilePresentation>& tiles() const { return tiles_; }

  // The tile's rectangle in this view.
  QRectF tileRect(const BentoTilePresentation& tile) const;
  static CardGeometry cardGeometry(const QRectF& tileRect);
  // The title as drawn: cut with an ellipsis at its end when too long.
  QString shownTitle(const BentoTilePresentation& tile) const;

  static QFont titleFont();
  // The system font when its digits are all equally wide, else the fixed font.
  static QFont dimensionFont();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void drawTile(QPainter& painter, const BentoTilePresentation& tile);

  std::shared_ptr<ApplicationIcons> icons_;
  Rect screenFrame_;
  std::vector<BentoTilePresentation> tiles_;
};

}  // namespace tessarapane::ui
