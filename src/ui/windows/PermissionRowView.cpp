#include "ui/windows/PermissionRowView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

#include "ui/services/QtConversions.h"
#include "ui/style/GlyphTile.h"
#include "ui/style/SystemStyle.h"

namespace tessarapane::ui {

namespace {

constexpr double kSymbolSize = 16.0;
constexpr int kSymbolTileSide = 32;
constexpr double kSymbolTileRadius = 8.0;
constexpr double kCheckSize = 22.0;  // the second title size
constexpr int kCheckSide = 26;

}  // namespace

PermissionRowView::PermissionRowView(std::function<void(AppPermission)> onAuthorize, QWidget* parent)
    : QWidget(parent), onAuthorize_(std::move(onAuthorize)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(kInset, kInset, kInset, kInset);
  layout->setSpacing(kSpacing);

  layout->addWidget(new GlyphTile(Glyph::windowOnRectangle, kSymbolSize, Qt::white,
                                  QSize(kSymbolTileSide, kSymbolTileSide), SystemStyle::accent(*this),
                                  kSymbolTileRadius, this));

  auto* texts = new QVBoxLayout;
  texts->setSpacing(2);
  nameLabel_ = new QLabel(this);
  nameLabel_->setFont(SystemStyle::headline());
  detailLabel_ = new QLabel(this);
  detailLabel_->setFont(SystemStyle::caption());
  detailLabel_->setWordWrap(true);
  QPalette secondary = detailLabel_->palette();
  secondary.setColor(QPalette::WindowText, SystemStyle::secondaryText(*this));
  detailLabel_->setPalette(secondary);
  statusLabel_ = new QLabel(this);
  statusLabel_->setFont(SystemStyle::caption());
  statusLabel_->setWordWrap(true);
  texts->addWidget(nameLabel_);
  texts->addWidget(detailLabel_);
  texts->addWidget(statusLabel_);
  layout->addLayout(texts, 1);

  checkMark_ = new GlyphTile(Glyph::checkmarkCircleFill, kCheckSize, SystemStyle::systemGreen(),
                             QSize(kCheckSide, kCheckSide), Qt::transparent, 0.0, this);
  layout->addWidget(checkMark_);

  authorizeButton_ = new QPushButton(this);
  authorizeButton_->setAutoDefault(false);
  // Prominent: filled with the accent colour.
  QPalette prominent = authorizeButton_->palette();
  prominent.setColor(QPalette::Button, SystemStyle::accent(*this));
  prominent.setColor(QPalette::ButtonText, Qt::white);
  authorizeButton_->setPalette(prominent);
  connect(authorizeButton_, &QPushButton::clicked, this, [this] {
    if (onAuthorize_) onAuthorize_(row_.permission);
  });
  layout->addWidget(authorizeButton_);
}

void PermissionRowView::setRow(const PermissionGuideRow& row) {
  row_ = row;
  nameLabel_->setText(toQString(row.name));
  detailLabel_->setText(toQString(row.detail));
  statusLabel_->setText(toQString(row.status));
  authorizeButton_->setText(toQString(row.authorizeTitle));
  checkMark_->setVisible(row.granted);
  authorizeButton_->setVisible(!row.granted);
}

void PermissionRowView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  // The quaternary label colour at half strength.
  QColor tint = SystemStyle::primaryText(*this);
  tint.setAlphaF(0.1f * 0.5f);
  painter.setBrush(tint);
  painter.drawRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
}

}  // namespace tessarapane::ui
