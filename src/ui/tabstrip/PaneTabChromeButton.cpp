#include "ui/tabstrip/PaneTabChromeButton.h"

#include <QEnterEvent>
#include <QPainter>

#include <algorithm>

#include "ui/services/QtConversions.h"

namespace tessarapane::ui {

namespace {

constexpr double kMaximumBackgroundSide = 16.0;
constexpr double kMaximumBackgroundRadius = 5.0;

QColor systemRed(double alpha) {
  QColor red(255, 59, 48);
  red.setAlphaF(static_cast<float>(alpha));
  return red;
}

QColor black(double alpha) { return whiteColor(0.0, alpha); }
QColor white(double alpha) { return whiteColor(1.0, alpha); }

}  // namespace

PaneTabChromeButton::PaneTabChromeButton(Glyph glyph, double pointSize, Style style, const QString& description,
                                         QWidget* parent)
    : QAbstractButton(parent), glyph_(glyph), pointSize_(pointSize), style_(style), idleTint_(white(0.78)) {
  setFocusPolicy(Qt::NoFocus);
  setAccessibleName(description);
  setAccessibleDescription(description);
  setToolTip(description);
  setAttribute(Qt::WA_Hover);
}

void PaneTabChromeButton::setIdleTint(const QColor& tint) {
  if (idleTint_ == tint) return;
  idleTint_ = tint;
  update();
}

void PaneTabChromeButton::setOnSelectedTab(bool onSelectedTab) {
  if (isOnSelectedTab_ == onSelectedTab) return;
  isOnSelectedTab_ = onSelectedTab;
  update();
}

QRectF PaneTabChromeButton::hoverBackgroundRect() const {
  const double side = std::max(
      std::min(std::min(static_cast<double>(width()), static_cast<double>(height())) - 2.0, kMaximumBackgroundSide),
      0.0);
  return QRectF((width() - side) / 2.0, (height() - side) / 2.0, side, side);
}

double PaneTabChromeButton::hoverBackgroundRadius() const {
  return std::min(hoverBackgroundRect().width() / 2.0, kMaximumBackgroundRadius);
}

QColor PaneTabChromeButton::backgroundColor() const {
  const bool pressed = isDown();
  if (style_ == Style::destructive) {
    if (!showsHoverBackground()) return Qt::transparent;
    return systemRed(pressed ? 0.92 : 0.82);
  }
  if (isOnSelectedTab_) return black(pressed ? 0.16 : 0.10);
  return white(pressed ? 0.28 : 0.18);
}

QColor PaneTabChromeButton::glyphColor() const {
  const bool pressed = isDown();
  if (!showsHoverBackground()) return idleTint_;
  if (style_ == Style::destructive) return white(1.0);
  if (isOnSelectedTab_) return black(pressed ? 0.78 : 0.68);
  return white(pressed ? 0.98 : 0.94);
}

QSize PaneTabChromeButton::sizeHint() const { return QSize(20, 20); }

void PaneTabChromeButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (showsHoverBackground()) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(backgroundColor());
    const double radius = hoverBackgroundRadius();
    painter.drawRoundedRect(hoverBackgroundRect(), radius, radius);
  }
  paintGlyph(painter, glyph_, QRectF(rect()), pointSize_, glyphColor());
}

void PaneTabChromeButton::enterEvent(QEnterEvent* event) {
  isPointerInside_ = true;
  update();
  QAbstractButton::enterEvent(event);
}

void PaneTabChromeButton::leaveEvent(QEvent* event) {
  isPointerInside_ = false;
  update();
  QAbstractButton::leaveEvent(event);
}

}  // namespace tessarapane::ui
