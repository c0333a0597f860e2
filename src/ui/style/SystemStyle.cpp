#include "ui/style/SystemStyle.h"

#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

namespace tessarapane::ui::SystemStyle {

namespace {

QFont general(int pixelSize, QFont::Weight weight) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPixelSize(pixelSize);
  font.setWeight(weight);
  return font;
}

}  // namespace

QFont body() { return general(kBodySize, QFont::Normal); }
QFont headline() { return general(kHeadlineSize, QFont::DemiBold); }
QFont caption() { return general(kCaptionSize, QFont::Normal); }
QFont title(int pixelSize, QFont::Weight weight) { return general(pixelSize, weight); }

QFont monospacedBody() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPixelSize(kBodySize);
  return font;
}

QColor primaryText(const QWidget& widget) { return widget.palette().color(QPalette::WindowText); }

QColor secondaryText(const QWidget& widget) {
  QColor color = widget.palette().color(QPalette::WindowText);
  color.setAlphaF(0.5f);
  return color;
}

QColor accent(const QWidget& widget) { return widget.palette().color(QPalette::Highlight); }

QColor systemRed() { return QColor(255, 59, 48); }
QColor systemGreen() { return QColor(52, 199, 89); }

}  // namespace tessarapane::ui::SystemStyle
