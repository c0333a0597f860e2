#include <gtest/gtest.h>

#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <memory>
#include <string>

#include "UiTestSupport.h"
#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"
#include "permission/PermissionGuideWindowController.h"
#include "permission/PermissionHelperHint.h"
#include "ui/GlyphTile.h"
#include "ui/HelperPillView.h"
#include "ui/LayoutKindIconEngine.h"
#include "ui/PermissionRowView.h"
#include "ui/QtPermissionGuideWindow.h"
#include "ui/QtPermissionHelperPanel.h"

namespace tessarapane::ui {
namespace {

using testing_support::text;

class PermissionGuideTest : public ::testing::Test {
 protected:
  void SetUp() override {
    desktop->setProcessTrusted(false);
    window = std::make_shared<QtPermissionGuideWindow>(bentoIcon());
    helper = std::make_shared<QtPermissionHelperPanel>(text(PermissionHelperHint::turnOnOrDrag), bentoIcon(),
                                                       ToolkitSpace());
    controller = PermissionGuideWindowController::create(platform, window, helper, {});
    window->setController(controller);
  }

  void TearDown() override {
    window->hide();
    helper->hide();
    controller.reset();
  }

  PermissionRowView& row() { return *window->rowViews().at(0); }

  std::shared_ptr<SimScheduler> clock = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(clock);
  Platform platform = makeSimPlatform(desktop);
  std::shared_ptr<QtPermissionGuideWindow> window;
  std::shared_ptr<QtPermissionHelperPanel> helper;
  std::shared_ptr<PermissionGuideWindowController> controller;
};

TEST_F(PermissionGuideTest, GuideShowsThePermissionToGrantAndItsButtons) {
  controller->show();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->size(), QSize(420, 240));
  EXPECT_EQ(text(window->titleLabel()->text()), "设置 Tessarapane");
  EXPECT_EQ(text(window->subtitleLabel()->text()), "开启以下权限后即可使用");
  ASSERT_EQ(window->rowViews().size(), 1u);
  EXPECT_EQ(text(row().detailLabel()->text()), "移动和调整其他 App 的窗口");
  EXPECT_FALSE(row().nameLabel()->text().isEmpty());
  EXPECT_TRUE(row().authorizeButton()->isVisible());
  EXPECT_EQ(text(row().authorizeButton()->text()), "授权");
  EXPECT_FALSE(row().checkMark()->isVisible());
  EXPECT_EQ(text(window->closeButton()->text()), "稍后");
  EXPECT_FALSE(window->closeButton()->isDefault());
  // Everything fits in the window.
  EXPECT_LE(window->closeButton()->geometry().bottom(), 240);
  testing_support::saveScreenshot(testing_support::grabImage(*window), QStringLiteral("permission-guide"));

  QTest::mouseClick(row().authorizeButton(), Qt::LeftButton);
  EXPECT_TRUE(controller->dragHelper()->isFollowing());
  EXPECT_FALSE(desktop->recorder().openedAddresses().empty());
}

TEST_F(PermissionGuideTest, GrantedPermissionShowsTheCheckMarkAndTheDefaultStartButton) {
  controller->show();
  desktop->setProcessTrusted(true);
  clock->advance(0.6);
  EXPECT_EQ(text(window->subtitleLabel()->text()), "一切就绪");
  EXPECT_TRUE(row().checkMark()->isVisible());
  EXPECT_FALSE(row().authorizeButton()->isVisible());
  EXPECT_EQ(text(window->closeButton()->text()), "开始使用");
  EXPECT_TRUE(window->closeButton()->isDefault());
  testing_support::saveScreenshot(testing_support::grabImage(*window), QStringLiteral("permission-guide-ready"));

  QTest::mouseClick(window->closeButton(), Qt::LeftButton);
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(controller->model()->isPolling()) << "closing stops the polling";
}

TEST_F(PermissionGuideTest, PillFitsItsTextAndCarriesTheApplicationWhenDragged) {
  HelperPillView& pill = *helper->pill();
  EXPECT_EQ(helper->size(), QSize(360, 36));
  EXPECT_TRUE(helper->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
  EXPECT_EQ(helper->text(), text(PermissionHelperHint::turnOnOrDrag));
  EXPECT_EQ(text(pill.toolTip()), text(PermissionHelperHint::turnOnOrDrag));
  EXPECT_TRUE(pill.label()->testAttribute(Qt::WA_TransparentForMouseEvents));
  EXPECT_TRUE(pill.iconView()->testAttribute(Qt::WA_TransparentForMouseEvents));
  EXPECT_EQ(pill.cursor().shape(), Qt::OpenHandCursor);

  const double shortWidth = helper->fittingWidth();
  helper->setText(text(PermissionHelperHint::removeAndAuthorize));
  EXPECT_GT(helper->fittingWidth(), shortWidth);
  const QFontMetrics metrics(pill.label()->font());
  EXPECT_EQ(helper->fittingWidth(), 8 + 26 + 8 + metrics.horizontalAdvance(pill.toolTip()) + 14);

  helper->setFrame(Rect(100, 100, helper->fittingWidth(), 36));
  helper->orderFrontRegardless();
  EXPECT_TRUE(helper->isVisible());
  EXPECT_EQ(helper->frame(), Rect(100, 100, helper->fittingWidth(), 36));
  EXPECT_EQ(pill.iconView()->geometry(), QRect(8, 5, 26, 26));
  testing_support::saveScreenshot(testing_support::onDesktop(testing_support::grabImage(*helper)),
                                  QStringLiteral("permission-pill"));

  // Narrowed, the label cuts its text at the end.
  helper->setFrame(Rect(100, 100, 160, 36));
  EXPECT_TRUE(pill.label()->text().endsWith(QChar(0x2026))) << text(pill.label()->text());
  EXPECT_EQ(helper->text(), text(PermissionHelperHint::removeAndAuthorize));

  std::unique_ptr<QMimeData> data(HelperPillView::makeDragData());
  ASSERT_EQ(data->urls().size(), 1);
  EXPECT_EQ(data->urls().front().toLocalFile(), QCoreApplication::applicationFilePath());

  helper->hide();
  EXPECT_FALSE(helper->isVisible());
}

}  // namespace
}  // namespace tessarapane::ui
