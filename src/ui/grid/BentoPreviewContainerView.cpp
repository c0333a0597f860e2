#include "ui/grid/BentoPreviewContainerView.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <utility>

#include "ui/services/QtConversions.h"

namespace tessarapane::ui {

namespace {

// Space between the icon and the title, and between title and size (y up in
// the card's description: the title sits 28 points below the icon's bottom
// in a 20-point line, the size 18 below the title's bottom in a 16-point one).
constexpr double kTitleDrop = 28.0;
constexpr double kTitleHeight = 20.0;
constexpr double kDimensionDrop = 18.0;
constexpr double kDimensionHeight = 16.0;
constexpr double kTextInset = 16.0;
constexpr double kIconRaise = 8.0;

bool hasTabularDigits(const QFont& font) {
  const QFontMetricsF metrics(font);
  const double width = metrics.horizontalAdvance(QLatin1Char('0'));
  for (char digit = '1'; digit <= '9'; ++digit) {
    if (metrics.horizontalAdvance(QLatin1Char(digit)) != width) return false;
  }
  return true;
}

}  // namespace

BentoPreviewContainerView::BentoPreviewContainerView(std::shared_ptr<ApplicationIcons> icons, QWidget* parent)
    : QWidget(parent), icons_(std::move(icons)) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_TranslucentBackground);
}

QFont BentoPreviewContainerView::titleFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPixelSize(static_cast<int>(kTitleFontSize));
  font.setWeight(QFont::DemiBold);
  return font;
}

QFont BentoPreviewContainerView::dimensionFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPixelSize(static_cast<int>(kDimensionFontSize));
  if (!hasTabularDigits(font)) {
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(static_cast<int>(kDimensionFontSize));
  }
  font.setWeight(QFont::Normal);
  return font;
}

QRectF BentoPreviewContainerView::tileRect(const BentoTilePresentation& tile) const {
  // X pixels from the screen's top left, then Qt's units.
  const double ratio = devicePixelRatioF();
  const double x = tile.frame.x() - screenFrame_.x();
  const double yDown = screenFrame_.maxY() - tile.frame.maxY();
  return QRectF(x / ratio, yDown / ratio, tile.frame.width() / ratio, tile.frame.height() / ratio);
}

BentoPreviewContainerView::CardGeometry BentoPreviewContainerView::cardGeometry(const QRectF& tile) {
  CardGeometry geometry;
  geometry.card = tile.adjusted(kCardInset, kCardInset, -kCardInset, -kCardInset);
  const double side = std::min(kIconFraction * std::min(tile.width(), tile.height()), kMaximumIconSide);
  // Just above the centre: its lower edge 8 points above the middle.
  const double iconBottom = tile.center().y() - kIconRaise;
  geometry.icon = QRectF(tile.center().x() - side / 2, iconBottom - side, side, side);
  const double titleTop = iconBottom + kTitleDrop - kTitleHeight;
  geometry.title = QRectF(tile.left() + kTextInset, titleTop, tile.width() - 2 * kTextInset, kTitleHeight);
  const double dimensionTop = geometry.title.bottom() + kDimensionDrop - kDimensionHeight;
  geometry.dimension =
      QRectF(tile.left() + kTextInset, dimensionTop, tile.width() - 2 * kTextInset, kDimensionHeight);
  return geometry;
}

QString BentoPreviewContainerView::shownTitle(const BentoTilePresentation& tile) const {
  const CardGeometry geometry = cardGeometry(tileRect(tile));
  return QFontMetricsF(titleFont()).elidedText(toQString(tile.title), Qt::ElideRight,
                                               std::max(geometry.title.width(), 0.0));
}

void BentoPreviewContainerView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.fillRect(rect(), Qt::transparent);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  for (const BentoTilePresentation& tile : tiles_) drawTile(painter, tile);
}

void BentoPreviewContainerView::drawTile(QPainter& painter, const BentoTilePresentation& tile) {
  const QRectF rect = tileRect(tile);
  const CardGeometry geometry = cardGeometry(rect);

  QPainterPath card;
  card.addRoundedRect(geometry.card, kCardRadius, kCardRadius);
  painter.fillPath(card, whiteColor(0.18, 0.96));
  painter.strokePath(card, QPen(whiteColor(0.45, 0.55), 1.0));

  const QImage icon = icons_ ? icons_->fullIcon(tile.ownerPID) : QImage();
  if (!icon.isNull()) {
    painter.drawImage(geometry.icon, icon, QRectF(icon.rect()));
  } else {
    QPainterPath placeholder;
    placeholder.addRoundedRect(geometry.icon, kPlaceholderRadius, kPlaceholderRadius);
    painter.fillPath(placeholder, whiteColor(0.35));
  }

  painter.setFont(titleFont());
  painter.setPen(Qt::white);
  painter.drawText(geometry.title, Qt::AlignHCenter | Qt::AlignTop, shownTitle(tile));

  const QFont dimensionFont = BentoPreviewContainerView::dimensionFont();
  painter.setFont(dimensionFont);
  painter.setPen(whiteColor(0.75));
  const QString dimension = QFontMetricsF(dimensionFont)
                                .elidedText(toQString(tile.dimensionText()), Qt::ElideRight,
                                            std::max(geometry.dimension.width(), 0.0));
  painter.drawText(geometry.dimension, Qt::AlignHCenter | Qt::AlignTop, dimension);
}

}  // namespace tessarapane::ui
