#include "ui/tray/StatusMenuStyle.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

#include <algorithm>

#include "ui/style/Glyphs.h"

namespace tessarapane::ui {

namespace {

constexpr int kLeadingMargin = 6;
constexpr int kPictureGap = 2;
constexpr double kCheckGlyphSize = 12.0;

}  // namespace

// Fusion lays out the same on every desktop, so the columns line up.
StatusMenuStyle::StatusMenuStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

int StatusMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
  // The icon column holds both the check mark and the picture.
  if (metric == PM_SmallIconSize) return kCheckColumnWidth + kPictureGap + kPictureWidth;
  return QProxyStyle::pixelMetric(metric, option, widget);
}

QSize StatusMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contentsSize,
                                        const QWidget* widget) const {
  const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
  if (type != CT_MenuItem || !item || item->icon.isNull()) {
    return QProxyStyle::sizeFromContents(type, option, contentsSize, widget);
  }
  // The menu sized the row for a square icon as wide as the icon column; the
  // picture is only 16 high.
  QStyleOptionMenuItem plain = *item;
  plain.icon = QIcon();
  const QSize size(contentsSize.width(), std::max(item->fontMetrics.height(), kPictureHeight));
  return QProxyStyle::sizeFromContents(type, &plain, size, widget);
}

QRect StatusMenuStyle::checkRect(const QRect& itemRect) {
  return QRect(itemRect.left() + kLeadingMargin, itemRect.top(), kCheckColumnWidth, itemRect.height());
}

QRect StatusMenuStyle::pictureRect(const QRect& itemRect) {
  const int x = itemRect.left() + kLeadingMargin + kCheckColumnWidth + kPictureGap;
  return QRect(x, itemRect.center().y() - kPictureHeight / 2 + 1, kPictureWidth, kPictureHeight);
}

void StatusMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                  const QWidget* widget) const {
  const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
  if (element != CE_MenuItem || !item || item->menuItemType == QStyleOptionMenuItem::Separator) {
    QProxyStyle::drawControl(element, option, painter, widget);
    return;
  }
  // The base draws background, highlight, title and shortcut; the check mark
  // and the picture go into their own columns.
  QStyleOptionMenuItem plain = *item;
  plain.icon = QIcon();
  plain.checkType = QStyleOptionMenuItem::NotCheckable;
  plain.checked = false;
  QProxyStyle::drawControl(element, &plain, painter, widget);

  const bool enabled = item->state.testFlag(State_Enabled);
  const bool selected = item->state.testFlag(State_Selected) && enabled;
  const QPalette::ColorGroup group = enabled ? QPalette::Normal : QPalette::Disabled;
  const QColor ink = item->palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
  if (item->checkType != QStyleOptionMenuItem::NotCheckable && item->checked) {
    paintGlyph(*painter, Glyph::checkmark, QRectF(checkRect(item->rect)), kCheckGlyphSize, ink);
  }
  if (!item->icon.isNull()) {
    item->icon.paint(painter, pictureRect(item->rect), Qt::AlignCenter, enabled ? QIcon::Normal : QIcon::Disabled);
  }
}

}  // namespace tessarapane::ui
