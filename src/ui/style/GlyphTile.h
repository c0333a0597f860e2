#pragma once

#include <QColor>
#include <QWidget>

#include "ui/style/Glyphs.h"

namespace tessarapane::ui {

// A symbol centred on an optional rounded square, as a fixed-size picture.
class GlyphTile final : public QWidget {
 public:
  GlyphTile(Glyph glyph, double pointSize, QColor glyphColor, QSize size, QColor background = Qt::transparent,
            double cornerRadius = 0.0, QWidget* parent = nullptr);

  Glyph glyph() const { return glyph_; }
  const QColor& glyphColor() const { return glyphColor_; }
  const QColor& background() const { return background_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Glyph glyph_;
  double pointSize_;
  QColor glyphColor_;
  QColor background_;
  double cornerRadius_;
};

}  // namespace tessarapane::ui
