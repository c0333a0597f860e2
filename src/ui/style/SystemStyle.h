#pragma once

#include <QColor>
#include <QFont>

class QWidget;

namespace tessarapane::ui {

// The text styles and colours of the application's own windows, in points
// (one point is one logical pixel, as the layouts assume).
namespace SystemStyle {

inline constexpr int kBodySize = 13;
inline constexpr int kCaptionSize = 10;
inline constexpr int kHeadlineSize = 13;

QFont body();
QFont headline();
QFont caption();
// Monospaced digits and letters.
QFont monospacedBody();
QFont title(int pixelSize, QFont::Weight weight);

// Text colours over the given widget's window background.
QColor primaryText(const QWidget& widget);
QColor secondaryText(const QWidget& widget);
QColor accent(const QWidget& widget);
QColor systemRed();
QColor systemGreen();

}  // namespace SystemStyle

}  // namespace tessarapane::ui
