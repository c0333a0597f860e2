#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "app/LayoutControl.h"
#include "app/StatusItemController.h"
#include "backends/sim/SimAlerts.h"
#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"
#include "ui/QtStatusBar.h"
#include "ui/QtStatusItem.h"
#include "ui/QtStatusMenu.h"
#include "ui/StatusMenuStyle.h"

namespace tessarapane::ui {
namespace {

using testing_support::text;

class FakeLayoutControl final : public LayoutControl {
 public:
  std::optional<LayoutKind> runningLayoutKind() const override { return runningKind; }
  std::optional<std::size_t> runningBentoTileCount() const override { return bentoTiles; }
  void startLayout(LayoutKind kind) override { commands.push_back("start " + std::string(rawValue(kind))); }
  void startBento() override { commands.push_back("start grid"); }
  void exitLayout(bool keeping) override { commands.push_back(keeping ? "exit keeping" : "exit forgetting"); }

  std::optional<LayoutKind> runningKind;
  std::optional<std::size_t> bentoTiles;
  std::vector<std::string> commands;
};

class StatusMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StatusItemController::Callbacks callbacks;
    callbacks.onOpenHotKeySettings = [this] { control->commands.push_back("hot key settings"); };
    callbacks.onOpenPermissionGuide = [this] { control->commands.push_back("permission guide"); };
    callbacks.onTerminate = [this] { control->commands.push_back("terminate"); };
    controller = StatusItemController::create(platform, control, std::make_shared<QtStatusBar>(), callbacks);
  }

  void TearDown() override {
    if (menu().menu()) menu().menu()->hide();
    controller.reset();
    testing_support::flushDeferredDeletes();
  }

  QtStatusItem& item() { return dynamic_cast<QtStatusItem&>(*controller->statusItem()); }
  QtStatusMenu& menu() { return dynamic_cast<QtStatusMenu&>(*item().menu()); }

  QAction* action(const std::string& title) {
    for (QAction* candidate : menu().actions()) {
      if (text(candidate->text()) == title) return candidate;
    }
    ADD_FAILURE() << "no entry " << title;
    return nullptr;
  }

  void open() {
    menu().menu()->popup(QPoint(40, 40));
  }

  std::shared_ptr<SimScheduler> clock = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(clock);
  Platform platform = makeSimPlatform(desktop);
  std::shared_ptr<FakeLayoutControl> control = std::make_shared<FakeLayoutControl>();
  std::shared_ptr<StatusItemController> controller;
};

TEST_F(StatusMenuTest, MenuListsTheEntriesInOrderWithHeadersPicturesAndKeys) {
  std::vector<std::string> titles;
  for (QAction* entry : menu().actions()) titles.push_back(entry->isSeparator() ? "---" : text(entry->text()));
  const std::vector<std::string> expected = {
      "Tab Mode",         "全屏（1 格）",        "左右二分（2 格）",     "左右三等分（3 格）", "上下二分（2 格）",
      "1+2（3 格）",      "2+1（3 格）",         "四等分（4 格）",       "---",                "Grid Mode",
      "网格",             "---",                 "退出当前布局",         "快捷键设置…",         "---",
      "打开辅助功能权限设置…", "---", "退出 Tessarapane"};
  EXPECT_EQ(titles, expected);
  EXPECT_EQ(menu().menu()->actions().size(), static_cast<qsizetype>(expected.size()));

  QAction* header = action("Tab Mode");
  EXPECT_FALSE(header->isEnabled());
  EXPECT_TRUE(header->font().bold());
  EXPECT_TRUE(header->property(StatusMenuStyle::kSectionHeaderProperty).toBool());
  EXPECT_FALSE(action("四等分（4 格）")->icon().isNull());
  EXPECT_EQ(text(action("四等分（4 格）")->data().toString()), "split4");
  EXPECT_FALSE(action("网格")->icon().isNull());
  EXPECT_TRUE(action("退出当前布局")->icon().isNull());
  EXPECT_EQ(action("退出 Tessarapane")->shortcut(), QKeySequence(Qt::META | Qt::Key_Q));
  EXPECT_TRUE(action("快捷键设置…")->shortcut().isEmpty());
}

TEST_F(StatusMenuTest, OpeningTheMenuRefreshesChecksAndEnabledStates) {
  control->runningKind = LayoutKind::split3;
  const int rebuilds = menu().rebuilds();
  open();
  EXPECT_TRUE(action("左右三等分（3 格）")->isChecked());
  EXPECT_FALSE(action("全屏（1 格）")->isChecked());
  EXPECT_FALSE(action("网格")->isChecked());
  EXPECT_TRUE(action("退出当前布局")->isEnabled());
  EXPECT_EQ(menu().rebuilds(), rebuilds) << "a refresh keeps the open menu's actions";

  const QImage shot = testing_support::grabImage(*menu().menu());
  testing_support::saveScreenshot(shot, QStringLiteral("status-menu"));
  // The check mark and the picture sit side by side in the checked row; an
  // unchecked row has the picture only.
  const QRect checkedRow = menu().menu()->actionGeometry(action("左右三等分（3 格）"));
  const QRect otherRow = menu().menu()->actionGeometry(action("全屏（1 格）"));
  auto inkIn = [&shot](const QRect& area, auto&& test) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) count += test(shot.pixelColor(x, y)) ? 1 : 0;
    }
    return count;
  };
  auto dark = [](const QColor& color) { return color.lightness() < 110; };
  auto blue = [](const QColor& color) { return color.blue() - color.red() > 60; };
  EXPECT_GT(inkIn(StatusMenuStyle::checkRect(checkedRow), dark), 6);
  EXPECT_EQ(inkIn(StatusMenuStyle::checkRect(otherRow), dark), 0);
  EXPECT_GT(inkIn(StatusMenuStyle::pictureRect(checkedRow), blue), 40);
  EXPECT_GT(inkIn(StatusMenuStyle::pictureRect(otherRow), blue), 40);
  menu().menu()->hide();

  control->runningKind.reset();
  control->bentoTiles = 3;
  open();
  EXPECT_FALSE(action("左右三等分（3 格）")->isChecked());
  EXPECT_TRUE(action("网格")->isChecked());
  menu().menu()->hide();

  control->bentoTiles.reset();
  open();
  EXPECT_FALSE(action("退出当前布局")->isEnabled());
}

TEST_F(StatusMenuTest, ChoosingEntriesReachesTheController) {
  action("左右二分（2 格）")->trigger();
  action("网格")->trigger();
  action("快捷键设置…")->trigger();
  action("退出 Tessarapane")->trigger();
  EXPECT_EQ(control->commands, (std::vector<std::string>{"start split2", "start grid", "hot key settings",
                                                         "exit forgetting", "terminate"}));
}

TEST_F(StatusMenuTest, TrayIconCarriesTheTemplatePictureTooltipAndMenu) {
  QSystemTrayIcon* tray = item().trayIcon();
  ASSERT_NE(tray, nullptr);
  EXPECT_TRUE(item().buttonHasImage());
  EXPECT_TRUE(tray->icon().isMask());
  EXPECT_EQ(text(tray->toolTip()), "Tessarapane");
  EXPECT_EQ(tray->contextMenu(), menu().menu());
  EXPECT_TRUE(item().isVisible());
}

TEST_F(StatusMenuTest, WithoutATrayGeometryTheIconIsNotParkedAndNoAlertComes) {
  ASSERT_FALSE(item().buttonWindowFrame().has_value());
  const std::shared_ptr<StatusItem> first = controller->statusItem();
  clock->advance(2.0);
  EXPECT_EQ(controller->statusItem(), first);
  EXPECT_TRUE(desktop->alerts()->shown().empty());

  // Hidden, it is parked: recreated once, then the alert is offered.
  item().setVisible(false);
  controller->watchPresence();
  clock->advance(0.8);
  EXPECT_NE(controller->statusItem(), first);
}

// Shown before its picture is set, the icon waits for the picture: Qt would
// otherwise refuse to show it and never try again.
TEST(QtStatusItemTest, ShowingWaitsForThePicture) {
  QtStatusItem item{ToolkitSpace()};
  item.setVisible(true);
  EXPECT_TRUE(item.isVisible());
  EXPECT_FALSE(item.trayIcon()->isVisible());
  item.setButtonImage(LayoutKindIcon::statusBarImage());
  EXPECT_TRUE(item.trayIcon()->isVisible());
  item.setVisible(false);
  EXPECT_FALSE(item.isVisible());
  EXPECT_FALSE(item.trayIcon()->isVisible());
}

}  // namespace
}  // namespace tessarapane::ui
