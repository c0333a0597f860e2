#pragma once

#include <QProxyStyle>

namespace tessarapane::ui {

// The status menu's look: a check-mark column and a 22 x 16 picture column
// side by side before the titles (the stock styles draw either a check box or
// a sunken icon, never both), and section headers in small bold grey text.
class StatusMenuStyle final : public QProxyStyle {
 public:
  static constexpr int kCheckColumnWidth = 14;
  static constexpr int kPictureWidth = 22;
  static constexpr int kPictureHeight = 16;
  // Marks an action as a section header.
  static constexpr const char* kSectionHeaderProperty = "tessarapaneSectionHeader";

  StatusMenuStyle();

  int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr) const override;
  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contentsSize,
                         const QWidget* widget = nullptr) const override;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget = nullptr) const override;

  // Where the check mark and the picture of an item in `itemRect` go.
  static QRect checkRect(const QRect& itemRect);
  static QRect pictureRect(const QRect& itemRect);
};

}  // namespace tessarapane::ui
