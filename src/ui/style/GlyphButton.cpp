#include "ui/style/GlyphButton.h"

#include <QPainter>

#include <cmath>
#include <utility>

namespace tessarapane::ui {

GlyphButton::GlyphButton(Glyph glyph, double pointSize, QColor color, QWidget* parent)
    : QAbstractButton(parent), glyph_(glyph), pointSize_(pointSize), color_(std::move(color)) {
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::ArrowCursor);
}

QSize GlyphButton::sizeHint() const {
  const int side = static_cast<int>(std::ceil(pointSize_ * 1.2));
  return QSize(side, side);
}

void GlyphButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QColor color = color_;
  if (isDown()) color = color.darker(140);
  paintGlyph(painter, glyph_, QRectF(rect()), pointSize_, color);
}

}  // namespace tessarapane::ui
