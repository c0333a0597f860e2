#pragma once

#include <QAbstractButton>
#include <QColor>

#include "ui/style/Glyphs.h"

namespace tessarapane::ui {

// A borderless button that is just a symbol, such as the settings window's
// remove button.
class GlyphButton final : public QAbstractButton {
 public:
  GlyphButton(Glyph glyph, double pointSize, QColor color, QWidget* parent = nullptr);

  Glyph glyph() const { return glyph_; }
  const QColor& color() const { return color_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Glyph glyph_;
  double pointSize_;
  QColor color_;
};

}  // namespace tessarapane::ui
