#include "ui/LayoutKindIconEngine.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <vector>

#include "UiTestSupport.h"

namespace tessarapane::ui {
namespace {

bool isPaneBlue(const QColor& color) { return color.alpha() > 128 && color.blue() - color.red() > 60; }

// Pane-blue regions, 4-connected.
int countPanes(const QImage& image) {
  std::vector<bool> seen(static_cast<std::size_t>(image.width() * image.height()), false);
  int regions = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const auto at = static_cast<std::size_t>(y * image.width() + x);
      if (seen[at] || !isPaneBlue(image.pixelColor(x, y))) continue;
      ++regions;
      std::vector<QPoint> stack{QPoint(x, y)};
      seen[at] = true;
      while (!stack.empty()) {
        const QPoint point = stack.back();
        stack.pop_back();
        for (const QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
          const QPoint next = point + step;
          if (!image.rect().contains(next)) continue;
          const auto index = static_cast<std::size_t>(next.y() * image.width() + next.x());
          if (seen[index] || !isPaneBlue(image.pixelColor(next))) continue;
          seen[index] = true;
          stack.push_back(next);
        }
      }
    }
  }
  return regions;
}

QImage render(const QIcon& icon, QSize size, qreal scale = 1.0) {
  return icon.pixmap(size, scale).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST(LayoutKindIconEngineTest, MiniaturesShowOneBlueRegionPerPaneAtEveryScale) {
  QImage sheet(7 * 48 + 48, 40, QImage::Format_ARGB32);
  sheet.fill(QColor(236, 236, 236));
  QPainter painter(&sheet);
  int column = 0;
  for (LayoutKind kind : kAllLayoutKinds) {
    const QIcon icon = layoutKindIcon(kind);
    const QImage small = render(icon, QSize(22, 16));
    ASSERT_EQ(small.size(), QSize(22, 16));
    EXPECT_EQ(countPanes(small), paneCount(kind)) << rawValue(kind);
    const QImage sharp = render(icon, QSize(22, 16), 2.0);
    EXPECT_EQ(sharp.size(), QSize(44, 32));
    EXPECT_EQ(countPanes(sharp), paneCount(kind)) << rawValue(kind) << " at scale 2";
    painter.drawImage(8 + column++ * 48, 4, sharp);
  }
  const QImage grid = render(bentoIcon(), QSize(22, 16));
  EXPECT_EQ(countPanes(grid), 4);
  painter.drawImage(8 + column * 48, 4, render(bentoIcon(), QSize(22, 16), 2.0));
  painter.end();
  testing_support::saveScreenshot(sheet, QStringLiteral("layout-icons"));
}

TEST(LayoutKindIconEngineTest, PlateIsDarkGreyAndTheOutsideClear) {
  const QImage image = render(layoutKindIcon(LayoutKind::fullScreen), QSize(22, 16), 4.0);
  // Inside the plate but outside the pane (the plate's 1.5-point rim).
  const QColor plate = image.pixelColor(4, 32);
  EXPECT_NEAR(plate.red(), 56, 2);
  EXPECT_EQ(plate.red(), plate.blue());
  EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
  const QColor pane = image.pixelColor(44, 32);
  EXPECT_EQ(pane.rgba(), QColor::fromRgbF(0.29f, 0.56f, 0.98f).rgba());
}

TEST(LayoutKindIconEngineTest, UpperPaneIsDrawnAtTheTop) {
  // topBottom's first pane is the upper one; the picture's y axis points up,
  // so the larger (upper) pane must land in the top half of the pixels.
  const QImage image = render(layoutKindIcon(LayoutKind::topBottom), QSize(22, 16), 4.0);
  int topRows = 0;
  int bottomRows = 0;
  for (int y = 0; y < image.height(); ++y) {
    if (isPaneBlue(image.pixelColor(44, y))) (y < image.height() / 2 ? topRows : bottomRows)++;
  }
  // Upper pane 5.5 points high against the lower pane's 5.
  EXPECT_EQ(topRows, 22);
  EXPECT_EQ(bottomRows, 20);
}

TEST(LayoutKindIconEngineTest, TrayIconIsATemplateStrokedInTheTint) {
  const QIcon icon = statusBarIcon(QColor(200, 30, 30));
  EXPECT_TRUE(icon.isMask());
  const QImage image = render(icon, QSize(18, 18), 4.0);
  // The divider line at the middle.
  const QColor stroke = image.pixelColor(36, 36);
  EXPECT_EQ(stroke.red(), 200);
  EXPECT_EQ(stroke.green(), 30);
  EXPECT_GT(stroke.alpha(), 240);
  // Inside the frame, beside the divider: empty.
  EXPECT_EQ(image.pixelColor(20, 36).alpha(), 0);
  // The frame's left edge at x 1.5 ... 2.9.
  EXPECT_GT(image.pixelColor(8, 36).alpha(), 200);
}

}  // namespace
}  // namespace tessarapane::ui
