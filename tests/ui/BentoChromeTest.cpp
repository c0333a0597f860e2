#include <gtest/gtest.h>

#include <QTest>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "ui/ApplicationIcons.h"
#include "ui/BentoDividerController.h"
#include "ui/BentoDividerHandlePanel.h"
#include "ui/BentoDividerHandleView.h"
#include "ui/BentoPreviewContainerView.h"
#include "ui/BentoPreviewPanel.h"

namespace tessarapane::ui {
namespace {

using testing_support::grabImage;

const BentoPath kRoot{};
const BentoPath kFirstChild{BentoChildSlot::first};

// A vertical divider (between left and right tiles) and a horizontal one, in
// toolkit space: strips 8 points thick, hit areas 20.
BentoDividerLayout verticalDivider() {
  return {kRoot, BentoSplitOrientation::vertical, Rect(496, 100, 8, 400), Rect(490, 100, 20, 400)};
}
BentoDividerLayout horizontalDivider() {
  return {kFirstChild, BentoSplitOrientation::horizontal, Rect(100, 296, 380, 8), Rect(100, 290, 380, 20)};
}

double primaryHeight() { return ToolkitSpace().screens().front().frame.maxY(); }

class BentoDividerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BentoDividerCallbacks callbacks;
    callbacks.onDragBegan = [this](const BentoPath& path) { events.push_back("began " + describe(path)); };
    callbacks.onDragChanged = [this](const BentoPath& path, Point point) {
      events.push_back("changed " + describe(path) + " " + std::to_string(static_cast<int>(point.x)) + "," +
                       std::to_string(static_cast<int>(point.y)));
    };
    callbacks.onDragEnded = [this] { events.push_back("ended"); };
    controller = std::make_unique<BentoDividerController>(std::move(callbacks), ToolkitSpace());
  }

  void TearDown() override {
    controller.reset();
    testing_support::flushDeferredDeletes();
  }

  static std::string describe(const BentoPath& path) {
    std::string text = "/";
    for (BentoChildSlot slot : path) text += slot == BentoChildSlot::first ? "1" : "2";
    return text;
  }

  BentoDividerHandleView& view(std::size_t index) { return *controller->handlePanels().at(index)->handleView(); }

  std::unique_ptr<BentoDividerController> controller;
  std::vector<std::string> events;
};

TEST_F(BentoDividerTest, HandlesCoverTheHitFramesAndDrawACentredGrip) {
  controller->update({verticalDivider(), horizontalDivider()});
  ASSERT_EQ(controller->handlePanels().size(), 2u);
  const int height = static_cast<int>(primaryHeight());
  EXPECT_EQ(controller->handlePanels()[0]->geometry(), QRect(490, height - 500, 20, 400));
  EXPECT_EQ(controller->handlePanels()[1]->geometry(), QRect(100, height - 310, 380, 20));
  EXPECT_TRUE(controller->handlePanels()[0]->isVisible());
  EXPECT_TRUE(controller->handlePanels()[0]->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));

  ASSERT_TRUE(view(0).gripRect().has_value());
  EXPECT_EQ(*view(0).gripRect(), QRectF(8, 186, 4, 28));
  EXPECT_EQ(*view(1).gripRect(), QRectF(176, 8, 28, 4));
  EXPECT_EQ(view(0).cursor().shape(), Qt::SizeHorCursor);
  EXPECT_EQ(view(1).cursor().shape(), Qt::SizeVerCursor);

  const QImage image = grabImage(*controller->handlePanels()[0]);
  const QColor grip = image.pixelColor(10, 200);
  EXPECT_NEAR(grip.red(), 209, 3);
  EXPECT_NEAR(grip.alphaF(), 0.92, 0.02);
  EXPECT_EQ(image.pixelColor(10, 150).alpha(), 0) << "the rest stays transparent";
  EXPECT_EQ(image.pixelColor(2, 200).alpha(), 0);
  testing_support::saveScreenshot(testing_support::onDesktop(image), QStringLiteral("divider-handle-vertical"));
}

TEST_F(BentoDividerTest, PanelsAreReusedByPositionAndSurplusOnesClosed) {
  std::vector<BentoDividerLayout> five(5, verticalDivider());
  controller->update(five);
  ASSERT_EQ(controller->handlePanels().size(), 5u);
  const std::vector<BentoDividerHandlePanel*> before = controller->handlePanels();
  controller->update({horizontalDivider(), verticalDivider(), horizontalDivider()});
  ASSERT_EQ(controller->handlePanels().size(), 3u);
  for (std::size_t index = 0; index < 3; ++index) EXPECT_EQ(controller->handlePanels()[index], before[index]);
  EXPECT_FALSE(before[3]->isVisible());
  EXPECT_EQ(view(0).divider()->orientation, BentoSplitOrientation::horizontal);

  controller->update({});
  EXPECT_TRUE(controller->handlePanels().empty());
  controller->update({verticalDivider()});
  controller->tearDown();
  EXPECT_TRUE(controller->handlePanels().empty());
}

TEST_F(BentoDividerTest, PressDragAndReleaseReportThePathAndScreenPoints) {
  controller->update({verticalDivider(), horizontalDivider()});
  BentoDividerHandleView& handle = view(0);
  QTest::mousePress(&handle, Qt::LeftButton, Qt::NoModifier, QPoint(10, 200));
  EXPECT_TRUE(handle.isDragging());
  QMouseEvent drag(QEvent::MouseMove, QPointF(16, 150), handle.mapToGlobal(QPointF(16, 150)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&handle, &drag);
  QTest::mouseRelease(&handle, Qt::LeftButton, Qt::NoModifier, QPoint(16, 150));
  EXPECT_FALSE(handle.isDragging());
  // (490 + 10, 100 + 400 - 200) and (506, 350), y up.
  EXPECT_EQ(events, (std::vector<std::string>{"began /", "changed / 500,300", "changed / 506,350", "ended"}));

  events.clear();
  QTest::mousePress(&view(1), Qt::LeftButton, Qt::NoModifier, QPoint(190, 10));
  EXPECT_EQ(events, (std::vector<std::string>{"began /1", "changed /1 290,300"}));
}

TEST_F(BentoDividerTest, HandleWithoutDividerOrControllerReportsNothing) {
  auto callbacks = std::make_shared<BentoDividerCallbacks>();
  int calls = 0;
  callbacks->onDragBegan = [&calls](const BentoPath&) { ++calls; };
  callbacks->onDragChanged = [&calls](const BentoPath&, Point) { ++calls; };
  callbacks->onDragEnded = [&calls] { ++calls; };
  BentoDividerHandlePanel panel(callbacks, ToolkitSpace());
  panel.setToolkitFrame(Rect(490, 100, 20, 400));
  BentoDividerHandleView& handle = *panel.handleView();
  EXPECT_FALSE(handle.gripRect().has_value());
  QTest::mousePress(&handle, Qt::LeftButton, Qt::NoModifier, QPoint(10, 200));
  QTest::mouseMove(&handle, QPoint(12, 210));
  QTest::mouseRelease(&handle, Qt::LeftButton, Qt::NoModifier, QPoint(12, 210));
  EXPECT_FALSE(handle.isDragging());
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(grabImage(panel).pixelColor(10, 200).alpha(), 0);

  // The controller's callbacks are gone: a press is not reported.
  handle.setDivider(verticalDivider());
  callbacks.reset();
  QTest::mousePress(&handle, Qt::LeftButton, Qt::NoModifier, QPoint(10, 200));
  QTest::mouseRelease(&handle, Qt::LeftButton, Qt::NoModifier, QPoint(10, 200));
  EXPECT_EQ(calls, 0);
}

class BentoPreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    provider = std::make_shared<testing_support::FakeIconProvider>();
    provider->colors[kEditorPID] = QColor(220, 80, 60);
    panel = std::make_unique<BentoPreviewPanel>(Rect(0, 0, 800, 600), std::make_shared<ApplicationIcons>(provider),
                                                ToolkitSpace());
    panel->setScreenFrame(Rect(0, 0, 800, 600));
  }

  static constexpr ProcessID kEditorPID = 7;
  static constexpr ProcessID kQuitPID = 8;
  std::shared_ptr<testing_support::FakeIconProvider> provider;
  std::unique_ptr<BentoPreviewPanel> panel;
};

TEST_F(BentoPreviewTest, IconSideIsAFifthOfTheTileUpTo64Points) {
  const auto small = BentoPreviewContainerView::cardGeometry(QRectF(0, 0, 100, 100));
  EXPECT_DOUBLE_EQ(small.icon.width(), 22.0);
  EXPECT_DOUBLE_EQ(small.icon.height(), 22.0);
  // Centred across, its lower edge 8 points above the middle.
  EXPECT_DOUBLE_EQ(small.icon.center().x(), 50.0);
  EXPECT_DOUBLE_EQ(small.icon.bottom(), 42.0);
  EXPECT_EQ(small.card, QRectF(1, 1, 98, 98));
  EXPECT_EQ(small.title, QRectF(16, 50, 68, 20));
  EXPECT_EQ(small.dimension, QRectF(16, 72, 68, 16));

  const auto large = BentoPreviewContainerView::cardGeometry(QRectF(0, 0, 1000, 800));
  EXPECT_DOUBLE_EQ(large.icon.width(), 64.0);
}

TEST_F(BentoPreviewTest, TilesAreDrawnFromTheBottomLeftWithIconOrGreySquare) {
  // Left half: an application with an icon; right half: one that has quit.
  panel->setTiles({{"Editor", kEditorPID, Rect(0, 0, 396, 600)}, {"Gone", kQuitPID, Rect(404, 300, 396, 300)}});
  panel->setNeedsDisplay();
  BentoPreviewContainerView& container = *panel->containerView();
  EXPECT_EQ(container.tileRect(container.tiles()[1]), QRectF(404, 0, 396, 300));

  const QImage image = grabImage(*panel);
  const auto left = BentoPreviewContainerView::cardGeometry(container.tileRect(container.tiles()[0]));
  const auto right = BentoPreviewContainerView::cardGeometry(container.tileRect(container.tiles()[1]));
  const QColor icon = image.pixelColor(left.icon.center().toPoint());
  EXPECT_EQ(icon, QColor(220, 80, 60));
  const QColor placeholder = image.pixelColor(right.icon.center().toPoint());
  EXPECT_NEAR(placeholder.red(), 89, 2);
  EXPECT_EQ(placeholder.red(), placeholder.blue());
  // The card's fill, away from the text.
  const QColor card = image.pixelColor(20, 20);
  EXPECT_NEAR(card.red(), 46, 2);
  EXPECT_NEAR(card.alphaF(), 0.96, 0.02);
  // The gap between the cards stays clear.
  EXPECT_EQ(image.pixelColor(400, 300).alpha(), 0);
  EXPECT_EQ(provider->requests[kQuitPID], 1);
}

TEST_F(BentoPreviewTest, LongTitlesEndInAnEllipsisAndDigitsAreEquallyWide) {
  const BentoTilePresentation tile{"A very long window title that cannot fit into a small card", kEditorPID,
                                   Rect(0, 0, 160, 120)};
  const QString shown = panel->containerView()->shownTitle(tile);
  EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
  EXPECT_TRUE(QString::fromStdString(tile.title).startsWith(shown.chopped(1)));
  EXPECT_EQ(panel->containerView()->shownTitle({"Short", kEditorPID, Rect(0, 0, 400, 300)}),
            QStringLiteral("Short"));

  const QFontMetricsF digits(BentoPreviewContainerView::dimensionFont());
  EXPECT_EQ(digits.horizontalAdvance(QStringLiteral("1111")), digits.horizontalAdvance(QStringLiteral("8888")));
}

TEST_F(BentoPreviewTest, PreviewLetsThePointerThrough) {
  EXPECT_TRUE(panel->windowFlags().testFlag(Qt::WindowTransparentForInput));
  EXPECT_TRUE(panel->containerView()->testAttribute(Qt::WA_TransparentForMouseEvents));
  EXPECT_TRUE(panel->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
}

}  // namespace
}  // namespace tessarapane::ui
