// The grid layout's chrome: divider handles over the gaps that report drags in screen points, and the preview
// of the tiles drawn while a divider is dragged.
#include <gtest/gtest.h>

#include <QTest>

#include <numeric>

#include "UiTestSupport.h"
#include "ui/grid/BentoDividerHandlePanel.h"
#include "ui/grid/BentoDividerHandleView.h"
#include "ui/grid/BentoPreviewContainerView.h"
#include "ui/grid/QtBentoDividerController.h"
#include "ui/grid/QtBentoPreviewPanel.h"
#include "ui/overlay/ApplicationIcons.h"

namespace tessarapane::ui {
namespace {

using namespace testing_support;

// A vertical divider (between left and right tiles) and a horizontal one inside the first child, in toolkit
// space: strips 8 points thick, hit areas 20.
const BentoDividerLayout kVertical{{}, BentoSplitOrientation::vertical, Rect(496, 100, 8, 400), Rect(490, 100, 20, 400)};
const BentoDividerLayout kHorizontal{{BentoChildSlot::first}, BentoSplitOrientation::horizontal, Rect(100, 296, 380, 8),
                                     Rect(100, 290, 380, 20)};

TEST(GridChrome, DividerHandlesCoverTheGapsDrawAGripAndReportDrags) {
  std::vector<std::string> events;
  const auto path = [](const BentoPath& p) {
    return std::accumulate(p.begin(), p.end(), std::string("/"),
                           [](std::string t, BentoChildSlot s) { return t + (s == BentoChildSlot::first ? "1" : "2"); });
  };
  BentoDividerCallbacks callbacks;
  callbacks.onDragBegan = [&](const BentoPath& p) { events.push_back("began " + path(p)); };
  callbacks.onDragChanged = [&](const BentoPath& p, Point at) {
    events.push_back(path(p) + " " + std::to_string(std::lround(at.x)) + "," + std::to_string(std::lround(at.y)));
  };
  callbacks.onDragEnded = [&] { events.push_back("ended"); };
  QtBentoDividerController controller(callbacks, ToolkitSpace());
  const auto handle = [&](std::size_t i) -> BentoDividerHandleView& { return *controller.handlePanels().at(i)->handleView(); };

  controller.update(std::vector<BentoDividerLayout>(5, kVertical));
  const std::vector<BentoDividerHandlePanel*> before = controller.handlePanels();
  controller.update({kVertical, kHorizontal});
  ASSERT_EQ(controller.handlePanels(), (std::vector<BentoDividerHandlePanel*>{before[0], before[1]})) << "reused by position";
  const int height = static_cast<int>(ToolkitSpace().screens().front().frame.maxY());
  EXPECT_EQ(std::tuple(before[2]->isVisible(), controller.handlePanels()[0]->geometry(), controller.handlePanels()[1]->geometry(),
                       controller.handlePanels()[0]->isVisible(), controller.handlePanels()[0]->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus)),
            std::tuple(false, QRect(490, height - 500, 20, 400), QRect(100, height - 310, 380, 20), true, true));
  EXPECT_EQ(std::pair(handle(0).gripRect(), handle(1).gripRect()),
            std::pair(std::optional(QRectF(8, 186, 4, 28)), std::optional(QRectF(176, 8, 28, 4))));
  EXPECT_EQ(std::pair(handle(0).cursor().shape(), handle(1).cursor().shape()), std::pair(Qt::SizeHorCursor, Qt::SizeVerCursor));
  const QImage image = grabImage(*controller.handlePanels()[0]);
  EXPECT_NEAR(image.pixelColor(10, 200).red(), 209, 3);
  EXPECT_NEAR(image.pixelColor(10, 200).alphaF(), 0.92, 0.02);
  EXPECT_EQ(image.pixelColor(10, 150).alpha() + image.pixelColor(2, 200).alpha(), 0) << "clear beside the grip";

  // Press, drag and release on the first; a press on the second. Points are screen points, y up.
  QTest::mousePress(&handle(0), Qt::LeftButton, Qt::NoModifier, QPoint(10, 200));
  EXPECT_TRUE(handle(0).isDragging());
  QMouseEvent drag(QEvent::MouseMove, QPointF(16, 150), handle(0).mapToGlobal(QPointF(16, 150)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&handle(0), &drag);
  QTest::mouseRelease(&handle(0), Qt::LeftButton, Qt::NoModifier, QPoint(16, 150));
  EXPECT_FALSE(handle(0).isDragging());
  QTest::mousePress(&handle(1), Qt::LeftButton, Qt::NoModifier, QPoint(190, 10));
  EXPECT_EQ(events, (std::vector<std::string>{"began /", "/ 500,300", "/ 506,350", "ended", "began /1", "/1 290,300"}));
  controller.tearDown();
  EXPECT_TRUE(controller.handlePanels().empty());

  // A handle without a divider, or whose controller is gone, reports nothing and draws nothing.
  auto orphanCallbacks = std::make_shared<BentoDividerCallbacks>(callbacks);
  BentoDividerHandlePanel orphan(orphanCallbacks, ToolkitSpace());
  orphan.setToolkitFrame(Rect(490, 100, 20, 400));
  BentoDividerHandleView& bare = *orphan.handleView();
  EXPECT_FALSE(bare.gripRect().has_value());
  QTest::mouseClick(&bare, Qt::LeftButton, Qt::NoModifier, QPoint(10, 200));
  EXPECT_EQ(std::pair(bare.isDragging(), grabImage(orphan).pixelColor(10, 200).alpha()), std::pair(false, 0));
  bare.setDivider(kVertical);
  orphanCallbacks.reset();
  QTest::mouseClick(&bare, Qt::LeftButton, Qt::NoModifier, QPoint(10, 200));
  EXPECT_EQ(events.size(), 6u) << "an orphan reported a drag";
  flushDeferredDeletes();
}

TEST(GridChrome, ThePreviewDrawsEachTileAsACardWithIconTitleAndSize) {
  auto provider = std::make_shared<FakeIconProvider>();
  provider->colors[7] = QColor(220, 80, 60);
  QtBentoPreviewPanel panel(Rect(0, 0, 800, 600), std::make_shared<ApplicationIcons>(provider), ToolkitSpace());
  panel.setScreenFrame(Rect(0, 0, 800, 600));
  EXPECT_TRUE(panel.windowFlags().testFlags(Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus) &&
              panel.containerView()->testAttribute(Qt::WA_TransparentForMouseEvents) && !panel.isVisible());

  // The icon is a fifth of the tile up to 64, centred across, its lower edge 8 above the middle.
  const auto small = BentoPreviewContainerView::cardGeometry(QRectF(0, 0, 100, 100));
  EXPECT_EQ(std::tuple(small.card, small.icon, small.title, small.dimension),
            std::tuple(QRectF(1, 1, 98, 98), QRectF(39, 20, 22, 22), QRectF(16, 50, 68, 20), QRectF(16, 72, 68, 16)));
  EXPECT_DOUBLE_EQ(BentoPreviewContainerView::cardGeometry(QRectF(0, 0, 1000, 800)).icon.width(), 64.0);

  // Left half: an application with an icon; right upper quarter: one that has quit, shown as a grey square.
  panel.setTiles({{"Editor", 7, Rect(0, 0, 396, 600)}, {"Gone", 8, Rect(404, 300, 396, 300)}});
  panel.setNeedsDisplay();
  BentoPreviewContainerView& container = *panel.containerView();
  EXPECT_EQ(container.tileRect(container.tiles()[1]), QRectF(404, 0, 396, 300));
  const QImage image = grabImage(panel);
  const QColor icon = image.pixelColor(BentoPreviewContainerView::cardGeometry(container.tileRect(container.tiles()[0]))
                                           .icon.center().toPoint());
  const QColor grey = image.pixelColor(BentoPreviewContainerView::cardGeometry(container.tileRect(container.tiles()[1]))
                                           .icon.center().toPoint());
  EXPECT_EQ(std::pair(icon, grey.red() - grey.blue()), std::pair(QColor(220, 80, 60), 0));
  EXPECT_NEAR(grey.red(), 89, 2);
  EXPECT_NEAR(image.pixelColor(20, 20).red(), 46, 2);  // the card's fill
  EXPECT_NEAR(image.pixelColor(20, 20).alphaF(), 0.96, 0.02);
  EXPECT_EQ(image.pixelColor(400, 300).alpha(), 0) << "the gap stays clear";
  EXPECT_EQ(provider->requests[8], 1);
  saveScreenshot(grabImage(panel, 2.0), QStringLiteral("grid-preview"));

  const BentoTilePresentation longTitle{"A very long window title that cannot fit into a small card", 7, Rect(0, 0, 160, 120)};
  const QString shown = container.shownTitle(longTitle);
  EXPECT_TRUE(shown.endsWith(QChar(0x2026)) && QString::fromStdString(longTitle.title).startsWith(shown.chopped(1))) << text(shown);
  EXPECT_EQ(container.shownTitle({"Short", 7, Rect(0, 0, 400, 300)}), QStringLiteral("Short"));
  const QFontMetricsF digits(BentoPreviewContainerView::dimensionFont());
  EXPECT_EQ(digits.horizontalAdvance(QStringLiteral("1111")), digits.horizontalAdvance(QStringLiteral("8888")));
}

}  // namespace
}  // namespace tessarapane::ui
