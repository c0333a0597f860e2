// The tray menu, the hot-key settings window, the guide and the missing-tray notice in each language the locale can choose: every text they show, none
// cut off, and none missing from the English table. TESSARAPANE_TEXT_SCREENSHOTS=<folder> saves what they look like.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QSystemTrayIcon>
#include <QTest>

#include "UiTestSupport.h"
#include "app/LayoutControl.h"
#include "app/StatusItemController.h"
#include "backends/sim/SimAlerts.h"
#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"
#include "backends/sim/SimUserDefaults.h"
#include "hotkeys/HotKeyCenter.h"
#include "hotkeys/HotKeySettingsStore.h"
#include "hotkeys/HotKeySettingsWindowController.h"
#include "permission/PermissionGuideWindowController.h"
#include "text/EnglishTexts.h"
#include "ui/services/QtHotKeys.h"
#include "ui/style/GlyphButton.h"
#include "ui/tray/LayoutKindIconEngine.h"
#include "ui/tray/QtStatusBar.h"
#include "ui/tray/QtStatusItem.h"
#include "ui/tray/QtStatusMenu.h"
#include "ui/windows/HotKeyBindingRowView.h"
#include "ui/windows/HotKeySettingsView.h"
#include "ui/windows/QtHotKeySettingsWindow.h"
#include "ui/windows/QtPermissionGuideWindow.h"

namespace tessarapane::ui {
namespace {

using namespace testing_support;

struct NoLayout final : LayoutControl {
  std::optional<LayoutKind> runningLayoutKind() const override { return std::nullopt; }
  std::optional<std::size_t> runningBentoTileCount() const override { return std::nullopt; }
  void startLayout(LayoutKind) override {}
  void startBento() override {}
  void exitLayout(bool) override {}
};

void screenshot(QWidget& widget, const QString& name) {
  const QString folder = qEnvironmentVariable("TESSARAPANE_TEXT_SCREENSHOTS");
  if (!folder.isEmpty()) grabImage(widget).save(folder + QStringLiteral("/") + name + QStringLiteral(".png"));
}

// The window's title, then the texts and tool tips of its visible widgets in order, each text once; a one-line text
// wider than its widget is marked.
void addShownTexts(QWidget& window, std::vector<std::string>& texts) {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  const auto add = [&texts](const std::string& shown) {
    if (std::find(texts.begin(), texts.end(), shown) == texts.end()) texts.push_back(shown);
  };
  add("title: " + text(window.windowTitle()));
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    if (!widget->isVisible()) continue;
    const auto* label = qobject_cast<QLabel*>(widget);
    const auto* button = qobject_cast<QPushButton*>(widget);
    const QString shown = label ? label->text() : button ? button->text() : QString();
    QStyleOptionButton option;
    option.initFrom(widget);
    const int room = label ? label->contentsRect().width() : widget->style()->subElementRect(QStyle::SE_PushButtonContents, &option, widget).width();
    const bool cut = !(label && label->wordWrap()) && widget->fontMetrics().horizontalAdvance(shown) > room;
    if (!shown.isEmpty()) add(text(shown) + (cut ? " (cut off)" : ""));
    if (!widget->toolTip().isEmpty()) add("tip: " + text(widget->toolTip()));
  }
}

std::vector<std::string> shownTexts(const QString& language) {
  auto clock = std::make_shared<SimScheduler>();
  auto desktop = SimDesktop::create(clock);
  Platform platform = makeSimPlatform(desktop);
  auto tray = StatusItemController::create(platform, std::make_shared<NoLayout>(), std::make_shared<QtStatusBar>(), {});
  auto& item = dynamic_cast<QtStatusItem&>(*tray->statusItem());
  QMenu& menu = *dynamic_cast<QtStatusMenu&>(*item.menu()).menu();
  menu.popup(QPoint(40, 40));
  std::vector<std::string> texts{"tip: " + text(item.trayIcon()->toolTip())};
  for (QAction* action : menu.actions()) texts.push_back(action->isSeparator() ? "---" : text(action->text()));
  screenshot(menu, QStringLiteral("tray-menu-") + language);
  menu.hide();

  auto hotKeys = std::make_shared<QtHotKeys>(platform.hotKeys);
  platform.hotKeys = hotKeys;
  auto center = HotKeyCenter::create(platform);
  auto store = std::make_shared<HotKeySettingsStore>(desktop->userDefaults());
  auto window = std::make_shared<QtHotKeySettingsWindow>();
  auto controller = HotKeySettingsWindowController::create(store, center, hotKeys, window);
  window->setController(controller);
  controller->showWindow();
  addShownTexts(*window, texts);
  screenshot(*window, QStringLiteral("hot-key-settings-") + language);
  // One binding removed, one set to a chord with Space, a recording refused a taken chord, and one recording.
  HotKeySettingsView& view = *window->view();
  QTest::mouseClick(view.rowView(HotKeyAction::moveLeft)->clearButton(), Qt::LeftButton);
  QTest::mouseClick(view.rowView(HotKeyAction::moveUp)->recordButton(), Qt::LeftButton);
  QTest::keyClick(window->windowHandle(), Qt::Key_Space, Qt::ControlModifier);
  QTest::mouseClick(view.rowView(HotKeyAction::moveRight)->recordButton(), Qt::LeftButton);
  QTest::keyClick(window->windowHandle(), Qt::Key_Down, Qt::ControlModifier | Qt::AltModifier);
  addShownTexts(*window, texts);
  screenshot(*window, QStringLiteral("hot-key-settings-conflict-") + language);
  QTest::mouseClick(view.rowView(HotKeyAction::moveDown)->recordButton(), Qt::LeftButton);
  addShownTexts(*window, texts);
  window->close();

  // The guide on a desktop without a window manager, and the notice of the missing tray (this desktop has none).
  desktop->setProcessTrusted(false);
  auto guideWindow = std::make_shared<QtPermissionGuideWindow>(bentoIcon());
  auto guide = PermissionGuideWindowController::create(platform, guideWindow);
  guideWindow->setController(guide);
  guide->show();
  addShownTexts(*guideWindow, texts);
  screenshot(*guideWindow, QStringLiteral("permission-guide-") + language);
  guideWindow->close();
  clock->advance(12.0);
  for (const SimAlerts::Shown& alert : desktop->alerts()->shown()) {
    texts.insert(texts.end(), {"alert: " + alert.title, alert.message});
    texts.insert(texts.end(), alert.buttons.begin(), alert.buttons.end());
  }
  tray.reset();
  flushDeferredDeletes();
  return texts;
}

TEST(Languages, EveryWindowAndNoticeShowsEveryTextInTheChosenLanguage) {
  localization::install(makeLocalizer(Language::chinese));
  const std::vector<std::string> chinese = shownTexts(QStringLiteral("zh"));
  const auto english = std::make_shared<TableLocalizer>(EnglishTexts::table());
  localization::install(english);
  const std::vector<std::string> shownInEnglish = shownTexts(QStringLiteral("en"));
  localization::install(nullptr);

  EXPECT_EQ(chinese, (std::vector<std::string>{
      "tip: Tessarapane", "Tab Mode", "全屏（1 格）", "左右二分（2 格）", "左右三等分（3 格）", "上下二分（2 格）",
      "1+2（3 格）", "2+1（3 格）", "四等分（4 格）", "---", "Grid Mode", "网格", "---", "退出当前布局", "快捷键设置…", "---",
      "窗口管理器状态…", "---", "退出 Tessarapane",
      "title: 快捷键设置", "移动窗口", "移到左侧", "⌃⌥←", "tip: 移除快捷键", "设置", "移到右侧", "⌃⌥→", "移到上方", "⌃⌥↑",
      "移到下方", "⌃⌥↓", "仅在 Tab Mode 中生效，效果与 Tab 栏箭头相同。全屏 1 格时，左右快捷键会切换到左右二分。", "布局", "全屏",
      "⌃⌥↩", "快捷键已被「移到下方」占用", "未设置", "⌃空格", "按下快捷键…", "取消",
      "title: 设置 Tessarapane", "设置 Tessarapane", "开启以下权限后即可使用", "稍后", "窗口管理器", "移动和调整其他 App 的窗口",
      "没有检测到支持 EWMH 的窗口管理器。请启动一个窗口管理器（例如 openbox、xfwm4 或 KWin），Tessarapane 会自动继续。",
      "重新检查", "alert: 找不到系统托盘",
      "Tessarapane 正在运行，但这个桌面没有能显示它图标的系统托盘（StatusNotifier 或 XEmbed 托盘）。\n\n"
      "快捷键和“tessarapane ctl”命令照常可用。\n在 GNOME 中请安装并启用 AppIndicator 扩展（软件包 "
      "gnome-shell-extension-appindicator）；在其他桌面请在面板上添加“系统托盘”或“通知区域”。",
      "打开帮助", "稍后"}));
  EXPECT_EQ(shownInEnglish, (std::vector<std::string>{
      "tip: Tessarapane", "Tab Mode", "Full Screen (1 pane)", "Two Columns (2 panes)", "Three Columns (3 panes)",
      "Two Rows (2 panes)", "1+2 (3 panes)", "2+1 (3 panes)", "Four Quarters (4 panes)", "---", "Grid Mode", "Grid", "---",
      "Leave Current Layout", "Keyboard Shortcuts…", "---", "Window Manager Status…", "---", "Quit Tessarapane",
      "title: Keyboard Shortcuts", "Move Window", "Move Left", "⌃⌥←", "tip: Remove shortcut", "Set", "Move Right", "⌃⌥→",
      "Move Up", "⌃⌥↑", "Move Down", "⌃⌥↓",
      "Works in Tab Mode only, like the arrows on a tab strip. In Full Screen (1 pane), the left and right shortcuts "
      "switch to Two Columns.",
      "Layout", "Full Screen", "⌃⌥↩", "This shortcut is already used by “Move Down”", "Not set", "⌃Space",
      "Press a shortcut…", "Cancel",
      "title: Set Up Tessarapane", "Set Up Tessarapane", "Tessarapane needs the following to work", "Later",
      "Window Manager", "Move and resize other applications' windows",
      "No EWMH window manager is running. Start one (for example openbox, xfwm4 or KWin); Tessarapane carries on by "
      "itself.",
      "Check Again", "alert: No System Tray",
      "Tessarapane is running, but this desktop has no system tray to show its icon (a StatusNotifier host or an XEmbed "
      "tray).\n\nThe keyboard shortcuts and the “tessarapane ctl” command work as usual.\nOn GNOME, install and enable "
      "the AppIndicator extension (package gnome-shell-extension-appindicator); on other desktops, add a “System Tray” "
      "or “Notification Area” item to a panel.",
      "Open Help", "Later"}));
  EXPECT_EQ(english->missingKeys(), std::set<std::string>{});
}

}  // namespace
}  // namespace tessarapane::ui
