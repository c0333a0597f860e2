// The tray icon and its menu: the entries in order with their pictures, the check marks refreshed when the menu
// opens, the commands the entries give, and the icon's presence.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

#include "UiTestSupport.h"
#include "app/LayoutControl.h"
#include "app/StatusItemController.h"
#include "backends/sim/SimAlerts.h"
#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"
#include "ui/tray/QtStatusBar.h"
#include "ui/tray/QtStatusItem.h"
#include "ui/tray/QtStatusMenu.h"
#include "ui/tray/StatusMenuStyle.h"

namespace tessarapane::ui {
namespace {

using namespace testing_support;

struct FakeLayoutControl final : LayoutControl {
  std::optional<LayoutKind> runningLayoutKind() const override { return runningKind; }
  std::optional<std::size_t> runningBentoTileCount() const override { return bentoTiles; }
  void startLayout(LayoutKind kind) override { commands.push_back("start " + std::string(rawValue(kind))); }
  void startBento() override { commands.push_back("start grid"); }
  void exitLayout(bool keeping) override { commands.push_back(keeping ? "exit keeping" : "exit forgetting"); }
  std::optional<LayoutKind> runningKind;
  std::optional<std::size_t> bentoTiles;
  std::vector<std::string> commands;
};

TEST(TrayMenu, EntriesChecksCommandsAndTheIcon) {
  auto clock = std::make_shared<SimScheduler>();
  auto desktop = SimDesktop::create(clock);
  auto control = std::make_shared<FakeLayoutControl>();
  StatusItemController::Callbacks callbacks;
  callbacks.onOpenHotKeySettings = [&] { control->commands.push_back("hot key settings"); };
  callbacks.onTerminate = [&] { control->commands.push_back("terminate"); };
  auto controller = StatusItemController::create(makeSimPlatform(desktop), control, std::make_shared<QtStatusBar>(), callbacks);
  const auto item = [&]() -> QtStatusItem& { return dynamic_cast<QtStatusItem&>(*controller->statusItem()); };
  QtStatusMenu& menu = dynamic_cast<QtStatusMenu&>(*item().menu());
  const auto entry = [&](const std::string& title) {
    for (QAction* action : menu.actions()) if (text(action->text()) == title) return action;
    throw std::runtime_error("no entry " + title);
  };
  // Entry, checked, enabled, with a picture, for every row.
  const auto rows = [&] {
    std::vector<std::tuple<std::string, bool, bool, bool>> result;
    for (QAction* a : menu.menu()->actions()) {
      result.emplace_back(a->isSeparator() ? "---" : text(a->text()), a->isChecked(), a->isEnabled(), !a->icon().isNull());
    }
    return result;
  };
  using Row = std::tuple<std::string, bool, bool, bool>;
  std::vector<Row> expected = {
      {"Tab Mode", false, false, false},       {"全屏（1 格）", false, true, true},       {"左右二分（2 格）", false, true, true},
      {"左右三等分（3 格）", true, true, true}, {"上下二分（2 格）", false, true, true},   {"1+2（3 格）", false, true, true},
      {"2+1（3 格）", false, true, true},       {"四等分（4 格）", false, true, true},    {"---", false, false, false},
      {"Grid Mode", false, false, false},      {"网格", false, true, true},              {"---", false, false, false},
      {"退出当前布局", false, true, false},      {"快捷键设置…", false, true, false},        {"---", false, false, false},
      {"窗口管理器状态…", true, true, false}, {"---", false, false, false},        {"退出 Tessarapane", false, true, false}};
  control->runningKind = LayoutKind::split3;
  const int rebuilds = menu.rebuilds();
  menu.menu()->popup(QPoint(40, 40));
  EXPECT_EQ(rows(), expected);
  EXPECT_EQ(menu.rebuilds(), rebuilds) << "a refresh keeps the open menu's actions";
  QAction* header = entry("Tab Mode");
  EXPECT_EQ(std::tuple(header->font().bold(), header->font().pixelSize(), header->property(StatusMenuStyle::kSectionHeaderProperty).toBool()),
            std::tuple(true, 11, true));
  EXPECT_EQ(text(entry("四等分（4 格）")->data().toString()), "split4");
  EXPECT_EQ(entry("退出 Tessarapane")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

  // The check mark and the picture sit side by side in the checked row; an unchecked row has the picture only.
  const QImage shot = grabImage(*menu.menu());
  saveScreenshot(shot, QStringLiteral("status-menu"));
  const auto ink = [&shot](const QRect& area, bool blue) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) {
        const QColor c = shot.pixelColor(x, y);
        count += (blue ? c.blue() - c.red() > 60 : c.lightness() < 110) ? 1 : 0;
      }
    }
    return count;
  };
  const QRect checkedRow = menu.menu()->actionGeometry(entry("左右三等分（3 格）"));
  const QRect otherRow = menu.menu()->actionGeometry(entry("全屏（1 格）"));
  EXPECT_GT(ink(StatusMenuStyle::checkRect(checkedRow), false), 6);
  EXPECT_EQ(ink(StatusMenuStyle::checkRect(otherRow), false), 0);
  EXPECT_GT(std::min(ink(StatusMenuStyle::pictureRect(checkedRow), true), ink(StatusMenuStyle::pictureRect(otherRow), true)), 40);
  menu.menu()->hide();

  control->runningKind.reset();
  control->bentoTiles = 3;
  menu.menu()->popup(QPoint(40, 40));
  std::get<1>(expected[3]) = false;
  std::get<1>(expected[10]) = true;
  EXPECT_EQ(rows(), expected);
  menu.menu()->hide();
  control->bentoTiles.reset();
  menu.menu()->popup(QPoint(40, 40));
  EXPECT_FALSE(entry("退出当前布局")->isEnabled());
  menu.menu()->hide();

  for (const char* title : {"左右二分（2 格）", "网格", "快捷键设置…", "退出 Tessarapane"}) entry(title)->trigger();
  EXPECT_EQ(control->commands, (std::vector<std::string>{"start split2", "start grid", "hot key settings", "exit forgetting", "terminate"}));

  QSystemTrayIcon* tray = item().trayIcon();
  EXPECT_TRUE(item().buttonHasImage() && tray->icon().isMask() && tray->isVisible());
  EXPECT_EQ(std::pair(text(tray->toolTip()), tray->contextMenu()), std::pair(std::string("Tessarapane"), menu.menu()));
  // This desktop has no system tray: the icon counts as hidden, is made again once, then the user is told once no panel came up.
  ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
  const std::shared_ptr<StatusItem> first = controller->statusItem();
  EXPECT_FALSE(first->isVisible());
  clock->advance(0.8);
  EXPECT_NE(controller->statusItem(), first);
  clock->advance(11.0);
  ASSERT_EQ(desktop->alerts()->shown().size(), 1u);
  EXPECT_EQ(desktop->alerts()->shown()[0].title, "找不到系统托盘");
  controller.reset();
  flushDeferredDeletes();
}

// Shown before its picture is set, the icon waits for the picture: Qt would refuse to show it and never retry.
TEST(TrayMenu, TheIconWaitsForItsPictureBeforeShowing) {
  QtStatusItem item{ToolkitSpace()};
  item.setVisible(true);
  EXPECT_FALSE(item.trayIcon()->isVisible());
  item.setButtonImage(LayoutKindIcon::statusBarImage());
  EXPECT_TRUE(item.trayIcon()->isVisible());
  item.setVisible(false);
  EXPECT_EQ(std::pair(item.isVisible(), item.trayIcon()->isVisible()), std::pair(false, false));
}

}  // namespace
}  // namespace tessarapane::ui
