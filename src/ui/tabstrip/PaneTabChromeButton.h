#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QRectF>
#include <QString>

#include "ui/style/Glyphs.h"

namespace tessarapane::ui {

// A tab's close button or move arrow: a glyph over a small rounded hover
// background. Like a push button it acts only when released over itself.
class PaneTabChromeButton final : public QAbstractButton {
 public:
  enum class Style {
    neutral,      // move arrows
    destructive,  // the close button
  };

  PaneTabChromeButton(Glyph glyph, double pointSize, Style style, const QString& description,
                      QWidget* parent = nullptr);

  Style style() const { return style_; }
  Glyph glyph() const { return glyph_; }

  // The glyph's colour while the pointer is elsewhere; set by the tab for its
  // selection look.
  void setIdleTint(const QColor& tint);
  const QColor& idleTint() const { return idleTint_; }
  void setOnSelectedTab(bool onSelectedTab);
  bool isOnSelectedTab() const { return isOnSelectedTab_; }

  bool isPointerInside() const { return isPointerInside_; }
  bool isPressed() const { return isDown(); }

  // Centred square of side min(min(width, height) - 2, 16).
  QRectF hoverBackgroundRect() const;
  double hoverBackgroundRadius() const;
  bool showsHoverBackground() const { return isPointerInside_ || isDown(); }
  QColor backgroundColor() const;
  QColor glyphColor() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  Glyph glyph_;
  double pointSize_;
  Style style_;
  QColor idleTint_;
  bool isPointerInside_ = false;
  bool isOnSelectedTab_ = false;
};

}  // namespace tessarapane::ui
