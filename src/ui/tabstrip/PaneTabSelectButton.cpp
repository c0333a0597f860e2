#include "ui/tabstrip/PaneTabSelectButton.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

#include "ui/services/QtConversions.h"

namespace tessarapane::ui {

PaneTabSelectButton::PaneTabSelectButton(QWidget* parent) : QAbstractButton(parent), tint_(whiteColor(1.0, 0.94)) {
  setFocusPolicy(Qt::NoFocus);
  QFont titleFont = font();
  titleFont.setPixelSize(static_cast<int>(kFontSize));
  titleFont.setWeight(QFont::Medium);
  setFont(titleFont);
}

void PaneTabSelectButton::setTab(const QString& title, const QPixmap& icon) {
  title_ = title;
  icon_ = icon;
  setToolTip(title);
  setAccessibleName(title);
  update();
}

void PaneTabSelectButton::setDisplayMode(PaneTabDisplayMode mode) {
  if (mode_ == mode) return;
  mode_ = mode;
  update();
}

void PaneTabSelectButton::setContentTint(const QColor& tint) {
  if (tint_ == tint) return;
  tint_ = tint;
  update();
}

QString PaneTabSelectButton::shownTitle() const {
  if (mode_ != PaneTabDisplayMode::full && showsIcon()) return {};
  return title_;
}

QRectF PaneTabSelectButton::iconRect() const {
  if (!showsIcon()) return {};
  const double y = (height() - kIconSize) / 2.0;
  if (mode_ == PaneTabDisplayMode::full) return QRectF(0.0, y, kIconSize, kIconSize);
  return QRectF((width() - kIconSize) / 2.0, y, kIconSize, kIconSize);
}

void PaneTabSelectButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const QRectF icon = iconRect();
  if (!icon.isEmpty()) painter.drawPixmap(icon, icon_, QRectF(icon_.rect()));

  const QString title = shownTitle();
  if (title.isEmpty()) return;
  const double textX = icon.isEmpty() ? 0.0 : icon.right() + kIconTitleSpacing;
  const QRectF textRect(textX, 0.0, std::max(width() - textX, 0.0), height());
  const QFontMetricsF metrics(font());
  painter.setPen(tint_);
  painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                   metrics.elidedText(title, Qt::ElideRight, textRect.width()));
}

}  // namespace tessarapane::ui
