#include "ui/style/GlyphTile.h"

#include <QPainter>

#include <utility>

namespace tessarapane::ui {

GlyphTile::GlyphTile(Glyph glyph, double pointSize, QColor glyphColor, QSize size, QColor background,
                     double cornerRadius, QWidget* parent)
    : QWidget(parent),
      glyph_(glyph),
      pointSize_(pointSize),
      glyphColor_(std::move(glyphColor)),
      background_(std::move(background)),
      cornerRadius_(cornerRadius) {
  setFixedSize(size);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void GlyphTile::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (background_.alpha() > 0) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(background_);
    painter.drawRoundedRect(QRectF(rect()), cornerRadius_, cornerRadius_);
  }
  paintGlyph(painter, glyph_, QRectF(rect()), pointSize_, glyphColor_);
}

}  // namespace tessarapane::ui
